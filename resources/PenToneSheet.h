#pragma once
// The pen tone sheet: nine 100 x 200 pen-hatching tiles on a 300 x 600 sheet, tile n
// (0..8) at column n mod 3 and row n div 3, darkest first (dense cross-hatching) to lightest
// (a few thin lines). Tile n has a mean level close to 25 n + 12, the middle of the tones that
// choose it, and repeats seamlessly in both directions. Black ink on white, grey levels only.

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kPenTileWidth = 100;
inline constexpr int kPenTileHeight = 200;
inline constexpr int kPenTiles = 9;

// Generated on first use (thread-safe), identical on every call.
const Bitmap& PenToneSheet();

}  // namespace brumeleaf
