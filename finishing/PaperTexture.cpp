#include "finishing/PaperTexture.h"

#include <array>
#include <cstdint>
#include <string>

#include "imaging/Geometry.h"
#include "resources/PaperTextures.h"

namespace brumeleaf {

int TextureOffset(int strength) {
  switch (strength) {
    case 0: return 64;
    case 1: return 128;
    case 2: return 256;
    default:
      throw ImageError("Unknown texture strength " + std::to_string(strength) +
                       "; the strengths are light, normal and strong.");
  }
}

namespace {

std::array<Bitmap, kTextureTiles> CutTextureTiles() {
  const Bitmap& sheet = PaperTextureSheet();
  std::array<Bitmap, kTextureTiles> tiles;
  for (int n = 0; n < kTextureTiles; ++n) {
    Bitmap& tile = tiles[static_cast<std::size_t>(n)];
    tile.SetSize(kTextureTileSize, kTextureTileSize);
    CopyTile(sheet, tile, kTextureTileSize, kTextureTileSize, n % 5, n / 5);
  }
  return tiles;
}

}  // namespace

const Bitmap& PaperTextureTile(int number) {
  if (number < 0 || number >= kTextureTiles) {
    throw ImageError("There is no texture " + std::to_string(number + 1) +
                     "; the textures are numbered 1 to 10.");
  }
  static const std::array<Bitmap, kTextureTiles> tiles = CutTextureTiles();
  return tiles[static_cast<std::size_t>(number)];
}

void PrintTexture(Bitmap& image, const Bitmap& tile, int strength, int periodX, int periodY) {
  const int d = TextureOffset(strength);
  const int k = d * 10 / 128;
  if (periodX < 1 || periodY < 1 || periodX > tile.Width() || periodY > tile.Height()) {
    throw ImageError("The texture tile is smaller than its repeat.");
  }
  const int width = image.Width();
  for (int y = 1; y < image.Height(); ++y) {
    std::uint8_t* p = image.ScanLine(y) + 3;
    const std::uint8_t* texels = tile.ScanLine(y % periodY);
    int tx = 1 % periodX;
    for (int x = 1; x < width; ++x, p += 3) {
      const std::uint8_t* t = texels + 3 * tx;
      for (int c = 0; c < 3; ++c) p[c] = ClampLevel(p[c] + d - k * t[c] / 10);
      if (++tx == periodX) tx = 0;
    }
  }
}

}  // namespace brumeleaf
