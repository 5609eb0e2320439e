#pragma once
// "Cartoon 2" colour ink (effect code 18): colours flattened by an edge-preserving smoothing,
// flat areas lightened, dark ink lines drawn where a sharpening kernel finds edges. The effect
// prints the paper texture itself (twice: once when flattening, once at the end) and its run
// frame, FrameColourInk (effects/Frames.h), copies the result without the surface stage. The
// live preview differs (PreviewColourInk): it passes the result through the surface stage.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct ColourInkSettings {
  int blending = 30;       // T1 (s1): a pixel further than T1 div 2 from its neighbours' mean keeps its detail
  int edgeIntensity = 30;  // T2 (s2): ink where the kernel response is below T2 - 64; edges from 255 - T2
  int strength = 10;       // T5 (s3): T5 + 1 smoothing passes
  int darkenLighten = 127; // T3 (s4): brightness T3 - 127 (percent, and levels in flat areas)
};

ColourInkSettings ColourInkSettingsFrom(const RunContext& ctx);

// The flattening stage: `detail` (A) is softened and prepared in place and ends as the
// softened reference; `output` (D) receives the flattened, lightened picture with its edges
// kept dark. Reseeds the generator with 1969 (and draws nothing). A stop (checked before each
// smoothing pass) returns at once.
void FlattenColours(Bitmap& detail, Bitmap& output, const ColourInkSettings& settings, RunContext& ctx);

// `source` is the working copy of the photograph (softened in place); `output` receives the
// drawing. Reseeds the generator with 1969 and draws nothing.
void ColourInk(Bitmap& source, Bitmap& output, const ColourInkSettings& settings, RunContext& ctx);

// The live preview: the colour ink of the crop K, then the surface finish into O.
void PreviewColourInk(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx);
// The algorithm alone on a patch of the source, for the manual brush.
void PatchColourInk(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
