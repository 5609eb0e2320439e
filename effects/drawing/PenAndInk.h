#pragma once
// The two black-and-white pen effects.
//  - Pen & Ink sketch 1 renders tones with the nine hatching tiles of the pen tone sheet and
//    draws edges as grey-to-black lines; it softens and textures its own output.
//  - Pen & Ink sketch 2 makes a pure black-and-white ink drawing: an adaptive threshold
//    against the local and global brightness, a detail-line pass, and a clean-up that removes
//    isolated specks.
// Sliders: sketch 1 s1 edge threshold, s2 edge intensity, s4 darken/lighten;
//          sketch 2 s1 level of details, s2 darken/lighten, s3 image simplification.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// Sketch 1. `source` is a scratch copy and is changed (blurred and brightened);
// `destination` is resized to it. Reseeds the session's generator with the effect seed.
void DrawPenAndInk(Bitmap& source, Bitmap& destination, RunContext& ctx);

// Sketch 2, threshold and detail lines, in place. A stop during the threshold leaves the rows
// not reached as they were and skips the detail lines.
void InkThreshold(Bitmap& image, RunContext& ctx);

// Sketch 2, clean-up passes, in place: with simplification S > 0 a white pixel whose weighted
// 7x7 neighbourhood is nearly all black turns black and the reverse, repeated while a pass
// changes more than 19 pixels, at most 11 passes. Ends by making every pixel grey (red copied
// into green and blue), also when stopped, so the drawing stays black and white.
void InkCleanup(Bitmap& image, RunContext& ctx);

// The two steps of sketch 2 on `image`, in place.
void DrawInkSketch(Bitmap& image, RunContext& ctx);
// Sketch 2 alone on a patch of the source, for the manual brush.
void PatchPenAndInk2(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
