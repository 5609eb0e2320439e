#pragma once
// Merge source and result images (effect code 13): blends the source picture with the current
// result, then mixes in their product. Its run frame is FrameAlphaBlend (effects/Frames.h),
// which takes the part of the result of the source's size around the result's centre (a
// frame added earlier is left out). The live preview runs the same frame with the crop of
// the result at the crop's position as the result.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct MergeSettings {
  int blending = 127;        // T1 (s1): 0 keeps the source, 255 the result
  int multiplication = 0;    // T2 (s2): share of the product in the final mix
  int darkenLighten = 50;    // T5 (s3): the product is divided by 455 - 4 T5 (255 at 50)
};

MergeSettings MergeSettingsFrom(const RunContext& ctx);

// `source` (A) and `result` (B) of the same size; B receives the merged picture. Pictures of
// different sizes are left as they are. Draws no random numbers.
void MergeImages(const Bitmap& source, Bitmap& result, const MergeSettings& settings, RunContext& ctx);

// The algorithm alone for the manual brush: unlike every other effect it needs the result
// under the stroke as well as the source. `source` is the patch of the source, `resultPatch`
// the same rectangle of the result panel (the patch's output starts as that); `output`
// receives the merged patch (left as `resultPatch` when the sizes differ).
void PatchAlphaBlend(const Bitmap& source, const Bitmap& resultPatch, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
