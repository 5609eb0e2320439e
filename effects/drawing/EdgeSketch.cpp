#include "effects/drawing/EdgeSketch.h"

#include <vector>

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

void SketchRow(const std::vector<int>& up, const std::vector<int>& mid, const std::vector<int>& down, int y,
               const SketchSettings& s, StrokeTarget& target, Random& random) {
  const StrokeAngleTable& angles = StrokeAngleTable::Instance();
  const int width = static_cast<int>(mid.size());
  for (int x = 1; x <= width - 2; ++x) {
    if (s.colour) {
      const std::uint8_t* d = target.Pixel(x, y);
      if (d[0] + d[1] + d[2] == 0) continue;  // already black: no stroke and no random draw
    }
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

// The stroke pass shared by both versions; false when stopped.
bool StrokePass(const Bitmap& source, Bitmap& destination, const SketchSettings& s, RunContext& ctx) {
  const int height = source.Height();
  destination.SetSize(source.Width(), height);  // white paper
  StrokeTarget target(destination);
  std::vector<int> up, mid, down;
  if (height >= 3) {
    WeightedGreyRow(source, 0, mid);
    WeightedGreyRow(source, 1, down);
  }
  for (int y = 1; y <= height - 2; ++y) {
    std::swap(up, mid);
    std::swap(mid, down);
    WeightedGreyRow(source, y + 1, down);
    SketchRow(up, mid, down, y, s, target, ctx.Rand());
    if (!s.colour || !ctx.preview) ctx.ShowProgress(y * 100 / height, 99, 1, 1);
    if (y % 20 == 0 && !ctx.preview) {
      ctx.ProcessEvents();
      if (ctx.StopRequested()) return false;
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
  if (!StrokePass(source, destination, ReadSettings(ctx, false), ctx)) return;
  SoftenAndTextureLayer(destination, ctx);
}

void DrawColourSobelSketch(const Bitmap& source, Bitmap& destination, RunContext& ctx) {
  if (&source == &destination) {
    const Bitmap copy = source;
    DrawColourSobelSketch(copy, destination, ctx);
    return;
  }
  if (!StrokePass(source, destination, ReadSettings(ctx, true), ctx)) return;
  BlendWithSource(source, destination, ctx.S(5));
  AdjustSaturation(destination, 25, &ctx);
  SoftenAndTextureLayer(destination, ctx);
}

}  // namespace brumeleaf
