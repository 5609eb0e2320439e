#pragma once
// Painting 3 (effect code 6): a rank-order filter flattens the texture of the photograph, then
// the bilateral stage softens, saturates and locally contrasts it and merges similar
// neighbouring pixels over many passes of 2 x 2 block averaging, which keeps the edges, and
// finishes with brightness, sharpening and the optional soften and paper-texture steps.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct Painting3Settings {
  int blending = 35;     // s1: blending constant of the block averaging
  int brushSize = 5;     // s2, 1..10: the rank filter's window is s2 + 1 pixels square
  int strength = 30;     // s3: block averaging passes - 1
  int brightness = 140;  // s4: levels move by s4 - 127
};

Painting3Settings Painting3SettingsFrom(const RunContext& ctx);

// Per channel, the ((n n - 1) div 2)-th smallest level (the minimum for n = 2) of the n x n
// window, n clamped to 2..11: centred for odd n, reaching n div 2 pixels before and n div 2 - 1
// after the pixel for even n. Windows read a padded copy (see PaddedCopy): the left and top
// margins repeat the picture's first columns and rows, the right and bottom margins are white,
// which lightens a strip of about n div 2 pixels along the right and bottom edges.
// `destination` gets the source's size. Progress per window row in `pass` of `passes`. A stop
// leaves `destination` untouched and returns false.
bool OrderStatisticFilter(const Bitmap& source, Bitmap& destination, int n, int pass, int passes, RunContext& ctx);

// Works on `source` (changed) and writes `destination`. Reseeds the generator with 1969.
// A stop before the averaging leaves `destination` as it was; a stop between averaging passes
// keeps the last whole pass, unbrightened and unsharpened. Returns false after a stop.
bool BilateralStage(Bitmap& source, Bitmap& destination, const Painting3Settings& settings, int pass, int passes,
                    RunContext& ctx);

// The live preview on the crop K: the run's sequence with both stages reporting as pass 1 of 1.
void PreviewPainting3(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx);

// The manual brush's patch: the run's sequence from `source` into `output`.
void PatchPainting3(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
