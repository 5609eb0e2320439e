#pragma once
// The ten paper-like surfaces of the texture sheet, each a seamless 256 x 256 field of relative
// brightness (any scale; the sheet gives every tile its mean and spread).

#include "resources/TileField.h"

namespace brumeleaf {

inline constexpr int kPaperTileSize = 256;
inline constexpr int kPaperSurfaceCount = 10;

struct PaperSurface {
  const char* name;
  double deviation;  // spread of the tile's levels around 128
  TileField (*make)();
};

// In sheet order: drawing paper, canvas, rough watercolour paper, laid paper, cardboard, linen,
// handmade paper, parchment, plaster, fine grain.
const PaperSurface& PaperSurfaceAt(int index);

}  // namespace brumeleaf
