#pragma once
// "Linear halftoning": the picture redrawn as parallel lines whose thickness follows its
// darkness, like an engraving or a line-screen print. The picture is padded, rotated by the
// chosen angle, drawn as rows of short vertical strokes whose length swells and shrinks
// smoothly, rotated back and cropped. Sliders: s1 level of abstraction (cell size
// s1 div 2 + 4), s2 angle in degrees, s3 colour intensity (0 grey lines, 100 source colours).

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// The line drawing on an upright picture. `destination` must be a white picture of the
// source size; `source` is only read. Never reads or writes outside either picture.
void DrawHalftoneLines(const Bitmap& source, Bitmap& destination, RunContext& ctx);

// The whole sequence: pad by 25 pixels, rotate, draw, rotate back, crop, soften and sharpen
// twice. `result` receives a picture of the source size. With `reportProgress` false (the
// live preview) the sequence itself reports nothing. A stop during a rotation leaves the
// partial result. On failure `result` is left unchanged.
void HalftoneSequence(const Bitmap& source, Bitmap& result, RunContext& ctx, bool reportProgress);

}  // namespace brumeleaf
