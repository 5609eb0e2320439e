#pragma once
// Painting 2 (effect code 5): the photograph repainted on white paper with curved strokes of
// a bristly round brush, the way a painter works: a coarse underpainting with a large brush on
// a half-size canvas, then 501 levels of ever finer and more selective strokes at full size.
// Each stroke follows the local edge direction, bends a little as it goes, takes its colour
// from the photograph and, from level 5 on, is kept only if it brings the canvas closer to it.

#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct BrushstrokeSettings {
  int strokeLength = 127;  // s1: length divisor 27 - s1 div 10
  int strokes = 25;        // s2: density s2 div 25 + 1
  int abstraction = 25;    // s3: acceptance factor 1 + s3 / 3500 and the flat-colour chance
  int colour = 135;        // s4: final saturation (s4 * 100 - 12800) div 128 percent
  int opacity = 127;       // s5: stroke opacity
};

BrushstrokeSettings BrushstrokeSettingsFrom(const RunContext& ctx);

// Gradient measure of the stroke directions: per pixel a magnitude 0..255 and an angle. The
// border keeps magnitude 0 and angle 0; interior pixels without gradient get a random angle
// below 0.628 (drawn in row order). The angle of a pixel with gradient is the single-precision
// arctangent of its gradient, worked out when asked for (a painting asks at its strokes'
// starts only), so the field keeps the source's row addresses: the source must outlive it.
struct StrokeField {
  int width = 0, height = 0;
  std::vector<std::uint8_t> magnitude;
  std::vector<std::uint16_t> flat;  // the random draw 0..627 where the magnitude is 0, else 0
  std::vector<const std::uint8_t*> rows;

  int Magnitude(int x, int y) const { return magnitude[static_cast<std::size_t>(y) * width + x]; }
  double Angle(int x, int y) const;
};

StrokeField MakeStrokeField(const Bitmap& source, Random& random);

// Paints `source` into `destination` (resized to it and filled white). Continues the session's
// random sequence (the effect does not reseed). A stop keeps what has been painted.
void BrushstrokePainting(const Bitmap& source, Bitmap& destination, const BrushstrokeSettings& settings,
                         RunContext& ctx);

// The effect on a patch for the manual brush, without the surface stage.
void PatchBrushstrokes(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
