#pragma once
// Pencil sketch 4 (effect code 23): many thousands of short pencil strokes from the table of
// pre-rotated strokes, laid at random sample positions. Where the local brightness gradient is
// strong a stroke follows it and grows with it; flat areas get a few shading strokes at fixed
// hatching angles, fewer where the source is light. Each stroke is tinted by the source.
// Its run frame is FrameNewPencilSketch (effects/Frames.h); the live preview runs that same
// frame on its crop.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct PencilSketch4Settings {
  int edgeThreshold = 20;     // T: gradient magnitude that lays an edge stroke
  int iterations = 101;       // it: samples per 200 pixels (the slider position + 1)
  int strokeLength = 25;      // L: 0..100
  int abstraction = 10;       // A: 255 lays no shading strokes at all
  int colourIntensity = 140;  // CI: 0 tints with the sample's grey, 255 with its colour
};

// The settings a run takes from the parameter snapshot (s1, s2 + 1, s3, s4, s5).
PencilSketch4Settings PencilSketch4SettingsFrom(const RunContext& ctx);

// Reads `source` only; `destination` is given the source's size, filled white and drawn on.
// Reseeds the session's generator with 1969, so equal inputs give equal drawings. After a stop
// the destination keeps the strokes laid so far. Pictures narrower or lower than 3 pixels have
// no sample positions and stay white.
void DrawNewPencilSketch(const Bitmap& source, Bitmap& destination, const PencilSketch4Settings& settings,
                         RunContext& ctx);

}  // namespace brumeleaf
