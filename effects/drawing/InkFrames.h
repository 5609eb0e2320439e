#pragma once
// The live-preview variant of the halftone frame. The run frames of the pen, edge-stroke and
// halftone effects (codes 1, 2, 3, 21 and 26) are declared with the other frames in
// effects/Frames.h; the live preview calls those same frames on its crop, except for the
// halftone, whose preview reports no progress.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// Live preview of code 26 on the crop: the full sequence without progress reports, then the
// surface stage into `out`.
void PreviewHalfToneLines(const Bitmap& crop, Bitmap& out, RunContext& ctx);

}  // namespace brumeleaf
