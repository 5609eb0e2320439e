#pragma once
// Pencil hatching drawn into a field: rows of short parallel graphite strokes with tapered,
// lighter ends, a little wobble in angle and spacing, and uneven pressure. Field values are
// graphite cover from 0 (bare paper) to 1 (full cover).

#include "resources/TileField.h"

namespace brumeleaf {

struct HatchingStyle {
  double directionX, directionY;  // stroke direction (any length)
  double spacing;                 // distance between neighbouring strokes, pixels
  int minLength, maxLength;       // stroke length range, pixels
  double halfWidth;               // half the stroke width, pixels
};

TileField Hatching(int width, int height, const HatchingStyle& style, Random& random);

}  // namespace brumeleaf
