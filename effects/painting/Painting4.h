#pragma once
// Painting 4 (effect code 7): colour and brightness adjustment, then a 3 x 3 median applied
// again and again to its own output (5 x 5 in the sixth round), each round sharpened twice, and
// finally a selective local contrast that smooths pixels close to their surroundings and
// sharpens the others. The live preview runs the same frame on its crop.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct Painting4Settings {
  int iterations = 5;   // s1, 0..10: median rounds
  int contrast = 30;    // s2: strength of the selective contrast (0 = off)
  int colour = 60;      // s3: saturation s3 * 2 - 100
  int brightness = 140; // s4: brightness s4 - 127
};

Painting4Settings Painting4SettingsFrom(const RunContext& ctx);

// Each channel of each pixel is compared with the mean of the other 80 pixels of its 9 x 9
// window (read from a padded copy, so every pixel sees the picture as it was on entry): when
// all three differences are within half the source's mean level of that channel the pixel is
// pulled toward its surroundings by a percent, otherwise pushed away from them.
void SelectiveContrast(Bitmap& image, int a, const SourceMean& mean);

// The algorithm on `work` in place: colour, brightness, median rounds, selective contrast.
// A stop ends the rounds; `work` keeps the last whole round and the contrast still runs.
void RecursiveMedianPainting(Bitmap& work, const Painting4Settings& settings, RunContext& ctx);

// The manual brush's patch: the algorithm from `source` into `output`, without the surface.
void PatchPainting4(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
