#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "DrawingTestPictures.h"
#include "imaging/ParallelRows.h"
#include "effects/drawing/EdgeSketch.h"
#include "effects/Frames.h"
#include "effects/painting/EdgeStrokes.h"
#include "effects/painting/StrokeAngleTable.h"
#include "effects/painting/StrokeGeometry.h"

using namespace brumeleaf;
using namespace brumeleaf::inktests;

namespace {

// Left part `dark`, right part `light`, split at column `split`.
Bitmap VerticalStep(int width, int height, int split, int dark, int light) {
  Bitmap b = Flat(width, height, light);
  b.FillRect(0, 0, split, height, MakeColour(dark, dark, dark));
  return b;
}

// Dark below the diagonal x = y.
Bitmap DiagonalStep(int size, int dark, int light) {
  Bitmap b = Flat(size, size, light);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < y; ++x) b.SetPixel(x, y, MakeColour(dark, dark, dark));
  return b;
}

Bitmap Layer(const Bitmap& source, int threshold, int strength, int length) {
  Random random(1);
  RunContext ctx(Sliders(4, 0, 0, 0, 0, 0), random);
  Bitmap layer;
  DrawEdgeStrokes(source, layer, threshold, strength, length, ctx);
  return layer;
}

Bitmap Sketch(const Bitmap& source, bool colour, ParameterSnapshot p, std::uint32_t seed = 1) {
  Random random(seed);
  RunContext ctx(p, random);
  Bitmap result;
  if (colour) {
    FrameColourSobel(source, result, ctx);
  } else {
    FrameSobelFilter(source, result, ctx);
  }
  return result;
}

ParameterSnapshot BlackAndWhiteDefaults() { return Sliders(1, 7, 127, 30, 127, 0); }
ParameterSnapshot ColourDefaults() { return Sliders(2, 10, 200, 20, 50, 50); }

std::set<int> DarkenedColumns(const Bitmap& b) {
  std::set<int> columns;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != kWhite) columns.insert(x);
  return columns;
}

std::set<int> DarkenedRows(const Bitmap& b) {
  std::set<int> rows;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != kWhite) rows.insert(y);
  return rows;
}

}  // namespace

TEST(StrokeAngleTable, HoldsTheTwoConstantsNotPi) {
  const StrokeAngleTable& table = StrokeAngleTable::Instance();
  EXPECT_EQ(table(0, 17), 3.14159);
  EXPECT_EQ(table(0, -255), 3.14159);
  EXPECT_EQ(table(200, 0), 1.5707);
  EXPECT_EQ(table(3, 3), std::atan(1.0) + 1.5707);
  EXPECT_EQ(table(-255, 255), std::atan(-1.0) + 1.5707);
  EXPECT_EQ(table(7, -2), std::atan(-2.0 / 7.0) + 1.5707);
}

TEST(EdgeStrokes, StrokesRunAlongStraightEdgesAndNeverAcrossDiagonals) {
  // Uniform pictures and thresholds above 255 draw nothing.
  EXPECT_EQ(Layer(Flat(30, 20, 90), 4, 180, 20), Flat(30, 20, 255));
  EXPECT_EQ(Layer(VerticalStep(30, 20, 15, 0, 255), 256, 180, 20), Flat(30, 20, 255));
  // A 45-degree edge has |a| = |b|: no stroke at all.
  EXPECT_EQ(Layer(DiagonalStep(40, 0, 255), 4, 180, 20), Flat(40, 40, 255));
  // A vertical edge gives vertical strokes (dx = 0) in the two edge columns only.
  const Bitmap vertical = Layer(VerticalStep(40, 60, 20, 0, 255), 4, 180, 20);
  EXPECT_EQ(DarkenedColumns(vertical), (std::set<int>{19, 20}));
  // A horizontal edge gives horizontal strokes in the two edge rows only.
  Bitmap horizontal = Flat(60, 40, 255);
  horizontal.FillRect(0, 0, 60, 20, kBlack);
  EXPECT_EQ(DarkenedRows(Layer(horizontal, 4, 180, 20)), (std::set<int>{19, 20}));
}

TEST(EdgeStrokes, VerticalStrokeLengthAndDarknessFollowTheFormula) {
  // Step 0 | 255 at column 10: at x = 9 and x = 10, a = (0 + 0 + 0 - 255 - 510 - 255) div 4 =
  // -255, b = 0, mag = 127. n = (31 * 20) div 50 = 12; intensity = (63 * 20) div 50 - count +
  // 7 = 32 - count (strength 180: (150 - 180) div 4 = -7). Vertical strokes advance
  // dy = count - 1, so rows far from the picture's ends take strokes from many centres.
  const Bitmap layer = Layer(VerticalStep(21, 80, 10, 0, 255), 4, 180, 20);
  // Column 9 is black in the source, and stays 0; column 10 is 255 minus the summed strokes.
  EXPECT_EQ(RedOf(layer.Pixel(10, 40)), 0);
  // Far from the stroke ends the top rows only get part of the strokes: row 0 is reached by
  // centres y = 1..13 with count = y + 1 (dy = count - 1 = y): sum of 32 - (y + 1) over those,
  // plus nothing else (the twin pixel (x, y + dy) is further down).
  int expected = 0;
  for (int y = 1; y <= 11; ++y) expected += 32 - (y + 1);
  EXPECT_EQ(RedOf(layer.Pixel(10, 0)), std::max(0, 255 - expected));
  // Last row and last column are never darkened.
  for (int x = 0; x < 21; ++x) EXPECT_EQ(layer.Pixel(x, 79), kWhite);
}

// Calls visit(x, y, gradient, grey) for every pixel with neighbours on all sides, in row
// order, reading the three grey rows afresh for each row: the plainest way to walk them.
template <class Visit>
void ForEachInteriorPixel(const Bitmap& source, Visit visit) {
  std::vector<int> up, mid, down;
  for (int y = 1; y + 1 < source.Height(); ++y) {
    WeightedGreyRow(source, y - 1, up);
    WeightedGreyRow(source, y, mid);
    WeightedGreyRow(source, y + 1, down);
    for (int x = 1; x + 1 < source.Width(); ++x)
      visit(x, y, SobelAt(up.data(), mid.data(), down.data(), x), mid[static_cast<std::size_t>(x)]);
  }
}

// Strokes laid one after the other straight onto the picture, clamping at every step.
Bitmap LayerStrokeByStroke(const Bitmap& source, int threshold, int strength, int length) {
  Bitmap layer(source.Width(), source.Height());
  StrokeTarget target(layer);
  ForEachInteriorPixel(source, [&](int x, int y, const Gradient& g, int) {
    if (g.mag < threshold || !g.Directional()) return;
    LayStroke(target, x, y, StrokeAngleTable::Compute(g.a, g.b),
              ((g.mag >> 1) * length) / 50 - (150 - strength) / 4, ((g.mag >> 2) * length) / 50);
  });
  return layer;
}

TEST(EdgeStrokes, BandsOnSeveralThreadsGiveTheBytesOfStrokeByStroke) {
  const Bitmap scene = Scene(203, 431);
  const Bitmap expected = LayerStrokeByStroke(scene, 4, 210, 27);
  SetRowPassThreads(1);
  EXPECT_EQ(Layer(scene, 4, 210, 27), expected);
  SetRowPassThreads(4);
  EXPECT_EQ(Layer(scene, 4, 210, 27), expected);
  SetRowPassThreads(0);
}

TEST(EdgeStrokes, TheGreyOfAPictureAloneDrawsTheSameLayer) {
  // A coloured scene (a red/blue swap would change its grey) of odd size, at two settings.
  const Bitmap scene = Scene(97, 61);
  const GreyPicture grey(scene);
  for (const int strength : {90, 210}) {
    Random random(1);
    RunContext ctx(Sliders(4, 0, 0, 0, 0, 0), random);
    Bitmap fromGrey;
    DrawEdgeStrokes(grey, fromGrey, 4, strength, 27, ctx);
    EXPECT_EQ(fromGrey, Layer(scene, 4, strength, 27)) << strength;
  }
}

// The black-and-white sketch written out stroke by stroke, one random draw per shading pixel.
Bitmap SketchStrokeByStroke(const Bitmap& source, const ParameterSnapshot& p, std::uint32_t seed) {
  const int t = p.s[0], ei = p.s[1], sl = p.s[2], dl = p.s[3];
  Random random(seed);
  Bitmap result(source.Width(), source.Height());
  StrokeTarget target(result);
  ForEachInteriorPixel(source, [&](int x, int y, const Gradient& g, int grey) {
    if (g.mag >= t && g.Directional()) {
      LayStroke(target, x, y, StrokeAngleTable::Compute(g.a, g.b), (g.mag * sl) / 100 - (150 - ei) / 4,
                ((g.mag >> 2) * sl) / 50);
    } else {
      const int v = std::max(382 - dl - 2 * grey, 0);
      const int theta = random.NextInt(3) + grey / 8;
      LayStroke(target, x, y, theta, v / 12, v >> 5);
    }
  });
  return result;
}

TEST(EdgeSketches, BlackAndWhiteBandsOnSeveralThreadsMatchStrokeByStroke) {
  const Bitmap scene = Scene(177, 389);
  for (const ParameterSnapshot& p : {BlackAndWhiteDefaults(), Sliders(1, 0, 255, 100, 0, 0)}) {
    const Bitmap expected = SketchStrokeByStroke(scene, p, 11);
    SetRowPassThreads(1);
    EXPECT_EQ(Sketch(scene, false, p, 11), expected);
    SetRowPassThreads(4);
    EXPECT_EQ(Sketch(scene, false, p, 11), expected);
    SetRowPassThreads(0);
  }
}

TEST(EdgeStrokes, StopReturnsThePartialLayerUnsoftened) {
  const Bitmap edge = VerticalStep(60, 400, 30, 0, 255);
  Random random(1);
  ParameterSnapshot p = Sliders(4, 0, 0, 0, 0, 0);
  p.softenEdges = true;
  RunContext ctx(p, random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap partial;
  DrawEdgeStrokes(edge, partial, 4, 180, 20, ctx);
  // Strokes are drawn up to the first poll (row 20, within the first block of 160 rows) and
  // the layer is not softened: the column beside the edge stays white.
  EXPECT_NE(partial.Pixel(30, 10), kWhite);
  for (int y = 0; y < 400; ++y) EXPECT_EQ(partial.Pixel(28, y), kWhite) << y;
  for (int y = 200; y < 400; ++y) EXPECT_EQ(partial.Pixel(30, y), kWhite) << y;
}

TEST(EdgeSketches, WhiteStaysWhiteAndFlatBlackIsShaded) {
  EXPECT_EQ(Sketch(Flat(40, 30, 255), false, BlackAndWhiteDefaults()), Flat(40, 30, 255));
  // Colour: a white stroke layer over white blends to ((255 * 255) div 256) = 254 inside.
  const Bitmap colourWhite = Sketch(Flat(40, 30, 255), true, Sliders(2, 10, 200, 20, 50, 0));
  EXPECT_EQ(colourWhite.Pixel(20, 15), MakeColour(254, 254, 254));
  EXPECT_EQ(colourWhite.Pixel(0, 15), kWhite);
  EXPECT_EQ(colourWhite.Pixel(39, 29), kWhite);
  // At full colour intensity the product term alone: (255 * ((255 * 255) div 256)) div 256.
  const Bitmap full = Sketch(Flat(40, 30, 255), true, Sliders(2, 10, 200, 20, 50, 255));
  EXPECT_EQ(full.Pixel(20, 15), MakeColour(253, 253, 253));
  // Flat black with DL 127: shading strokes of intensity 21 down to 14 cover the paper; the
  // last row and column stay white.
  const Bitmap black = Sketch(Flat(40, 30, 0), false, BlackAndWhiteDefaults());
  long sum = 0;
  for (int y = 2; y < 27; ++y)
    for (int x = 2; x < 37; ++x) sum += RedOf(black.Pixel(x, y));
  EXPECT_LT(sum / (25 * 35), 100);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(black.Pixel(x, 29), kWhite);
  for (int y = 0; y < 30; ++y) EXPECT_EQ(black.Pixel(39, y), kWhite);
}

TEST(EdgeSketches, DiagonalEdgeOnLightPaperDrawsNoEdgeStroke) {
  // Levels 130 and 255 are too light for shading (v < 0); only edge strokes could darken,
  // and a 45-degree edge starts none. A vertical edge between the same levels does.
  EXPECT_EQ(Sketch(DiagonalStep(40, 130, 255), false, BlackAndWhiteDefaults()), Flat(40, 40, 255));
  EXPECT_NE(Sketch(VerticalStep(40, 40, 20, 130, 255), false, BlackAndWhiteDefaults()), Flat(40, 40, 255));
}

TEST(EdgeSketches, OneRandomDrawPerShadedPixelAndRepeatableFromTheSameSeed) {
  // Flat picture: every interior pixel is a shading pixel and draws exactly once.
  Random random(99);
  RunContext ctx(BlackAndWhiteDefaults(), random);
  Bitmap result;
  DrawSobelSketch(Flat(17, 13, 100), result, ctx);
  Random reference(99);
  for (int i = 0; i < 15 * 11; ++i) reference.Next(3);
  EXPECT_EQ(random.Seed(), reference.Seed());
  const Bitmap scene = Scene(90, 70);
  EXPECT_EQ(Sketch(scene, false, BlackAndWhiteDefaults(), 5), Sketch(scene, false, BlackAndWhiteDefaults(), 5));
  EXPECT_EQ(Sketch(scene, true, ColourDefaults(), 5), Sketch(scene, true, ColourDefaults(), 5));
}

TEST(EdgeSketches, SourceIsOnlyReadAndTinyPicturesWork) {
  const Bitmap scene = Scene(50, 40);
  const Bitmap before = scene;
  Sketch(scene, true, ColourDefaults());
  EXPECT_EQ(scene, before);
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 3}}) {
    for (bool colour : {false, true}) {
      const Bitmap result = Sketch(Scene(w, h), colour, colour ? ColourDefaults() : BlackAndWhiteDefaults());
      EXPECT_EQ(result.Width(), w);
      EXPECT_EQ(result.Height(), h);
    }
    EXPECT_EQ(Layer(Scene(w, h), 0, 210, 27).Width(), w);
  }
}
