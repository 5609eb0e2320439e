#pragma once
// The drawing rule shared by the two single-stroke pictures of Pencil sketch 4.

#include <cstdint>

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kPencilStrokeSize = 100;
// Stroke pixels are at most this light; the white around them is lighter.
inline constexpr int kPencilStrokeLightest = 240;

// A 100 x 100 picture of one horizontal pencil stroke through the middle, tapered at both
// ends, on white. `arch` lifts the middle of the stroke by that many pixels above its ends
// (0 gives a straight stroke); `salt` varies the graphite grain.
Bitmap DrawPencilStroke(double arch, std::uint32_t salt);

}  // namespace brumeleaf
