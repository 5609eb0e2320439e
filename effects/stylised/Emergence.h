#pragma once
// Emergence (effect code 22) and Emergence 2 (effect code 25): the picture emerges on a black
// canvas from thousands of random shapes, large ones first and ever smaller ones later, each
// small shape kept only where it brings the canvas closer to the source. Emergence lays flat
// quadrilaterals, Emergence 2 Gouraud-shaded triangles. Run frames: FrameRandomPolygons and
// FrameShadedTriangles (effects/Frames.h); the live preview runs the same frames on its crop
// (one shape per step there).

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct EmergenceSettings {
  int abstraction = 100;   // T1 (s1): score a point must beat; for triangles also the gain asked
  int iterations = 80;     // T2 (s2): run length 128 T2 + 4000 (+ 5000 for triangles)
  int contrast = 30;       // T5 (s3): local contrast 2 T5 and brightness T5 div 8 of the source
  int minimumRadius = 25;  // T3 (s4): smallest spread 2 T3 + 20
  int maximumRadius = 130; // T4 (s5): largest spread 2 T4 + 20
  bool max = false;        // "MAX" shown on row 2: three times the shapes per step
};

EmergenceSettings EmergenceSettingsFrom(const RunContext& ctx);

// `source` is the working copy (its contrast and brightness are boosted); `output` is given its
// size and painted from black. Reseeds the session's generator with 1969. A maximum radius below
// the minimum is raised to it, in the settings and in ctx's slider values (s5). The run ends
// after 800 rejected shapes in a row, or at a stop (every 100 steps and every 50 shapes).
void PaintEmergence(Bitmap& source, Bitmap& output, EmergenceSettings settings, RunContext& ctx);
// The same with shaded triangles. The triangles never reach the last row and column (their
// corners lie inside the picture and each keeps its bottom row and right column for its
// neighbour), so these take the colours of the row and column next to them at the end.
void PaintShadedTriangles(Bitmap& source, Bitmap& output, EmergenceSettings settings, RunContext& ctx);

// The algorithms alone on a patch of the source, for the manual brush.
void PatchRandomPolygons(const Bitmap& source, Bitmap& output, RunContext& ctx);
void PatchShadedTriangles(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
