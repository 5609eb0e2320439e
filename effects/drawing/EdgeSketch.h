#pragma once
// "Pencil sketch 2 (b&w)" and "Pencil sketch 3 (color)": pencil strokes laid along the local
// edge direction, plus short shading strokes in calm areas whose density follows the darkness
// of the source. The colour version then blends the stroke layer with the source colours.
// Sliders: s1 edge threshold, s2 edge intensity, s3 stroke length, s4 darken/lighten,
// s5 colour intensity (colour only). Both soften and texture their own output.
// Neither reseeds the generator: the shading strokes differ slightly from run to run.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// `destination` gets the source size and is overwritten; `source` is only read.
void DrawSobelSketch(const Bitmap& source, Bitmap& destination, RunContext& ctx);
void DrawColourSobelSketch(const Bitmap& source, Bitmap& destination, RunContext& ctx);

}  // namespace brumeleaf
