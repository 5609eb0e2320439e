#include "effects/drawing/PenAndInk.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "finishing/PaperTexture.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "resources/PenToneSheet.h"

namespace brumeleaf {

namespace {

// Rows of the nine hatching tiles that serve one picture row.
using TileRows = std::array<const std::uint8_t*, kPenTiles>;

TileRows TileRowsFor(const Bitmap& sheet, int y) {
  TileRows rows{};
  const int tileRow = y % kPenTileHeight;
  for (int n = 0; n < kPenTiles; ++n) {
    rows[static_cast<std::size_t>(n)] =
        sheet.ScanLine((n / 3) * kPenTileHeight + tileRow) + 3 * ((n % 3) * kPenTileWidth);
  }
  return rows;
}

int ChannelDistance(const std::uint8_t* p, const std::uint8_t* q) {
  return std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
}

struct PenSettings {
  int threshold;  // T
  int intensity;  // E
  int lighten;    // L
};

void DrawPenRow(const Bitmap& source, Bitmap& destination, int y, const TileRows& tiles,
                const PenSettings& pen) {
  const std::uint8_t* above = source.ScanLine(y - 1);
  const std::uint8_t* here = source.ScanLine(y);
  std::uint8_t* out = destination.ScanLine(y);
  for (int x = 1; x < source.Width(); ++x) {
    const std::uint8_t* p = here + 3 * x;
    const int tone = ClampLevel((p[0] + p[1] + p[2]) / 3 + pen.lighten - 127) / 25;
    const int dv = ChannelDistance(p, above + 3 * x);
    const int dh = ChannelDistance(p, p - 3);
    std::uint8_t* d = out + 3 * x;
    if (dv <= pen.threshold && dh <= pen.threshold) {
      if (tone <= 8) {
        const std::uint8_t* t = tiles[static_cast<std::size_t>(tone)] + 3 * (x % kPenTileWidth);
        d[0] = t[0];
        d[1] = t[1];
        d[2] = t[2];
      }
    } else {
      const int q = dv + dh;
      if (q > pen.threshold) d[0] = d[1] = d[2] = ClampLevel(tone - q + 255 - pen.intensity);
    }
  }
}

// The pen drawing prints its texture twice as strongly as the surface stage and repeats the
// tile every 256 pixels.
void PrintPenTexture(Bitmap& image, const RunContext& ctx) {
  const Bitmap& tile = PaperTextureTile(ctx.Params().textureNumber);
  const int offset = 2 * TextureOffset(ctx.Params().textureStrength);
  const int weight = offset * 10 / 128;
  for (int y = 1; y < image.Height(); ++y) {
    std::uint8_t* p = image.ScanLine(y) + 3;
    const std::uint8_t* texels = tile.ScanLine(y % tile.Height());
    for (int x = 1; x < image.Width(); ++x, p += 3) {
      const std::uint8_t* t = texels + 3 * (x % tile.Width());
      for (int c = 0; c < 3; ++c) p[c] = ClampLevel(p[c] + offset - weight * t[c] / 10);
    }
  }
}

}  // namespace

void DrawPenAndInk(Bitmap& source, Bitmap& destination, RunContext& ctx) {
  ctx.Rand().SetSeed(kEffectSeed);  // the drawing itself draws no random numbers
  const int width = source.Width();
  const int height = source.Height();
  destination.SetSize(width, height);
  const Bitmap& sheet = PenToneSheet();
  BoxBlur3(source);
  AdjustBrightness(source, 10);
  AdjustSaturation(source, 25, &ctx);
  const PenSettings pen{ctx.S(1), ctx.S(2), ctx.S(4)};
  // Pictures two rows high have a single row to draw: count it as one unit, not zero.
  const int units = std::max(height - 2, 1);
  for (int y = 1; y < height; ++y) {
    ctx.ShowProgress(y - 1, units, 1, 1);
    if (!ctx.preview) ctx.ProcessEvents();
    if (ctx.StopRequested()) return;
    DrawPenRow(source, destination, y, TileRowsFor(sheet, y), pen);
  }
  if (ctx.Params().softenEdges) SoftBlur(destination);
  if (ctx.Params().texture) PrintPenTexture(destination, ctx);
}

void DrawInkSketch(Bitmap& image, RunContext& ctx) {
  InkThreshold(image, ctx);
  InkCleanup(image, ctx);
}

}  // namespace brumeleaf
