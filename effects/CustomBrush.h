#pragma once
// The user's own brush for Painting 7 and Painting 8: the loaded picture centred on a white
// square 1.42 times its longer side, so that the brush can turn without losing its corners.

#include "imaging/Bitmap.h"

namespace brumeleaf {

// Side S = max(width, height) * 142 div 100; the picture is drawn at
// ((S - width) div 2, (S - height) div 2). An empty picture is an ImageError.
Bitmap MakeCustomBrush(const Bitmap& picture);

}  // namespace brumeleaf
