// The median, bilateral, cartoon, watercolour-blot and scale-space paintings on a 2- and a
// 12-megapixel photograph at their default slider values, and the median filter on its own.
// Run with a short --benchmark_min_time: one iteration takes seconds.

#include <benchmark/benchmark.h>

#include <array>

#include "bench/BenchPictures.h"
#include "effects/Frames.h"
#include "imaging/MedianFilter.h"

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
  ReportMegapixelRate(state, static_cast<double>(width) * height / 1e6, "Mpixel/s");
}

void Painting3(benchmark::State& s) { RunFrame(s, FramePainting3, 6, {35, 5, 30, 140, 0}); }
void Painting4(benchmark::State& s) { RunFrame(s, FramePainting4, 7, {5, 30, 60, 140, 0}); }
void Cartoon1(benchmark::State& s) { RunFrame(s, FrameCartoonify, 17, {225, 70, 55, 220, 127}); }
void Painting9(benchmark::State& s) { RunFrame(s, FramePainting9, 27, {7, 170, 90, 127, 10}); }
void Painting10(benchmark::State& s) { RunFrame(s, FramePainting10, 28, {50, 50, 50, 130, 130}); }

void Median(benchmark::State& state) {
  const Bitmap& source = EnlargedSample(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    Bitmap result = MedianFilter(source, static_cast<int>(state.range(2)));
    benchmark::DoNotOptimize(result.Data());
  }
  ReportMegapixelRate(state, static_cast<double>(source.Width()) * source.Height() / 1e6, "Mpixel/s");
}

BENCHMARK(Painting3)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Painting4)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Cartoon1)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Painting9)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Painting10)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Median)->Args({4000, 3000, 3})->Args({4000, 3000, 5})->Args({4000, 3000, 15})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brumeleaf
