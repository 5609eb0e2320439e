#pragma once
// The run frames of the pen, edge-stroke and halftone effects: the working pictures each
// handler prepares around its algorithm, and what goes into the result. RunEffect calls
// Finalize afterwards. The live preview calls the same frames on its crop, except for the
// halftone, whose preview reports no progress.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

void FrameSobelFilter(const Bitmap& source, Bitmap& result, RunContext& ctx);       // code 1
void FrameColourSobel(const Bitmap& source, Bitmap& result, RunContext& ctx);       // code 2
void FramePenandInkSketch(const Bitmap& source, Bitmap& result, RunContext& ctx);   // code 3
void FramePenandInkSketch2(const Bitmap& source, Bitmap& result, RunContext& ctx);  // code 21
void FrameHalfToneLines(const Bitmap& source, Bitmap& result, RunContext& ctx);     // code 26

// Live preview of code 26 on the crop: the full sequence without progress reports, then the
// surface stage into `out`.
void PreviewHalfToneLines(const Bitmap& crop, Bitmap& out, RunContext& ctx);

}  // namespace brumeleaf
