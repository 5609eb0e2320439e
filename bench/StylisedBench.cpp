// The stylised and photo effects on a 2- and a 12-megapixel photograph at their default slider
// values. Run with a short --benchmark_min_time: one iteration takes seconds.

#include <benchmark/benchmark.h>

#include <array>

#include "bench/BenchPictures.h"
#include "effects/Frames.h"
#include "pipeline/RunEffect.h"

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
    Bitmap result = source;  // the merge blends with the result it finds
    frame(source, result, ctx);
    benchmark::DoNotOptimize(result.Data());
  }
  const double megapixels = static_cast<double>(width) * height / 1e6;
  ReportMegapixelRate(state, megapixels, "Mpixel/s");
}

void Pixelation(benchmark::State& s) { RunFrame(s, FrameColouredSquares, 10, {65, 100, 55, 15, 180}); }
void ColouredDots(benchmark::State& s) { RunFrame(s, FrameColouredCircles, 11, {65, 100, 55, 15, 180}); }
void Vivify(benchmark::State& s) { RunFrame(s, FrameVivify, 12, {35, 100, 55, 128, 20}); }
void Merge(benchmark::State& s) { RunFrame(s, FrameAlphaBlend, 13, {127, 0, 50, 0, 0}); }
void Cartoon2(benchmark::State& s) { RunFrame(s, FrameColourInk, 18, {30, 30, 10, 127, 0}); }
void Vintage(benchmark::State& s) { RunFrame(s, FrameSepia, 19, {255, 127, 50, 220, 140}); }
void Emergence(benchmark::State& s) { RunFrame(s, FrameRandomPolygons, 22, {100, 80, 30, 25, 130}); }
void Emergence2(benchmark::State& s) { RunFrame(s, FrameShadedTriangles, 25, {130, 100, 10, 15, 180}); }
void Abstract(benchmark::State& s) { RunFrame(s, FrameAbstract, 29, {150, 15, 55, 127, 127}); }

BENCHMARK(Pixelation)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ColouredDots)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Vivify)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Merge)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Cartoon2)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Vintage)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Emergence)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Emergence2)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Abstract)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace brumeleaf
