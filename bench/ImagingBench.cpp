// The image-core primitives on a 12-megapixel photograph-like picture, in megapixels per
// second, beside a plain copy of the same picture as the yardstick: a 3x3 filter or point
// operation should stay within three times the copy's time.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "bench/BenchPictures.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"

namespace brumeleaf {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr double kMegapixels = kWidth * kHeight / 1e6;

// Smooth gradients with a few soft blobs and sensor-like noise, generated once.
const Bitmap& Photo() {
  static const Bitmap photo = [] {
    Bitmap b(kWidth, kHeight);
    Random random(kEffectSeed);
    for (int y = 0; y < kHeight; ++y) {
      std::uint8_t* row = b.ScanLine(y);
      for (int x = 0; x < kWidth; ++x) {
        const double blob = 60.0 * std::sin(x * 0.004) * std::cos(y * 0.006);
        const int noise = static_cast<int>(random.Next(17)) - 8;
        row[3 * x + 0] = ClampLevel(40 + y * 150 / kHeight + static_cast<int>(blob) + noise);
        row[3 * x + 1] = ClampLevel(90 + x * 100 / kWidth - static_cast<int>(blob / 2) + noise);
        row[3 * x + 2] = ClampLevel(200 - x * 120 / kWidth + (x + y) % 7 + noise);
      }
    }
    return b;
  }();
  return photo;
}

void ReportMegapixels(benchmark::State& state, double megapixels = kMegapixels) {
  ReportMegapixelRate(state, megapixels);
}

// Runs `op` on a fresh copy of the photograph each iteration; the copy is not timed.
template <class Op>
void OnFreshCopy(benchmark::State& state, Op op) {
  Bitmap work;
  for (auto _ : state) {
    state.PauseTiming();
    work = Photo();
    state.ResumeTiming();
    op(work);
    benchmark::DoNotOptimize(work.Data());
  }
  ReportMegapixels(state);
}

void BM_MemoryCopy(benchmark::State& state) {
  const Bitmap& photo = Photo();
  std::vector<std::uint8_t> copy(photo.ByteSize());
  for (auto _ : state) {
    std::memcpy(copy.data(), photo.Data(), photo.ByteSize());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  ReportMegapixels(state);
}
BENCHMARK(BM_MemoryCopy)->Unit(benchmark::kMillisecond);

void BM_Sharpen(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { Sharpen(b); }); }
void BM_BoxBlur3(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { BoxBlur3(b); }); }
void BM_SoftBlur(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { SoftBlur(b); }); }
void BM_EnhanceLocalContrast(benchmark::State& state) {
  OnFreshCopy(state, [](Bitmap& b) { EnhanceLocalContrast(b, 50, SourceMean{}); });
}
void BM_EnhanceDetail(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { EnhanceDetail(b, b, 20); }); }
BENCHMARK(BM_Sharpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxBlur3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SoftBlur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnhanceLocalContrast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnhanceDetail)->Unit(benchmark::kMillisecond);

void BM_InvertColours(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { InvertColours(b); }); }
void BM_AdjustBrightness(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { AdjustBrightness(b, 20); }); }
void BM_AdjustContrast(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { AdjustContrast(b, 127, 30); }); }
void BM_AdjustSaturation(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { AdjustSaturation(b, 25); }); }
void BM_EqualizeHistogram(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { EqualizeHistogram(b, 0.2f); }); }
void BM_BoostSaturationHLS(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { BoostSaturationHLS(b, b); }); }
BENCHMARK(BM_InvertColours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdjustBrightness)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdjustContrast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdjustSaturation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EqualizeHistogram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoostSaturationHLS)->Unit(benchmark::kMillisecond);

void BM_ChannelHistograms(benchmark::State& state) {
  Histogram red, green, blue;
  for (auto _ : state) {
    ChannelHistograms(Photo(), red, green, blue);
    benchmark::DoNotOptimize(red.data());
  }
  ReportMegapixels(state);
}
BENCHMARK(BM_ChannelHistograms)->Unit(benchmark::kMillisecond);

// Resampling into 12 megapixels of another shape (equal sizes would be a copy).
void BM_StretchBilinear(benchmark::State& state) {
  Bitmap destination(kWidth - 1, kHeight + 1);
  for (auto _ : state) StretchBilinear(Photo(), destination);
  ReportMegapixels(state);
}
void BM_StretchBilinearFast(benchmark::State& state) {
  Bitmap destination(kWidth - 1, kHeight + 1);
  for (auto _ : state) StretchBilinearFast(Photo(), destination);
  ReportMegapixels(state);
}
BENCHMARK(BM_StretchBilinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchBilinearFast)->Unit(benchmark::kMillisecond);

void BM_RotateBitmap90(benchmark::State& state) { OnFreshCopy(state, [](Bitmap& b) { RotateBitmap90(b, 90); }); }
BENCHMARK(BM_RotateBitmap90)->Unit(benchmark::kMillisecond);

// Rates are of source pixels; the turn by 40 writes the enlarged picture (about 1.9 times).
void BM_RotateBitmapAngle(benchmark::State& state) {
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  Bitmap destination;
  const int angle = static_cast<int>(state.range(0));
  for (auto _ : state) RotateBitmapAngle(Photo(), destination, angle, ctx);
  ReportMegapixels(state);
}
void BM_RotateBitmapExpand(benchmark::State& state) {
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  Bitmap destination;
  for (auto _ : state) RotateBitmapExpand(Photo(), destination, 30, ctx);
  ReportMegapixels(state);
}
BENCHMARK(BM_RotateBitmapAngle)->Arg(30)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateBitmapExpand)->Unit(benchmark::kMillisecond);

// A 1000 x 1000 tile out of the photograph as a sheet.
void BM_CopyTile(benchmark::State& state) {
  Bitmap tile(1000, 1000);
  for (auto _ : state) CopyTile(Photo(), tile, 1000, 1000, 2, 1);
  ReportMegapixels(state, 1.0);
}
BENCHMARK(BM_CopyTile)->Unit(benchmark::kMillisecond);

// The median filter's selection: one 3x3 window of levels per call.
void BM_HistogramRankValue(benchmark::State& state) {
  const std::uint8_t* levels = Photo().Data();
  std::size_t offset = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(HistogramRankValue(levels + offset, 8, 0, 4));
    offset = (offset + 9) % (Photo().ByteSize() - 9);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HistogramRankValue);

void BM_CountingSortBytes(benchmark::State& state) {
  std::vector<std::uint8_t> bytes;
  for (auto _ : state) {
    state.PauseTiming();
    bytes.assign(Photo().Data(), Photo().Data() + Photo().ByteSize());
    state.ResumeTiming();
    CountingSortBytes(bytes.data(), bytes.size(), true);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Photo().ByteSize()));
}
BENCHMARK(BM_CountingSortBytes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brumeleaf

BENCHMARK_MAIN();
