// The live preview of every effect as the parameters window computes it: the crop from the
// middle of a 12-megapixel photograph (200 x 200 at zoom 100, 800 x 800 at zoom 25), the
// effect's preview computation at its default values, and the 200 x 200 picture the window
// shows. Named Preview/CODE/ZOOM; the time is the process's CPU time over all threads.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchPictures.h"
#include "effects/EffectTable.h"
#include "effects/PreviewEffect.h"
#include "history/SourceMean.h"

namespace brumeleaf {

namespace {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;

void RunPreview(benchmark::State& state, int code, int zoom) {
  const Bitmap& photo = EnlargedSample(kPhotoWidth, kPhotoHeight);
  static const SourceMean mean = ComputeSourceMean(EnlargedSample(kPhotoWidth, kPhotoHeight));
  PreviewCrop crop;
  crop.Reset(photo.Width(), photo.Height());
  crop.SetZoom(zoom, photo.Width(), photo.Height());
  const bool blends = EffectExtrasOf(code).blendsWithResult;
  Random random(1);
  auto preview = [&] {
    // What the window does per preview: crop, compute on the worker, show.
    const Bitmap K = CropForPreview(photo, crop.x0, crop.y0, crop.Size());
    const Bitmap resultCrop = blends ? CropForPreview(photo, crop.x0, crop.y0, crop.Size()) : Bitmap();
    RunContext ctx(DefaultSnapshot(code), random);
    ctx.preview = true;
    ctx.processing = false;
    ctx.mean = mean;
    ctx.sourcePanelWidth = photo.Width();
    Bitmap O;
    ComputePreview(code, K, resultCrop, O, ctx);
    const Bitmap shown = PreviewDisplay(O, zoom, code);
    benchmark::DoNotOptimize(shown.Data());
  };
  // The generated resources (tone strips, brush sheets, textures) are built once per program
  // run, by the first preview after the start; they are not part of every preview.
  preview();
  for (auto _ : state) preview();
}

const bool registered = [] {
  for (int code = 0; code < kEffectCount; ++code) {
    if (!PreviewAvailable(code)) continue;
    for (const int zoom : {100, 25}) {
      const std::string name = "Preview/" + std::to_string(code) + "/" + std::to_string(zoom);
      benchmark::RegisterBenchmark(name.c_str(), [code, zoom](benchmark::State& state) {
        RunPreview(state, code, zoom);
      })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
    }
  }
  return true;
}();

}  // namespace

}  // namespace brumeleaf
