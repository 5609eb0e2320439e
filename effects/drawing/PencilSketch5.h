#pragma once
// Pencil sketch 5 (effect code 24): a coloured pencil drawing built in stages on a white sheet:
// random hatching whose density follows the source's darkness, edge strokes across the local
// gradient, shading with ten pencil-tone tiles, a colour pass, lighter edge strokes, and its
// own finishing (saturation, detail, histogram equalisation, softening, paper texture).
// Its run frame is FramePencilSketch5 (effects/Frames.h); the live preview runs that same frame
// on its crop.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct PencilSketch5Settings {
  int edgeThreshold = 50;     // ET (s1)
  int edgeIntensity = 150;    // EI (s2)
  int blending = 25;          // BI (s3): 0 leaves the drawing untouched by the tiles
  int darkenLighten = 128;    // DL (s4)
  int colourIntensity = 200;  // CI (s5)
};

PencilSketch5Settings PencilSketch5SettingsFrom(const RunContext& ctx);

// `source` is read only; `drawing` is given the source's size and holds the finished drawing.
// The hatching continues the session's random sequence; the tile shading reseeds it with 1969.
// `texture` is the paper tile printed when the options ask for a texture. After a stop (checked
// after every row of the hatching and of both edge passes) the drawing keeps what was drawn.
void DrawPencilSketch5(const Bitmap& source, Bitmap& drawing, const PencilSketch5Settings& settings,
                       const Bitmap& texture, RunContext& ctx);

// The tile shading stage: gives `drawing` the size of `source` and blends the pencil tones,
// chosen by the source's brightness, into it. Reseeds the generator with 1969.
void BlendPencilTiles(const Bitmap& source, Bitmap& drawing, const PencilSketch5Settings& settings,
                      RunContext& ctx);

}  // namespace brumeleaf
