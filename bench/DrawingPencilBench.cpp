// The oil pastel and Pencil sketches 4 and 5 at their default values on a 12-megapixel picture
// (the bundled sample photograph enlarged to 4000 x 3000), one run per case: each run takes
// seconds, and the stamp loop's work depends on the picture, not on repetition. The oil pastel
// and Pencil sketch 4 run with 1 and with 2 threads for their row and tile passes (the argument).

#include <benchmark/benchmark.h>

#include <array>

#include "effects/drawing/OilPastel.h"
#include "effects/drawing/PencilSketch4.h"
#include "effects/drawing/PencilSketch5.h"
#include "bench/BenchPictures.h"
#include "effects/EffectTable.h"
#include "imaging/ParallelRows.h"

namespace brumeleaf {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

const Bitmap& Photo() { return EnlargedSample(kWidth, kHeight); }

RunContext Context(Random& random, int code) { return RunContext(DefaultSnapshot(code), random); }

void ReportMegapixels(benchmark::State& state) {
  ReportMegapixelRate(state, kWidth * kHeight / 1e6);
}

void OilPastel(benchmark::State& state) {
  Photo();
  SetRowPassThreads(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Random random(kEffectSeed);
    RunContext ctx = Context(random, 16);
    Bitmap result;
    DrawOilPastel(Photo(), result, OilPastelSettingsFrom(ctx), ctx);
    benchmark::DoNotOptimize(result.Data());
  }
  SetRowPassThreads(0);
  ReportMegapixels(state);
}

void PencilSketch4(benchmark::State& state) {
  Photo();
  SetRowPassThreads(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Random random;
    RunContext ctx = Context(random, 23);
    Bitmap result;
    DrawNewPencilSketch(Photo(), result, PencilSketch4SettingsFrom(ctx), ctx);
    benchmark::DoNotOptimize(result.Data());
  }
  SetRowPassThreads(0);
  ReportMegapixels(state);
}

void PencilSketch5(benchmark::State& state) {
  Photo();
  for (auto _ : state) {
    Random random(kEffectSeed);
    RunContext ctx = Context(random, 24);
    Bitmap result;
    DrawPencilSketch5(Photo(), result, PencilSketch5SettingsFrom(ctx), Bitmap(), ctx);
    benchmark::DoNotOptimize(result.Data());
  }
  ReportMegapixels(state);
}

BENCHMARK(OilPastel)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(PencilSketch4)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(PencilSketch5)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace brumeleaf
