#pragma once
// The paper texture printed over finished pictures: the ten tiles of the texture sheet and the
// one printing rule shared by the surface stage and the pencil drawing.

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kTextureTiles = 10;
inline constexpr int kTextureTileSize = 256;

// Offset D of a texture strength: 0 light 64, 1 normal 128, 2 strong 256.
// Throws ImageError for any other strength.
int TextureOffset(int strength);

// Tile `number` (0..9) of the paper texture sheet as a 256 x 256 picture: tile n sits in sheet
// column n mod 5 and row n div 5. Cut once per process. Throws ImageError for another number.
const Bitmap& PaperTextureTile(int number);

// Prints `tile` over every pixel from row 1 and column 1 onwards (row 0 and column 0 keep
// their levels): each channel c becomes clamp(c + D - (k * t) div 10) with k = D * 10 div 128
// and t the same channel of the texel at (x mod periodX, y mod periodY).
// The periods must lie within 1..tile size.
void PrintTexture(Bitmap& image, const Bitmap& tile, int strength, int periodX, int periodY);

}  // namespace brumeleaf
