#include "effects/drawing/PencilSketch1.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "finishing/PaperTexture.h"
#include "imaging/Grey.h"
#include "resources/PencilToneStrip.h"

namespace brumeleaf {

namespace {

struct PencilSettings {
  int threshold;       // T
  int edgeIntensity;   // E
  int colour;          // CI, percent of the pixel's own colour against its grey
  int lightness;       // L
  int contrast;        // K
  bool soften;
};

// Sum of the absolute channel differences of two pixels.
inline int ChannelDistance(const std::uint8_t* a, const std::uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// Which tone-strip row the hatching reads and whether the stroke is a hatching one; both are
// redrawn at random as the drawing goes along, in a fixed draw order.
struct StrokeState {
  int row = 1;
  bool hatching = false;
};

// An edge pixel: the left neighbour's colour darkened by 2E - 255 and the local differences.
inline void DrawEdgePixel(const std::uint8_t* left, int d1, int d2, const PencilSettings& s,
                          std::uint8_t* out) {
  int e[3];
  for (int c = 0; c < 3; ++c) e[c] = ClampLevel(left[c] - 2 * s.edgeIntensity + 255 - d1 - d2);
  const int m = ((100 - s.colour) * (e[0] + e[1] + e[2])) / 3;
  for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((s.colour * e[c] + m) / 100);
}

// A flat pixel: the tone strip's hatching for grey g, shifted onto the quantised colour.
inline void DrawFlatPixel(const std::uint8_t* left, int g, int t, bool hatching,
                          const PencilSettings& s, std::uint8_t* out) {
  int q[3];
  for (int c = 0; c < 3; ++c) q[c] = left[c] / 10 * 10;
  const int mean = (q[0] + q[1] + q[2]) / 3;
  int v = (g - t) + 2 * (s.lightness - 127);
  if (hatching && !s.soften) v += g / 2;
  v += g * s.contrast / 64 - s.contrast;
  const int w = ClampLevel(mean + v);
  for (int c = 0; c < 3; ++c) {
    const int u = ClampLevel(q[c] + v);
    out[c] = static_cast<std::uint8_t>((u * s.colour + w * (100 - s.colour)) / 100);
  }
}

// Rows of the tone strip, looked up once: the strip row changes from pixel to pixel.
using StripRows = std::vector<const std::uint8_t*>;

void DrawRow(const Bitmap& source, Bitmap& destination, int y, const StripRows& strip,
             const PencilSettings& s, StrokeState& stroke, Random& random) {
  const std::uint32_t stripRows = static_cast<std::uint32_t>(strip.size());
  const std::uint8_t* up = source.ScanLine(y - 1);
  const std::uint8_t* mid = source.ScanLine(y);
  const std::uint8_t* down = source.ScanLine(y + 1);
  std::uint8_t* out = destination.ScanLine(y - 1);
  for (int x = 1; x < source.Width() - 1; ++x) {
    const std::uint8_t* centre = mid + 3 * x;
    const std::uint8_t* left = centre - 3;
    const int g = PencilGrey(centre);
    if (random.Next(100) >= 92) {
      stroke.row = static_cast<int>(random.Next(stripRows - 3)) + 1;
      stroke.hatching = random.Next(100) >= 51;
    }
    const int d1 = (ChannelDistance(centre, left) + ChannelDistance(centre, up + 3 * (x - 1))) / 4;
    const int d2 = (ChannelDistance(centre, up + 3 * x) + ChannelDistance(centre, down + 3 * (x - 1))) / 4;
    std::uint8_t* target = out + 3 * (x - 1);
    if (d1 < s.threshold && d2 < s.threshold) {
      random.Next(1);
      random.Next(1);
      random.Next(1);
      const std::uint8_t* texel = strip[static_cast<std::size_t>(stroke.row)] + 3 * (2 * g);
      const int t = (texel[0] + texel[1] + texel[2]) / 3;
      DrawFlatPixel(left, g, t, stroke.hatching, s, target);
    } else {
      stroke.hatching = random.Next(100) >= 51;
      stroke.row = static_cast<int>(random.Next(stripRows - 3)) + 1;
      DrawEdgePixel(left, d1, d2, s, target);
    }
  }
}

// Softens only pixels of mean level exactly 1 or at least 254 (the paper between the strokes),
// in place: pixels already softened in this pass feed their right and lower neighbours.
void SoftenExtremes(Bitmap& image) {
  const int width = image.Width();
  for (int y = 1; y < image.Height() - 1; ++y) {
    const std::uint8_t* up = image.ScanLine(y - 1);
    std::uint8_t* mid = image.ScanLine(y);
    const std::uint8_t* down = image.ScanLine(y + 1);
    for (int x = 1; x < width - 1; ++x) {
      std::uint8_t* p = mid + 3 * x;
      const int mean = MeanGrey(p);
      if (mean != 1 && mean < 254) continue;
      for (int c = 0; c < 3; ++c) {
        const int o = 3 * x + c;
        const int around = up[o - 3] + up[o] + up[o + 3] + mid[o - 3] + mid[o + 3] + down[o - 3] +
                           down[o] + down[o + 3];
        p[c] = static_cast<std::uint8_t>((2 * p[c] + around) / 10);
      }
    }
  }
}

StripRows ToneStripRows(const Bitmap& strip) {
  // Column 2g for g up to 255 and at least one row between the first and the last.
  if (strip.Width() < 511 || strip.Height() < 4) {
    throw ImageError("The pencil tone strip is too small to draw with.");
  }
  StripRows rows(static_cast<std::size_t>(strip.Height()));
  for (int y = 0; y < strip.Height(); ++y) rows[static_cast<std::size_t>(y)] = strip.ScanLine(y);
  return rows;
}

}  // namespace

void DrawPencilSketch(const Bitmap& source, Bitmap& destination, RunContext& ctx) {
  if (&source == &destination) throw ImageError("The pencil drawing needs a picture of its own.");
  const ParameterSnapshot& options = ctx.Params();
  // The colour intensity is a percentage; outside 0..100 the mix would leave the level range.
  const PencilSettings settings{ctx.S(1), ctx.S(2), std::clamp(ctx.S(3), 0, 100), ctx.S(4),
                                ctx.S(5), options.softenEdges};
  const StripRows strip = ToneStripRows(PencilToneStrip());
  const Bitmap* tile = options.texture ? &PaperTextureTile(options.textureNumber) : nullptr;
  if (tile) TextureOffset(options.textureStrength);

  Random& random = ctx.Rand();
  random.SetSeed(kEffectSeed);
  StrokeState stroke;
  const int width = source.Width();
  const int height = source.Height();
  destination.SetSize(width, height);
  // Pictures that rotate to 3 rows have one row to draw: report it as a pass of one unit
  // rather than dividing by zero.
  const int progressRows = std::max(height - 3, 1);
  const int stripCycle = static_cast<int>(strip.size()) - 2;
  for (int y = 1; y < height - 1; ++y) {
    ctx.ShowProgress(y - 1, progressRows, 2, 3);
    if (ctx.StopRequested()) return;
    stroke.row = y % stripCycle + 1;
    DrawRow(source, destination, y, strip, settings, stroke, random);
  }
  if (settings.soften) SoftenExtremes(destination);
  // Unlike the surface stage, the pencil drawing repeats the whole tile.
  if (tile) PrintTexture(destination, *tile, options.textureStrength, tile->Width(), tile->Height());
}

}  // namespace brumeleaf
