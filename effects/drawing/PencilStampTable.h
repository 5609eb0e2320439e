#pragma once
// The 360 pre-rotated pencil strokes of Pencil sketch 4, one per whole degree, each 100 x 100.
// The table is shared by every run of the program and built once, completely, on first use:
// a stop request cannot interrupt it, so no run ever sees a half-built entry.

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kPencilStampAngles = 360;
inline constexpr int kPencilStampSize = 100;

// The stroke rotated by `angle` degrees (0..359). Throws ImageError for another angle.
const Bitmap& PencilStamp(int angle);

}  // namespace brumeleaf
