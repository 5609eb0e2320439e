#include "resources/PaperTextures.h"

#include <cstring>

#include "resources/PaperSurfaces.h"

namespace brumeleaf {

namespace {

constexpr int kColumns = 5;

void PutTile(Bitmap& sheet, int index, const std::vector<std::uint8_t>& levels) {
  const int left = (index % kColumns) * kPaperTileSize, top = (index / kColumns) * kPaperTileSize;
  for (int y = 0; y < kPaperTileSize; ++y) {
    std::uint8_t* p = sheet.ScanLine(top + y) + 3 * left;
    const std::uint8_t* level = levels.data() + static_cast<std::size_t>(y) * kPaperTileSize;
    for (int x = 0; x < kPaperTileSize; ++x, p += 3) std::memset(p, level[x], 3);
  }
}

}  // namespace

Bitmap MakePaperTextureSheet() {
  Bitmap sheet(kColumns * kPaperTileSize, 2 * kPaperTileSize);
  for (int n = 0; n < kPaperSurfaceCount; ++n) {
    const PaperSurface& surface = PaperSurfaceAt(n);
    // Printing a texture adds D - t to a picture: light texels darken it. The tiles are
    // therefore stored as negatives, so that the printed paper shows its fibres light and its
    // relief lit from the upper left.
    TileField field = surface.make();
    field.Scale(-1.0);
    PutTile(sheet, n, ToLevels(field, 128.0, surface.deviation));
  }
  return sheet;
}

const Bitmap& PaperTextureSheet() {
  static const Bitmap sheet = MakePaperTextureSheet();
  return sheet;
}

}  // namespace brumeleaf
