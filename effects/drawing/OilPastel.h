#pragma once
// Oil pastel sketch (effect code 16): thousands of stamps of a pastel-stroke texture on light
// paper, from large to small. Each stamp takes the mean source colour under it and is kept only
// if it brings the drawing closer to the source; at the end the edge strokes are pressed in.
// Its run frame is FramePencilStrokes (effects/Frames.h); the live preview runs that same frame
// on its crop, as the routine itself watches ctx.preview for what it shows.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct OilPastelSettings {
  int minimumSize = 0;      // Smin (s1)
  int maximumSize = 200;    // Smax0 (s2)
  int iterations = 20;      // N (s3)
  int edgeIntensity = 100;  // EI (s4)
  int precision = 200;      // FP (s5): acceptance and search tolerance
};

OilPastelSettings OilPastelSettingsFrom(const RunContext& ctx);

// The drawing alone on a patch of the source, for the manual brush.
void PatchOilPastel(const Bitmap& source, Bitmap& output, RunContext& ctx);

// Draws the pastel over `destination` (given the source's size). The source is only read: the
// local-contrast step works on a copy. Does not reseed the generator, so every run places its
// stamps differently. With the minimum size at or above the maximum, the minimum is moved to
// the maximum (in the parameter snapshot too). The stamp loop ends early when no pixel is left
// whose red differs from the source by the search tolerance; a stop leaves the partial drawing
// without the edge pass.
void DrawOilPastel(const Bitmap& source, Bitmap& destination, OilPastelSettings settings, RunContext& ctx);

}  // namespace brumeleaf
