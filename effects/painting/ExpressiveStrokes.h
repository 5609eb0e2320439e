#pragma once
// Painting 8 (effect code 20): the picture painted with a textured brush in ten orientations.
// Wherever a stroke is tried, the orientation whose footprint covers the most uniform colour
// of the photograph wins and is painted with that colour; then, cell by cell, the best-fitting
// places are painted once more. Strokes gather where the photograph has detail.
// The stroke core is shared with the watercolour painting, which turns its outline layer into
// loose strokes with it.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct ExpressiveStrokeArgs {
  int brushSize = 28;  // b, rounded up to even
  int strokes = 214;   // e: repaints per cell in the refinement
  int precision = 104; // p: against 97 - detail, how often a stroke is tried
  int pass = 1;        // 1 takes brush tile (1, 2), any other pass tile (1, 7)
};

// Paints strokes taken from `source` into `destination` (the same size) over its content.
// Reads two sliders itself, whatever effect runs: row 3 sets the acceptance threshold and row
// 2 the pause after a very good stroke. Reseeds the session's generator with 1969. Returns at
// once when a stop is pending; a stop during the strokes keeps what was painted.
void ExpressiveStrokes(const Bitmap& source, Bitmap& destination, const ExpressiveStrokeArgs& args,
                       RunContext& ctx);

// The whole effect: local contrast on `source` (a working copy), a first pass of strokes over
// `destination` (which holds a copy of the source), sharpening, a finer second pass when row 5
// is above 0, and local contrast on the result.
void ExpressivePainting(Bitmap& source, Bitmap& destination, RunContext& ctx);

// The effect on a patch for the manual brush, without the surface stage.
void PatchExpressivePainting(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
