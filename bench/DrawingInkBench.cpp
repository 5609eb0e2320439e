// The pen, edge-stroke and halftone drawings on a 2- and a 12-megapixel photograph at their
// default slider values. Run with a short --benchmark_min_time: one iteration takes seconds.

#include <benchmark/benchmark.h>

#include <array>

#include "pipeline/RunEffect.h"
#include "effects/EffectTable.h"
#include "bench/BenchPictures.h"

namespace brumeleaf {
namespace {

void RunFrame(benchmark::State& state, int code) {
  const EffectFrame frame = FrameForCode(code);
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const Bitmap& source = EnlargedSample(width, height);
  Random random(1);
  for (auto _ : state) {
    RunContext ctx(DefaultSnapshot(code), random);
    Bitmap result;
    frame(source, result, ctx);
    benchmark::DoNotOptimize(result.Data());
  }
  const double megapixels = static_cast<double>(width) * height / 1e6;
  ReportMegapixelRate(state, megapixels, "Mpixel/s");
}

void PencilSketch2(benchmark::State& s) { RunFrame(s, 1); }
void PencilSketch3(benchmark::State& s) { RunFrame(s, 2); }
void PenAndInk1(benchmark::State& s) { RunFrame(s, 3); }
void PenAndInk2(benchmark::State& s) { RunFrame(s, 21); }
void LinearHalftoning(benchmark::State& s) { RunFrame(s, 26); }

BENCHMARK(PencilSketch2)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PencilSketch3)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PenAndInk1)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PenAndInk2)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LinearHalftoning)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace brumeleaf
