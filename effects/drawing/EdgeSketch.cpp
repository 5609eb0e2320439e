#include "effects/drawing/EdgeSketch.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#include "imaging/ParallelRows.h"
#include "effects/painting/DarknessBand.h"
#include "effects/painting/EdgeStrokes.h"
#include "effects/painting/StrokeAngleTable.h"
#include "effects/painting/StrokeGeometry.h"
#include "imaging/Colour.h"

namespace brumeleaf {

namespace {

struct SketchSettings {
  bool colour;
  int threshold;  // T
  int intensity;  // EI
  int length;     // SL
  int lighten;    // DL
};

SketchSettings ReadSettings(const RunContext& ctx, bool colour) {
  return {colour, ctx.S(1), ctx.S(2), ctx.S(3), ctx.S(4)};
}

// Start intensity of an edge stroke; the colour version uses a softer curve.
int EdgeStrokeStart(const SketchSettings& s, int mag) {
  if (s.colour) return ((mag >> 1) * s.length) / 50 - (130 - s.intensity) / 4;
  return (mag * s.length) / 100 - (150 - s.intensity) / 4;
}

void ColourSketchRow(const std::vector<int>& up, const std::vector<int>& mid, const std::vector<int>& down, int y,
               const SketchSettings& s, StrokeTarget& target, Random& random) {
  const StrokeAngleTable& angles = StrokeAngleTable::Instance();
  const int width = static_cast<int>(mid.size());
  for (int x = 1; x <= width - 2; ++x) {
    const std::uint8_t* d = target.Pixel(x, y);
    if (d[0] + d[1] + d[2] == 0) continue;  // already black: no stroke and no random draw
    const Gradient g = SobelAt(up.data(), mid.data(), down.data(), x);
    if (g.mag >= s.threshold && g.Directional()) {
      LayStroke(target, x, y, angles(g.a, g.b), EdgeStrokeStart(s, g.mag), ((g.mag >> 2) * s.length) / 50);
      continue;
    }
    // Shading: darker source pixels get longer, darker strokes at a random-ish angle.
    const int grey = mid[static_cast<std::size_t>(x)];
    int v = 382 - s.lighten - 2 * grey;
    if (v < 0) v = 0;
    const int theta = random.NextInt(3) + grey / 8;  // an integer taken as radians
    LayStroke(target, x, y, static_cast<double>(theta), v / 12, v >> 5);
  }
}

// The colour pass, one row after the other: a pixel already inked black by earlier strokes
// starts none, so the order matters. false when stopped.
bool ColourPass(const Bitmap& source, Bitmap& destination, const SketchSettings& s, RunContext& ctx) {
  const int height = source.Height();
  destination.SetSize(source.Width(), height);  // white paper
  StrokeTarget target(destination);
  if (height < 3) return true;  // no row has a row above and below it
  GreyRowWindow window(source, 1);
  for (int y = 1; y <= height - 2; ++y) {
    const auto [up, mid, down] = window.Advance();
    ColourSketchRow(up, mid, down, y, s, target, ctx.Rand());
    if (!ctx.preview) ctx.ShowProgress(y * 100 / height, 99, 1, 1);
    if (y % 20 == 0 && !ctx.preview) {
      ctx.ProcessEvents();
      if (ctx.StopRequested()) return false;
    }
  }
  return true;
}

// The black-and-white pass draws bands of rows on several threads. Its only order-dependent
// part is the random angle of each shading stroke, so a block's angles are drawn first, in
// row order, and the bands then read them.
constexpr std::int8_t kEdgePixel = -1;
constexpr int kStopRows = 20;
constexpr int kBlockRows = 8 * kStopRows;

// Angles of the shading strokes of rows begin..end-1 (kEdgePixel where an edge stroke starts).
void DrawShadingAngles(const Bitmap& source, int begin, int end, const SketchSettings& s, Random& random,
                       std::vector<std::int8_t>& angles) {
  const int width = source.Width();
  angles.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(end - begin), kEdgePixel);
  GreyRowWindow window(source, begin);
  for (int y = begin; y < end; ++y) {
    const auto [up, mid, down] = window.Advance();
    std::int8_t* row = &angles[static_cast<std::size_t>(y - begin) * static_cast<std::size_t>(width)];
    for (int x = 1; x <= width - 2; ++x) {
      const Gradient g = SobelAt(up.data(), mid.data(), down.data(), x);
      if (g.mag >= s.threshold && g.Directional()) continue;
      row[x] = static_cast<std::int8_t>(random.NextInt(3) + mid[static_cast<std::size_t>(x)] / 8);
    }
  }
}

void DrawSketchBand(const Bitmap& source, int blockBegin, int begin, int end, const SketchSettings& s,
                    const std::vector<std::int8_t>& angles, DarknessBand& band) {
  const StrokeAngleTable& table = StrokeAngleTable::Instance();
  const int width = source.Width();
  GreyRowWindow window(source, begin);
  for (int y = begin; y < end; ++y) {
    const auto [up, mid, down] = window.Advance();
    const std::int8_t* row = &angles[static_cast<std::size_t>(y - blockBegin) * static_cast<std::size_t>(width)];
    for (int x = 1; x <= width - 2; ++x) {
      if (row[x] == kEdgePixel) {
        const Gradient g = SobelAt(up.data(), mid.data(), down.data(), x);
        LayStroke(band, x, y, table(g.a, g.b), EdgeStrokeStart(s, g.mag), ((g.mag >> 2) * s.length) / 50);
        continue;
      }
      int v = 382 - s.lighten - 2 * mid[static_cast<std::size_t>(x)];
      if (v < 0) v = 0;
      LayStroke(band, x, y, static_cast<double>(row[x]), v / 12, v >> 5);
    }
  }
}

// Rows a stroke of the black-and-white sketch can reach from its centre.
int SketchReach(const SketchSettings& s) {
  const int edge = s.length > 0 ? (63 * s.length) / 50 : 0;
  const int shading = std::max(382 - s.lighten, 0) >> 5;
  return std::max(edge, shading) + 1;
}

// false when stopped.
bool BlackAndWhitePass(const Bitmap& source, Bitmap& destination, const SketchSettings& s, RunContext& ctx) {
  const int width = source.Width();
  const int height = source.Height();
  destination.SetSize(width, height);  // white paper
  const int reach = SketchReach(s);
  std::vector<std::int8_t> angles;
  for (int block = 1; block <= height - 2; block += kBlockRows) {
    const int blockEnd = std::min(block + kBlockRows, height - 1);
    DrawShadingAngles(source, block, blockEnd, s, ctx.Rand(), angles);
    std::mutex bandsLock;
    std::vector<DarknessBand> bands;
    ForEachRowBand(block, blockEnd, kStopRows, [&](int begin, int end) {
      DarknessBand band(width, height, begin - reach, end - begin + 2 * reach);
      DrawSketchBand(source, block, begin, end, s, angles, band);
      const std::lock_guard<std::mutex> hold(bandsLock);
      bands.push_back(std::move(band));
    });
    for (const DarknessBand& band : bands) band.ApplyTo(destination);
    for (int y = block; y < blockEnd; ++y) {
      ctx.ShowProgress(y * 100 / height, 99, 1, 1);
      if (y % kStopRows == 0 && !ctx.preview) {
        ctx.ProcessEvents();
        if (ctx.StopRequested()) return false;
      }
    }
  }
  return true;
}

// Multiplies the strokes into the source colours: light where source or strokes are light,
// the product of both weighted by the colour intensity.
void BlendWithSource(const Bitmap& source, Bitmap& destination, int colourIntensity) {
  const int ci = colourIntensity;
  for (int y = 1; y <= source.Height() - 2; ++y) {
    const std::uint8_t* s = source.ScanLine(y);
    std::uint8_t* d = destination.ScanLine(y);
    for (int i = 3; i < 3 * (source.Width() - 1); ++i) {
      const int level = s[i];
      const int stroke = d[i];
      const int a = ((255 - level) * (255 - stroke)) / 256;
      d[i] = ClampLevel(((255 - a) * (255 - ci) + ci * ((stroke * level) / 256)) / 256);
    }
  }
}

}  // namespace

void DrawSobelSketch(const Bitmap& source, Bitmap& destination, RunContext& ctx) {
  if (&source == &destination) {
    const Bitmap copy = source;
    DrawSobelSketch(copy, destination, ctx);
    return;
  }
  if (!BlackAndWhitePass(source, destination, ReadSettings(ctx, false), ctx)) return;
  SoftenAndTextureLayer(destination, ctx);
}

void DrawColourSobelSketch(const Bitmap& source, Bitmap& destination, RunContext& ctx) {
  if (&source == &destination) {
    const Bitmap copy = source;
    DrawColourSobelSketch(copy, destination, ctx);
    return;
  }
  if (!ColourPass(source, destination, ReadSettings(ctx, true), ctx)) return;
  BlendWithSource(source, destination, ctx.S(5));
  AdjustSaturation(destination, 25, &ctx);
  SoftenAndTextureLayer(destination, ctx);
}

}  // namespace brumeleaf
