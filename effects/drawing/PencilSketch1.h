#pragma once
// Pencil sketch 1: a coloured pencil drawing. Flat areas get pencil hatching from the tone
// strip, edges are darkened by the local colour differences. The frame draws on a copy rotated
// by 40 degrees, so that the hatching runs at a slant, and rotates the drawing back.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// Draws `source` into `destination` (sized to the source and made white first; must not be
// the source). Reads T, E, CI, L, K from s1..s5, soft edges and texture from the options, and
// reseeds the session's Random with 1969. After a stop the rows drawn so far remain.
void DrawPencilSketch(const Bitmap& source, Bitmap& destination, RunContext& ctx);

// The live preview's variant on a crop: the expanding rotation by 30 degrees and back, the
// drawing put back centred on a picture of the crop's size. No final soften: the preview
// display softens.
void PreviewPencilSketch(const Bitmap& crop, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
