#pragma once
// One benchmark case per effect: its run frame at its default values (from the effect table)
// on the enlarged sample photograph, at 2 and 12 megapixels. One iteration takes seconds.

#include <benchmark/benchmark.h>

#include "bench/BenchPictures.h"
#include "effects/EffectTable.h"

namespace brumeleaf {

inline void RunDefaultFrame(benchmark::State& state, int code) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const Bitmap& source = EnlargedSample(width, height);
  const EffectFrame frame = FrameForCode(code);
  if (!frame) {
    state.SkipWithError("effect not built");
    return;
  }
  Random random(1);
  for (auto _ : state) {
    RunContext ctx(DefaultSnapshot(code), random);
    Bitmap result = source;  // the merge blends with the result it finds
    frame(source, result, ctx);
    benchmark::DoNotOptimize(result.Data());
  }
  ReportMegapixelRate(state, static_cast<double>(width) * height / 1e6, "Mpixel/s");
}

}  // namespace brumeleaf

// Registers effect `code` as benchmark `name` at 2 and 12 megapixels.
#define BRUMELEAF_EFFECT_BENCHMARK(name, code)                                                    \
  static void name(benchmark::State& state) { ::brumeleaf::RunDefaultFrame(state, code); }        \
  BENCHMARK(name)->Args({1732, 1155})->Args({4000, 3000})->Unit(benchmark::kMillisecond)->Iterations(1)
