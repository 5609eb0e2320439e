#pragma once
// The pencil-shading sheet of Pencil sketch 5: 1280 x 410, ten tiles of 256 x 205 in two rows
// of five, diagonal pencil hatching on paper, darkest at column 0 of row 0 and lightest at
// column 4 of row 1. Every tile repeats seamlessly in both directions.

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kPencilTileWidth = 256;
inline constexpr int kPencilTileHeight = 205;
inline constexpr int kPencilTileCount = 10;

// The mean grey level each tile is drawn to (tile 0 darkest).
constexpr int PencilTileMeanLevel(int tile) { return 28 + 23 * tile; }

const Bitmap& PencilTileSheet();

}  // namespace brumeleaf
