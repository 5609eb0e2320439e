#include <algorithm>
#include <array>
#include <cstdint>

#include "imaging/ParallelRows.h"
#include "effects/drawing/PencilSketch5.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "resources/PencilTileSheet.h"

namespace brumeleaf {

namespace {

// Tiles 10 and 11 stand for blank paper beyond the lightest tile.
constexpr int kWhiteTiles = 2;

class ShadingTiles {
 public:
  ShadingTiles() {
    for (int n = 0; n < kPencilTileCount; ++n) {
      Bitmap& tile = tiles_[static_cast<std::size_t>(n)];
      tile.SetSize(kPencilTileWidth, kPencilTileHeight);
      CopyTile(PencilTileSheet(), tile, kPencilTileWidth, kPencilTileHeight, n % 5, n / 5);
      // The middle tones are crisper, so their hatching still reads after blending.
      if (n >= 2 && n <= 7) Sharpen(tile);
    }
    white_.fill(255);
  }

  // Row `y` of tile `n` (0..11), where 10 and 11 are white.
  const std::uint8_t* Row(int n, int y) const {
    if (n >= kPencilTileCount) return white_.data();
    return tiles_[static_cast<std::size_t>(n)].ScanLine(y);
  }

 private:
  std::array<Bitmap, kPencilTileCount> tiles_;
  std::array<std::uint8_t, 3 * kPencilTileWidth> white_{};
};

// Tone index 0..255 of a source pixel: its mean grey moved by Darken/Lighten, and darker for
// blue-dominant pixels (shadows and skies take a darker tile than a grey of the same mean).
int ToneOf(const std::uint8_t* s, int darkenLighten) {
  const int b = s[0], g = s[1], r = s[2];
  int tone = (r + g + b) / 3 + darkenLighten / 2 - 120;
  if (b >= r && b >= g) tone -= ((b - r) + (b - g)) / 3;
  return std::clamp(tone, 0, 255);
}

void ShadeRow(const std::uint8_t* s, std::uint8_t* d, int width, int y, int darkenLighten, int blending,
              const ShadingTiles& tiles) {
  const int ty = y % kPencilTileHeight;
  std::array<const std::uint8_t*, kPencilTileCount + kWhiteTiles> tileRows{};
  for (int n = 0; n < kPencilTileCount + kWhiteTiles; ++n)
    tileRows[static_cast<std::size_t>(n)] = tiles.Row(n, ty);
  const int mix = 2 * blending;
  for (int x = 0; x < width; ++x, s += 3, d += 3) {
    // How light the drawing already is: light places take more of the tile.
    const int lightness = std::min(255, (d[2] + d[1] + 2 * d[0]) / 3);
    const int tone = ToneOf(s, darkenLighten);
    const int q = tone / 24;
    const int r = tone - 24 * q;
    const int tx = 3 * (x % kPencilTileWidth);
    const std::uint8_t* t1 = tileRows[static_cast<std::size_t>(q)] + tx;
    const std::uint8_t* t2 = tileRows[static_cast<std::size_t>(q + 1)] + tx;
    for (int c = 0; c < 3; ++c) {
      const int t = (t2[c] * r) / 24 + ((24 - r) * t1[c]) / 24;
      const int level = d[c];
      const int z = ((255 - lightness) * level + t * lightness) / 255;
      d[c] = ClampLevel(((255 - mix) * level + mix * z) / 255);
    }
  }
}

}  // namespace

void BlendPencilTiles(const Bitmap& source, Bitmap& drawing, const PencilSketch5Settings& settings,
                      RunContext& ctx) {
  // The shading draws nothing at random; the reseed is part of the effect's sequence: a run
  // leaves the generator at 1969 for whatever comes next.
  ctx.Rand().SetSeed(kEffectSeed);
  drawing.Resize(source.Width(), source.Height());
  const ShadingTiles tiles;
  // Every pixel is shaded from its own source and drawing pixel alone.
  ForEachRowBand(0, source.Height(), 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y)
      ShadeRow(source.ScanLine(y), drawing.ScanLine(y), source.Width(), y, settings.darkenLighten,
               settings.blending, tiles);
  });
}

}  // namespace brumeleaf
