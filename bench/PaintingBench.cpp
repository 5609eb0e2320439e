// The watercolour, brushstroke, region-growing, random-stroke and expressive paintings on a 2-
// and a 12-megapixel photograph at their default slider values. Run with a short
// --benchmark_min_time: one iteration takes seconds.

#include <benchmark/benchmark.h>

#include <array>

#include "bench/BenchPictures.h"
#include "effects/Frames.h"

namespace brumeleaf {
namespace {

void RunFrame(benchmark::State& state, EffectFrame frame, int code, std::array<int, 5> sliders) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const Bitmap& source = EnlargedSample(width, height);
  Random random(1);
  for (auto _ : state) {
    ParameterSnapshot params;
    params.code = code;
    params.s = sliders;
    RunContext ctx(params, random);
    Bitmap result;
    frame(source, result, ctx);
    benchmark::DoNotOptimize(result.Data());
  }
  const double megapixels = static_cast<double>(width) * height / 1e6;
  ReportMegapixelRate(state, megapixels, "Mpixel/s");
}

void Painting1(benchmark::State& s) { RunFrame(s, FramePainting, 4, {90, 110, 25, 140, 50}); }
void Painting2(benchmark::State& s) { RunFrame(s, FramePainting2, 5, {127, 25, 25, 135, 127}); }
void Painting5(benchmark::State& s) { RunFrame(s, FrameRegionGrowing, 8, {200, 10, 60, 160, 70}); }
void Painting6(benchmark::State& s) { RunFrame(s, FrameRegionGrowing, 9, {200, 10, 60, 140, 50}); }
void Painting7(benchmark::State& s) { RunFrame(s, FrameRandomStrokes, 15, {10, 200, 50, 30, 190}); }
void Painting8(benchmark::State& s) { RunFrame(s, FrameExpressivePainting, 20, {50, 25, 70, 85, 215}); }

BENCHMARK(Painting1)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Painting2)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Painting5)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Painting6)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Painting7)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Painting8)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace brumeleaf
