#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <utility>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/Canvas.h"
#include "imaging/Random.h"

using namespace brumeleaf;

namespace {

constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kBlue = MakeColour(0, 0, 255);

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsOf(const Bitmap& b, Colour c) {
  PixelSet s;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) == c) s.insert({x, y});
  return s;
}

// The part of `big` at (x, y) of the size of `small`, for comparing a clipped drawing with the
// same drawing made wholly inside a larger picture.
Bitmap Crop(const Bitmap& big, int x, int y, int w, int h) {
  Bitmap out(w, h);
  out.Draw(-x, -y, big);
  return out;
}

Bitmap Checker(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, MakeColour(x * 10, y * 10, 7));
  return b;
}

}  // namespace

// ---- Thin lines ---------------------------------------------------------------------------

TEST(CanvasLine, StartPaintedEndNotPainted) {
  Bitmap b(20, 20);
  Canvas c(b);
  c.MoveTo(2, 3);
  c.LineTo(10, 3);
  PixelSet expected;
  for (int x = 2; x < 10; ++x) expected.insert({x, 3});
  EXPECT_EQ(PixelsOf(b, kBlack), expected);
  EXPECT_EQ(c.PenPos().x, 10);
  EXPECT_EQ(c.PenPos().y, 3);

  Bitmap v(20, 20);
  Canvas cv(v);
  cv.MoveTo(5, 8);
  cv.LineTo(5, 1);  // upwards: rows 8 down to 2
  expected.clear();
  for (int y = 2; y <= 8; ++y) expected.insert({5, y});
  EXPECT_EQ(PixelsOf(v, kBlack), expected);
}

TEST(CanvasLine, DiagonalAndShallowStepping) {
  Bitmap b(10, 10);
  Canvas c(b);
  c.MoveTo(0, 0);
  c.LineTo(6, 6);
  PixelSet diagonal;
  for (int i = 0; i < 6; ++i) diagonal.insert({i, i});
  EXPECT_EQ(PixelsOf(b, kBlack), diagonal);

  // Slope 1/2: exact halves stay on the start's row.
  Bitmap s(10, 10);
  Canvas cs(s);
  cs.MoveTo(0, 0);
  cs.LineTo(4, 2);
  EXPECT_EQ(PixelsOf(s, kBlack), (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
}

TEST(CanvasLine, ZeroLengthPaintsNothingAndPolylineCornersOnce) {
  Bitmap b(10, 10);
  Canvas c(b);
  c.MoveTo(4, 4);
  c.LineTo(4, 4);
  EXPECT_TRUE(PixelsOf(b, kBlack).empty());
  // A closed path paints every vertex exactly once: each segment starts where the last ended.
  c.MoveTo(1, 1);
  c.LineTo(5, 1);
  c.LineTo(5, 5);
  c.LineTo(1, 5);
  c.LineTo(1, 1);
  EXPECT_EQ(PixelsOf(b, kBlack).size(), 16u);
  EXPECT_EQ(b.Pixel(5, 5), kBlack);
  EXPECT_EQ(b.Pixel(3, 3), kWhite);
}

TEST(CanvasLine, ClippedLinesMatchTheSameLinesDrawnUnclipped) {
  Random r(1969);
  for (int width : {1, 2, 5}) {
    for (int n = 0; n < 60; ++n) {
      const int x0 = r.NextInt(140) - 50, y0 = r.NextInt(120) - 45;
      const int x1 = r.NextInt(140) - 50, y1 = r.NextInt(120) - 45;
      Bitmap small(40, 30), big(240, 230);
      Canvas cs(small), cb(big);
      cs.penWidth = cb.penWidth = width;
      cs.MoveTo(x0, y0);
      cs.LineTo(x1, y1);
      cb.MoveTo(x0 + 100, y0 + 100);
      cb.LineTo(x1 + 100, y1 + 100);
      ASSERT_EQ(small, Crop(big, 100, 100, 40, 30)) << width << ": " << x0 << "," << y0 << " " << x1 << "," << y1;
    }
  }
}

TEST(CanvasLine, HugeCoordinatesAreClippedQuickly) {
  Bitmap b(10, 10);
  Canvas c(b);
  c.MoveTo(INT_MIN, INT_MIN);
  c.LineTo(INT_MAX, INT_MAX);  // the main diagonal of the whole plane
  PixelSet diagonal;
  for (int i = 0; i < 10; ++i) diagonal.insert({i, i});
  EXPECT_EQ(PixelsOf(b, kBlack), diagonal);

  Bitmap h(10, 10);
  Canvas ch(h);
  ch.MoveTo(-2000000000, 5);
  ch.LineTo(2000000000, 5);
  ch.MoveTo(INT_MAX, INT_MIN);  // far away, crossing nothing
  ch.LineTo(INT_MAX - 5, INT_MAX);
  ch.penWidth = 7;
  ch.MoveTo(INT_MIN, -100);
  ch.LineTo(INT_MAX, -100);
  EXPECT_EQ(PixelsOf(h, kBlack).size(), 10u);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(h.Pixel(x, 5), kBlack);
}

TEST(CanvasClipping, NothingIsWrittenBeyondTheRows) {
  // Rows of 5 pixels carry one byte of padding; it starts at 255 and must stay so.
  Bitmap b(5, 5);
  ASSERT_EQ(b.RowDistance(), 16);
  Canvas c(b);
  c.brushColor = kBlack;
  const int far = INT_MAX, near = INT_MIN;
  for (int width : {1, 3, 40}) {
    c.penWidth = width;
    for (const Point& p : std::vector<Point>{{near, near}, {far, near}, {far, far}, {near, far}, {2, near}, {far, 2}}) {
      c.MoveTo(2, 2);
      c.LineTo(p.x, p.y);
      c.MoveTo(p.x, p.y);
      c.LineTo(-(p.y / 2), -(p.x / 2));
    }
    c.Polygon({{near, 2}, {far, 3}, {4, far}});
    c.Ellipse({-3, -3, 8, 8});
    c.Ellipse({near, 1, far, 4});
    c.Rectangle({near, near, far, far});
  }
  c.FillRect({near, near, far, far});
  c.brushColor = kRed;
  c.FloodFill(4, 4, kBlack, FloodFillStyle::Surface);
  c.CopyRect({near, near, far, far}, Checker(3, 3), {near, near, far, far});
  c.CopyRect({-1, -1, 6, 6}, b, {-2, -2, 7, 7});
  for (int y = 0; y < 5; ++y) EXPECT_EQ(b.ScanLine(y)[15], 255) << "row " << y;
}

// ---- Wide pens ----------------------------------------------------------------------------

TEST(CanvasWidePen, StrokeHasTheWidthAndSymmetricRoundEnds) {
  Bitmap b(40, 40);
  Canvas c(b);
  c.penWidth = 5;
  c.MoveTo(10, 20);
  c.LineTo(24, 20);
  const PixelSet s = PixelsOf(b, kBlack);
  for (const auto& [x, y] : s) {
    EXPECT_TRUE(s.count({34 - x, y})) << "left-right mirror of " << x << "," << y;
    EXPECT_TRUE(s.count({x, 40 - y})) << "up-down mirror of " << x << "," << y;
  }
  // Five rows thick in the middle, ends rounded: the caps reach two pixels past the end points
  // on the axis but not at the corners.
  for (int y = 16; y < 25; ++y) EXPECT_EQ(b.Pixel(17, y) == kBlack, y >= 18 && y <= 22) << y;
  EXPECT_EQ(b.Pixel(8, 20), kBlack);
  EXPECT_EQ(b.Pixel(26, 20), kBlack);
  EXPECT_EQ(b.Pixel(7, 20), kWhite);
  EXPECT_EQ(b.Pixel(8, 18), kWhite);
  EXPECT_EQ(b.Pixel(26, 22), kWhite);
}

TEST(CanvasWidePen, DotsJoinsAndEvenWidths) {
  Bitmap b(30, 30);
  Canvas c(b);
  c.penWidth = 5;
  c.MoveTo(10, 10);
  c.LineTo(10, 10);  // a wide pen's stroke of no length is its round footprint
  EXPECT_EQ(PixelsOf(b, kBlack).size(), 21u);

  Bitmap j(40, 40);
  Canvas cj(j);
  cj.penWidth = 5;
  cj.MoveTo(10, 10);
  cj.LineTo(20, 10);
  cj.LineTo(20, 20);
  EXPECT_EQ(j.Pixel(22, 10), kBlack);  // round outer corner
  EXPECT_EQ(j.Pixel(22, 8), kWhite);
  EXPECT_EQ(j.Pixel(21, 8), kBlack);

  Bitmap e(20, 20);
  Canvas ce(e);
  ce.penWidth = 2;
  ce.MoveTo(3, 8);
  ce.LineTo(15, 8);
  PixelSet rows;
  for (const auto& p : PixelsOf(e, kBlack)) rows.insert({0, p.second});
  EXPECT_EQ(rows.size(), 2u);
}

// ---- Rectangles and polygons --------------------------------------------------------------

TEST(CanvasFill, FillRectIsExclusiveAndClipped) {
  Bitmap b(10, 10);
  Canvas c(b);
  c.brushColor = kRed;
  c.FillRect({2, 3, 5, 7});
  EXPECT_EQ(PixelsOf(b, kRed).size(), 12u);
  EXPECT_EQ(b.Pixel(5, 3), kWhite);
  EXPECT_EQ(b.Pixel(2, 7), kWhite);
  c.brushColor = kBlue;
  c.FillRect({INT_MIN, INT_MIN, INT_MAX, 1});
  EXPECT_EQ(PixelsOf(b, kBlue).size(), 10u);
}

TEST(CanvasPolygon, FillTakesPixelCentresAndOutlineAddsTheFarEdges) {
  Bitmap b(12, 12);
  Canvas c(b);
  c.brushColor = kRed;
  c.Polygon({{2, 2}, {8, 2}, {8, 8}, {2, 8}}, false);
  PixelSet square;
  for (int y = 2; y < 8; ++y)
    for (int x = 2; x < 8; ++x) square.insert({x, y});
  EXPECT_EQ(PixelsOf(b, kRed), square);

  c.penColor = kBlue;
  c.MoveTo(0, 11);
  c.Polygon({{2, 2}, {8, 2}, {8, 8}, {2, 8}});
  EXPECT_EQ(PixelsOf(b, kBlue).size(), 24u);  // the 7 x 7 ring
  EXPECT_EQ(PixelsOf(b, kRed).size(), 25u);
  EXPECT_EQ(b.Pixel(8, 8), kBlue);
  EXPECT_EQ(c.PenPos().x, 0);  // the pen position is kept
  EXPECT_EQ(c.PenPos().y, 11);
}

TEST(CanvasPolygon, ConcaveShapesHugeVerticesAndClearBrush) {
  Bitmap b(12, 12);
  Canvas c(b);
  c.brushColor = kRed;
  // An L of three 2 x 2 blocks.
  c.Polygon({{0, 0}, {2, 0}, {2, 2}, {4, 2}, {4, 4}, {0, 4}}, false);
  EXPECT_EQ(PixelsOf(b, kRed).size(), 12u);
  EXPECT_EQ(b.Pixel(3, 1), kWhite);

  // Even-odd: where the two halves of a self-overlapping path cover a square twice, it is out.
  Bitmap e(12, 12);
  Canvas ce(e);
  ce.brushColor = kRed;
  ce.Polygon({{0, 0}, {6, 0}, {6, 6}, {3, 6}, {3, 3}, {9, 3}, {9, 9}, {0, 9}}, false);
  EXPECT_EQ(e.Pixel(4, 4), kWhite);
  EXPECT_EQ(e.Pixel(1, 1), kRed);
  EXPECT_EQ(e.Pixel(7, 7), kRed);

  Bitmap h(8, 8);
  Canvas ch(h);
  ch.brushColor = kRed;
  ch.Polygon({{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MAX}}, false);
  EXPECT_EQ(PixelsOf(h, kRed).size(), 64u);

  Bitmap o(12, 12);
  Canvas co(o);
  co.brushClear = true;
  co.Polygon({{2, 2}, {8, 2}, {8, 8}, {2, 8}});
  EXPECT_EQ(PixelsOf(o, kBlack).size(), 24u);
  EXPECT_EQ(o.Pixel(5, 5), kWhite);
}

// The fill walks each edge's crossing down the rows; every row must take the columns that the
// crossing formula gives it directly: from the first column whose centre lies at or right of
// the crossing, ceil(x - 1/2), counted by the even-odd rule. Random polygons of 3 to 13
// vertices, inside, across and far beyond the picture (beyond the coordinate limit too),
// steep, shallow and self-crossing.
TEST(CanvasPolygon, FillMatchesTheCrossingFormulaRowByRow) {
  const auto clamp = [](long long v) { return std::min<long long>(std::max<long long>(v, -(1LL << 29)), 1LL << 29); };
  const auto ceilDiv = [](long long a, long long b) { return a / b + (a % b != 0 && a > 0 ? 1 : 0); };
  Random random(2024);
  for (int round = 0; round < 300; ++round) {
    const int w = 5 + random.NextInt(40), h = 3 + random.NextInt(40);
    std::vector<Point> points(static_cast<std::size_t>(3 + random.NextInt(11)));
    const int reach = round % 10 == 9 ? INT_MAX / 2 : (round % 3 == 0 ? 4 * (w + h) : w + h);
    for (Point& p : points) {
      p.x = random.NextInt(2 * reach + 1) - reach + w / 2;
      p.y = random.NextInt(2 * reach + 1) - reach + h / 2;
      if (round % 10 == 9 && random.NextInt(2) == 0) p.x = -p.x * 2;  // past the limit
    }
    Bitmap b(w, h);
    Canvas c(b);
    c.brushColor = kRed;
    c.Polygon(points, false);
    for (int y = 0; y < h; ++y) {
      std::vector<long long> crossings;
      for (std::size_t i = 0; i < points.size(); ++i) {
        Point a = points[i], e = points[(i + 1) % points.size()];
        a = {static_cast<int>(clamp(a.x)), static_cast<int>(clamp(a.y))};
        e = {static_cast<int>(clamp(e.x)), static_cast<int>(clamp(e.y))};
        if (a.y > e.y) std::swap(a, e);
        if (a.y == e.y || y < a.y || y >= e.y) continue;
        const long long dx = static_cast<long long>(e.x) - a.x, d = 2 * (static_cast<long long>(e.y) - a.y);
        const long long n = (2 * (static_cast<long long>(y) - a.y) + 1) * dx;
        crossings.push_back(a.x + ceilDiv(2 * n - d, 2 * d));
      }
      std::sort(crossings.begin(), crossings.end());
      for (int x = 0; x < w; ++x) {
        bool inside = false;
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) inside |= x >= crossings[i] && x < crossings[i + 1];
        ASSERT_EQ(b.Pixel(x, y), inside ? kRed : kWhite) << "round " << round << " at " << x << "," << y;
      }
    }
  }
}

TEST(CanvasRectangle, OutlineOnTheOutermostPixels) {
  Bitmap b(12, 12);
  Canvas c(b);
  c.brushColor = kRed;
  c.penColor = kBlue;
  c.Rectangle({2, 3, 9, 8});
  EXPECT_EQ(PixelsOf(b, kBlue).size(), 2u * 7 + 2u * 3);
  EXPECT_EQ(PixelsOf(b, kRed).size(), 5u * 3);
  EXPECT_EQ(b.Pixel(8, 7), kBlue);
  EXPECT_EQ(b.Pixel(9, 8), kWhite);
  Bitmap one(4, 4);
  Canvas co(one);
  co.Rectangle({1, 1, 2, 2});
  co.Rectangle({3, 0, 4, 4});
  EXPECT_EQ(PixelsOf(one, kBlack), (PixelSet{{1, 1}, {3, 0}, {3, 1}, {3, 2}, {3, 3}}));
}

// ---- Ellipses -----------------------------------------------------------------------------

TEST(CanvasEllipse, InscribedFillIsSymmetricAndTouchesTheBounds) {
  Bitmap b(12, 12);
  Canvas c(b);
  c.brushColor = kRed;
  c.Ellipse({1, 1, 11, 11}, false);
  const PixelSet s = PixelsOf(b, kRed);
  for (const auto& [x, y] : s) {
    EXPECT_TRUE(s.count({11 - x, y}));
    EXPECT_TRUE(s.count({y, x}));
  }
  EXPECT_EQ(b.Pixel(1, 5), kRed);
  EXPECT_EQ(b.Pixel(10, 6), kRed);
  EXPECT_EQ(b.Pixel(5, 1), kRed);
  EXPECT_EQ(b.Pixel(1, 1), kWhite);
  EXPECT_EQ(b.Pixel(0, 5), kWhite);
  EXPECT_NEAR(static_cast<double>(s.size()), 3.14159 * 25, 6);

  Bitmap one(3, 3);
  Canvas c1(one);
  c1.brushColor = kRed;
  c1.Ellipse({1, 1, 2, 2}, false);
  EXPECT_EQ(PixelsOf(one, kRed), (PixelSet{{1, 1}}));
  c1.Ellipse({2, 2, 2, 9}, false);  // empty bounds draw nothing
  EXPECT_EQ(PixelsOf(one, kRed).size(), 1u);
  c1.Ellipse({3, 3, 0, 0}, false);  // inverted bounds are put in order
  EXPECT_EQ(PixelsOf(one, kRed).size(), 9u);
}

TEST(CanvasEllipse, ThinOutlineIsTheBorderOfTheFill) {
  Bitmap b(20, 16), fill(20, 16);
  Canvas c(b), cf(fill);
  c.brushColor = kRed;
  c.penColor = kBlue;
  c.Ellipse({2, 1, 18, 14});
  cf.brushColor = kRed;
  cf.Ellipse({2, 1, 18, 14}, false);
  const PixelSet inside = PixelsOf(fill, kRed);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool in = inside.count({x, y}) > 0;
      const bool border = in && (!inside.count({x - 1, y}) || !inside.count({x + 1, y}) ||
                                 !inside.count({x, y - 1}) || !inside.count({x, y + 1}));
      const Colour want = border ? kBlue : (in ? kRed : kWhite);
      ASSERT_EQ(b.Pixel(x, y), want) << x << "," << y;
    }
  }
}

TEST(CanvasEllipse, GrowingTwoPixelOutlinesLeaveNoGaps) {
  // Concentric outlines one pixel apart with a 2-pixel pen, as a vignette mask is built: every
  // pixel outside the inscribed ellipse is reached.
  const int w = 61, h = 40;
  Bitmap mask(w, h), inner(w, h);
  Canvas c(mask), ci(inner);
  c.penWidth = 2;
  c.brushClear = true;
  for (int i = 0; i <= w; ++i) c.Ellipse({-i, -i, w + i, h + i});
  ci.brushColor = kBlack;
  ci.Ellipse({0, 0, w, h}, false);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (inner.Pixel(x, y) != kWhite) continue;
      ASSERT_EQ(mask.Pixel(x, y), kBlack) << x << "," << y;
    }
  }
}

TEST(CanvasEllipse, ClippedOutlinesMatchUnclippedOnes) {
  Random r(7);
  for (int width : {1, 2, 4}) {
    for (int n = 0; n < 30; ++n) {
      const int l = r.NextInt(80) - 40, t = r.NextInt(70) - 35;
      const Rect bounds{l, t, l + 1 + r.NextInt(70), t + 1 + r.NextInt(60)};
      Bitmap small(30, 25), big(230, 225);
      Canvas cs(small), cb(big);
      cs.penWidth = cb.penWidth = width;
      cs.brushColor = cb.brushColor = kRed;
      cs.Ellipse(bounds);
      cb.Ellipse({bounds.left + 100, bounds.top + 100, bounds.right + 100, bounds.bottom + 100});
      ASSERT_EQ(small, Crop(big, 100, 100, 30, 25)) << width << " " << n;
    }
  }
  Bitmap huge(16, 16);
  Canvas ch(huge);
  ch.penWidth = 3;
  ch.Ellipse({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  EXPECT_EQ(huge.Pixel(8, 8), kWhite);
}

// ---- Flood fill ---------------------------------------------------------------------------

namespace {

// A white picture with a blue ring of 1-pixel outline.
Bitmap Ring() {
  Bitmap b(30, 30);
  Canvas c(b);
  c.brushClear = true;
  c.penColor = kBlue;
  c.Ellipse({3, 3, 27, 27});
  return b;
}

}  // namespace

TEST(CanvasFloodFill, SurfaceFillStaysInsideTheRing) {
  Bitmap b = Ring();
  Canvas c(b);
  c.brushColor = kRed;
  c.FloodFill(15, 15, kWhite, FloodFillStyle::Surface);
  EXPECT_EQ(b.Pixel(15, 15), kRed);
  EXPECT_EQ(b.Pixel(0, 0), kWhite);
  EXPECT_EQ(b.Pixel(29, 15), kWhite);
  const std::size_t ring = PixelsOf(Ring(), kBlue).size();
  EXPECT_EQ(PixelsOf(b, kBlue).size(), ring);
  EXPECT_GT(PixelsOf(b, kRed).size(), 300u);

  // Starting on another colour, or painting a surface its own colour, does nothing.
  Bitmap same = b;
  c.FloodFill(0, 0, kRed, FloodFillStyle::Surface);
  c.FloodFill(15, 15, kRed, FloodFillStyle::Surface);
  c.FloodFill(-1, 40, kWhite, FloodFillStyle::Surface);
  EXPECT_EQ(b, same);
}

TEST(CanvasFloodFill, BorderFillCrossesOtherColoursIncludingTheBrush) {
  Bitmap b = Ring();
  Canvas c(b);
  // Inside the ring: a red bar splitting it, and a green dot.
  c.brushColor = kRed;
  c.FillRect({14, 4, 16, 26});
  b.SetPixel(8, 15, MakeColour(0, 255, 0));
  c.FloodFill(8, 10, kBlue, FloodFillStyle::Border);
  EXPECT_EQ(b.Pixel(22, 15), kRed);  // reached through the red bar
  EXPECT_EQ(b.Pixel(8, 15), kRed);
  EXPECT_EQ(b.Pixel(0, 0), kWhite);
  EXPECT_EQ(PixelsOf(b, kBlue).size(), PixelsOf(Ring(), kBlue).size());
}

TEST(CanvasFloodFill, FourConnectedAndLargeAreas) {
  // A diagonal line is a wall for a 4-connected fill.
  Bitmap d(10, 10);
  Canvas cd(d);
  cd.MoveTo(0, 0);
  cd.LineTo(10, 10);
  cd.brushColor = kRed;
  cd.FloodFill(9, 0, kWhite, FloodFillStyle::Surface);
  EXPECT_EQ(PixelsOf(d, kRed).size(), 45u);
  EXPECT_EQ(d.Pixel(0, 9), kWhite);

  // A serpentine of one-pixel corridors over a large picture: no recursion, no overflow.
  Bitmap big(1000, 1000);
  Canvas cb(big);
  cb.brushColor = kBlack;
  for (int y = 1; y < 1000; y += 2) cb.FillRect({(y / 2) % 2 ? 1 : 0, y, (y / 2) % 2 ? 1000 : 999, y + 1});
  cb.brushColor = kRed;
  cb.FloodFill(0, 0, kWhite, FloodFillStyle::Surface);
  EXPECT_EQ(PixelsOf(big, kWhite).size(), 0u);
}

// ---- Copies -------------------------------------------------------------------------------

TEST(CanvasCopy, StretchDrawRepeatsAndDropsPixels) {
  const Bitmap src = Checker(4, 4);
  Bitmap up(8, 8);
  Canvas cu(up);
  cu.StretchDraw({0, 0, 8, 8}, src);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(up.Pixel(x, y), src.Pixel(x / 2, y / 2));

  Bitmap down(2, 2);
  Canvas cd(down);
  cd.StretchDraw({0, 0, 2, 2}, src);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(down.Pixel(x, y), src.Pixel(2 * x, 2 * y));

  // Clipping does not move the sampling: the visible part is that of the whole stretch.
  Bitmap part(4, 4);
  Canvas cp(part);
  cp.StretchDraw({-2, -2, 6, 6}, src);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(part.Pixel(x, y), src.Pixel((x + 2) / 2, (y + 2) / 2));
  cp.StretchDraw({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, src);  // no crash, every pixel from src
}

TEST(CanvasCopy, CopyRectPartsOutsideTheSourceAndWithinOnePicture) {
  const Bitmap src = Checker(6, 6);
  Bitmap b(6, 6);
  Canvas c(b);
  c.CopyRect({0, 0, 3, 3}, src, {4, 4, 7, 7});
  EXPECT_EQ(b.Pixel(0, 0), src.Pixel(4, 4));
  EXPECT_EQ(b.Pixel(1, 1), src.Pixel(5, 5));
  EXPECT_EQ(b.Pixel(2, 2), kWhite);  // beyond the source: kept
  EXPECT_EQ(b.Pixel(2, 0), kWhite);

  // Padding a picture with copies of its own edge strips, the way a margin is filled.
  Bitmap pad(10, 8);
  pad.Draw(2, 0, Checker(6, 8));
  Canvas cpad(pad);
  Bitmap expected = pad;
  Canvas ce(expected);
  const Bitmap before = pad;
  cpad.CopyRect({0, 0, 2, 8}, pad, {2, 0, 4, 8});
  ce.CopyRect({0, 0, 2, 8}, before, {2, 0, 4, 8});
  EXPECT_EQ(pad, expected);
  // Overlapping shift within one picture reads the picture as it was before the copy.
  cpad.CopyRect({1, 0, 10, 8}, pad, {0, 0, 9, 8});
  ce.CopyRect({1, 0, 10, 8}, Bitmap(expected), {0, 0, 9, 8});
  EXPECT_EQ(pad, expected);
  // Different sizes stretch: a 1-column strip fills three columns.
  Bitmap s(3, 2);
  Canvas cs(s);
  cs.CopyRect({0, 0, 3, 2}, src, {5, 0, 6, 2});
  EXPECT_EQ(s.Pixel(2, 1), src.Pixel(5, 1));
  EXPECT_EQ(s.Pixel(0, 0), src.Pixel(5, 0));
}
