// The live preview of every effect as the parameters window computes it: the crop from the
// middle of a 12-megapixel photograph (200 x 200 at zoom 100, 800 x 800 at zoom 25), the
// effect's preview computation at its default values, and the 200 x 200 picture the window
// shows. Named Preview/CODE/ZOOM; the time is the process's CPU time over all threads.
//
// PreviewStop/CODE measures what a user feels while a long preview runs: a slider moved 40 ms
// into a zoom-25 preview raises the stop flag, and the time is the wall-clock time from then
// until the computation has returned, so that the next preview can start.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

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

void RunPreviewStop(benchmark::State& state, int code) {
  const Bitmap& photo = EnlargedSample(kPhotoWidth, kPhotoHeight);
  static const SourceMean mean = ComputeSourceMean(EnlargedSample(kPhotoWidth, kPhotoHeight));
  PreviewCrop crop;
  crop.Reset(photo.Width(), photo.Height());
  crop.SetZoom(25, photo.Width(), photo.Height());
  const Bitmap K = CropForPreview(photo, crop.x0, crop.y0, crop.Size());
  const Bitmap resultCrop = EffectExtrasOf(code).blendsWithResult ? K : Bitmap();
  Random random(1);
  const auto compute = [&](std::atomic<bool>* stop) {
    RunContext ctx(DefaultSnapshot(code), random);
    ctx.preview = true;
    ctx.processing = false;
    ctx.mean = mean;
    ctx.sourcePanelWidth = photo.Width();
    ctx.SetStopFlag(stop);
    Bitmap O;
    ComputePreview(code, K, resultCrop, O, ctx);
  };
  compute(nullptr);  // builds the generated resources
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    std::thread worker([&] { compute(&stop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    const auto raised = std::chrono::steady_clock::now();
    stop = true;
    worker.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - raised).count();
    state.SetIterationTime(seconds);
  }
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
    const std::string name = "PreviewStop/" + std::to_string(code);
    benchmark::RegisterBenchmark(name.c_str(), [code](benchmark::State& state) { RunPreviewStop(state, code); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(5);
  }
  return true;
}();

}  // namespace

}  // namespace brumeleaf
