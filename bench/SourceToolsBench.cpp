// The source tools on a 12-megapixel photograph: the simplification median at the sizes the
// modification window offers (3 to 11), the whole modification chain at its heaviest, automatic
// contrast and resizing both ways. Run under `taskset -c 0` to time one core.

#include <benchmark/benchmark.h>

#include "bench/BenchPictures.h"
#include "imaging/MedianFilter.h"
#include "tools/SourceTools.h"

namespace brumeleaf {
namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

void SimplifyMedian(benchmark::State& state) {
  const Bitmap& source = EnlargedSample(kW, kH);
  for (auto _ : state) {
    Bitmap result = MedianFilter(source, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(result.Data());
  }
  ReportMegapixelRate(state, kW * kH / 1e6, "Mpixel/s");
}

void ModifyChain(benchmark::State& state) {
  const Bitmap& source = EnlargedSample(kW, kH);
  const ModifySettings settings{15, 40, 30, static_cast<int>(state.range(0)), 9};
  for (auto _ : state) {
    Bitmap picture = source;
    ModifySourceImage(picture, settings, SourceMean{});
    benchmark::DoNotOptimize(picture.Data());
  }
}

void AutoContrast(benchmark::State& state) {
  const Bitmap& source = EnlargedSample(kW, kH);
  for (auto _ : state) {
    Bitmap picture = source;
    AutomaticContrast(picture);
    benchmark::DoNotOptimize(picture.Data());
  }
}

void Resize(benchmark::State& state) {
  const Bitmap& source = EnlargedSample(kW, kH);
  for (auto _ : state) {
    Bitmap result = ResizePicture(source, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(result.Data());
  }
}

BENCHMARK(SimplifyMedian)->Arg(3)->Arg(7)->Arg(11)->Unit(benchmark::kMillisecond);
BENCHMARK(ModifyChain)->Arg(-5)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(AutoContrast)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Resize)->Args({2000, 1500})->Args({8000, 6000})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace brumeleaf
