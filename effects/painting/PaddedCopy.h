#pragma once
// The enlarged copy the rank-order filter and the selective contrast read their windows from,
// so that their inner loops need no bounds tests.

#include "imaging/Bitmap.h"

namespace brumeleaf {

// A (W + 2m) x (H + 2m) copy with the picture at (m, m). The left margin repeats the first m
// columns of the picture in order and the top margin its first m rows (the top-left corner
// holds the picture's own top-left m x m pixels); the right and bottom margins stay white.
// A picture narrower (lower) than m has too few columns (rows) for that: then every margin
// column (row) on both sides repeats the nearest column (row) of the picture instead, so the
// windows of a tiny picture are not mostly white paper.
Bitmap PaddedCopy(const Bitmap& image, int margin);

}  // namespace brumeleaf
