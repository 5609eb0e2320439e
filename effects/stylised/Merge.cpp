#include "effects/stylised/Merge.h"

#include <algorithm>
#include <cstdint>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "imaging/ParallelRows.h"

namespace brumeleaf {

MergeSettings MergeSettingsFrom(const RunContext& ctx) {
  MergeSettings settings;
  settings.blending = ctx.S(1);
  settings.multiplication = ctx.S(2);
  settings.darkenLighten = ctx.S(3);
  return settings;
}

void MergeImages(const Bitmap& source, Bitmap& result, const MergeSettings& settings, RunContext& ctx) {
  if (source.Width() != result.Width() || source.Height() != result.Height()) return;
  ctx.ShowProgress(0, 100, 1, 1);
  const int t1 = settings.blending, t2 = settings.multiplication;
  // The slider stops T5 at 100 (divisor 55); a value of 114 or more read from elsewhere would
  // divide by zero or turn the product negative, so the divisor never drops below 1.
  const int divisor = std::max(1, 455 - 4 * settings.darkenLighten);
  // Each pixel depends only on the same pixel of both pictures, so the rows are independent
  // and B can be written in place of the two scratch pictures.
  ForEachRowBand(0, result.Height(), 32, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* a = source.ScanLine(y);
      std::uint8_t* b = result.ScanLine(y);
      for (int i = 0; i < 3 * result.Width(); ++i) {
        const int blend = b[i] * t1 / 255 + a[i] * (255 - t1) / 255;
        const int product = std::min(255, a[i] * b[i] / divisor);
        b[i] = ClampLevel(product * t2 / 255 + blend * (255 - t2) / 255);
      }
    }
  });
  ctx.ShowProgress(100, 100, 1, 1);
}

void PatchAlphaBlend(const Bitmap& source, const Bitmap& resultPatch, Bitmap& output, RunContext& ctx) {
  output = resultPatch;
  MergeImages(source, output, MergeSettingsFrom(ctx), ctx);
}

// Code 13: W1 := copy of S; W2 := the part of R of S's size whose top-left corner is
// ((R width - S width) div 2, (R height - S height) div 2), unscaled; merge (W1, W2); surface
// finish W2 into R. A result smaller than the source (the list does not offer the entry then)
// contributes white where it does not reach, rather than memory outside it.
void FrameAlphaBlend(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  Bitmap w2 = R;
  CutCentre(w2, S.Width(), S.Height());
  MergeImages(S, w2, MergeSettingsFrom(ctx), ctx);
  Deliver(w2, R, ctx, Delivery::SurfaceFinish);
}

}  // namespace brumeleaf
