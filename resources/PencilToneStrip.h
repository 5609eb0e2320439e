#pragma once
// The pencil tone strip: 512 x 166 grey pencil hatching that runs from black at column 0 to
// white at the right end. The mean of column 2g over all rows is grey level g, and every row is
// a different sample of the ramp, so reading (2g, any row) gives a pencil-textured level whose
// average is g.

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kPencilToneStripWidth = 512;
inline constexpr int kPencilToneStripHeight = 166;

// Generated on first use by our own code; safe to call from any thread.
const Bitmap& PencilToneStrip();
// A fresh generation (the same pixels every time).
Bitmap MakePencilToneStrip();

}  // namespace brumeleaf
