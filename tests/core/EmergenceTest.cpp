#include <gtest/gtest.h>

#include <vector>

#include "effects/Frames.h"
#include "effects/stylised/Emergence.h"
#include "effects/stylised/LayeredPolygons.h"
#include "effects/stylised/ShadeTriangle.h"
#include "imaging/Canvas.h"
#include "imaging/ParallelRows.h"
#include "pipeline/Finalize.h"
#include "pipeline/RunEffect.h"
#include "tests/core/StylisedTestSupport.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

ShadedVertex Vertex(int x, int y, double r, double g = 0, double b = 0) {
  ShadedVertex v;
  v.x = x, v.y = y;
  v.colour[0] = r, v.colour[1] = g, v.colour[2] = b;
  return v;
}

int PaintedCount(const Bitmap& b) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) != kBlack;
  return n;
}

// Every pixel read through the waiting shapes shows what painting them in order gave.
template <class Layered>
::testing::AssertionResult ReadsLikeInOrder(const Layered& layered, const Bitmap& picture, const Bitmap& inOrder) {
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      std::uint8_t bgr[3];
      layered.ColourAt(picture, x, y, bgr);
      const std::uint8_t* want = inOrder.ScanLine(y) + 3 * x;
      if (bgr[0] != want[0] || bgr[1] != want[1] || bgr[2] != want[2])
        return ::testing::AssertionFailure() << "pixel " << x << "," << y;
    }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(ShadeTriangle, FlatTopStepsTheLowerEdgeAndInterpolates) {
  Bitmap picture = Uniform(16, 16, kBlack);
  // Red 0 at the top left, 100 at the top right, 200 at the bottom; green 50 everywhere.
  ShadeTriangle(picture, Vertex(0, 0, 0, 50), Vertex(10, 0, 100, 50), Vertex(0, 10, 200, 50));
  EXPECT_EQ(PaintedCount(picture), 10 + 9 + 8 + 7 + 6 + 5 + 4 + 3 + 2 + 1);  // rows 0..9
  EXPECT_EQ(picture.Pixel(5, 0), MakeColour(50, 50, 0));   // 10 per column along row 0
  EXPECT_EQ(picture.Pixel(2, 5), MakeColour(120, 50, 0));  // row 5 runs from 100 to 150
  EXPECT_EQ(picture.Pixel(4, 5), MakeColour(140, 50, 0));
  EXPECT_EQ(picture.Pixel(9, 0), MakeColour(90, 50, 0));
  EXPECT_EQ(picture.Pixel(10, 0), kBlack);  // the right column of a span is left out
  EXPECT_EQ(picture.Pixel(0, 10), kBlack);  // and the bottom row
}

TEST(ShadeTriangle, FlatBottomAndFlatTrianglesNeverDivideByZero) {
  Bitmap picture = Uniform(12, 12, kBlack);
  ShadeTriangle(picture, Vertex(5, 0, 200, 10, 30), Vertex(0, 10, 200, 10, 30), Vertex(10, 10, 200, 10, 30));
  for (int x = 0; x <= 9; ++x) EXPECT_EQ(picture.Pixel(x, 9), MakeColour(200, 10, 30)) << x;  // 0.5 .. 9.5
  EXPECT_EQ(picture.Pixel(10, 9), kBlack);
  EXPECT_EQ(picture.Pixel(5, 0), kBlack);  // the apex row has no width
  Bitmap flat = Uniform(12, 12, kBlack);
  ShadeTriangle(flat, Vertex(1, 4, 255), Vertex(9, 4, 255), Vertex(5, 4, 255));
  ShadeTriangle(flat, Vertex(3, 3, 255), Vertex(3, 3, 255), Vertex(3, 3, 255));
  EXPECT_EQ(flat, Uniform(12, 12, kBlack));
}

TEST(ShadeTriangle, ClipsToThePicture) {
  Bitmap picture = Uniform(10, 8, kBlack);
  ShadeTriangle(picture, Vertex(-30, -20, 255, 255, 255), Vertex(40, -5, 255, 255, 255), Vertex(3, 30, 255, 255, 255));
  EXPECT_EQ(picture.Pixel(0, 0), kWhite);
  EXPECT_EQ(picture.Pixel(9, 7), kWhite);
  ShadeTriangle(picture, Vertex(-9, -9, 0), Vertex(-1, -9, 0), Vertex(-5, -1, 0));  // wholly outside
  EXPECT_EQ(picture, Uniform(10, 8, kWhite));
}

// Layered triangles read and paint the bytes of triangles painted one after another: on an odd
// coloured picture, with corners inside, on the edges and outside, colours drifting past 0 and
// 255, flat and single-row triangles among them.
TEST(ShadeTriangle, LayeredTrianglesMatchPaintingInOrder) {
  Random random(77);
  for (int round = 0; round < 6; ++round) {
    const int w = 23 + 17 * round, h = 31 + 9 * round;
    Bitmap inOrder = Gradient(w, h);
    Bitmap layeredPicture = inOrder;
    LayeredShadedTriangles layered;
    const int count = round == 0 ? 1 : 4 + 9 * round;
    for (int i = 0; i < count; ++i) {
      ShadedVertex v[3];
      for (ShadedVertex& c : v) {
        c.x = random.NextInt(w + 20) - 10;
        c.y = random.NextInt(h + 20) - 10;
        for (double& k : c.colour) k = random.NextInt(300) - 20 + random.NextInt(1000) / 997.0;
      }
      if (i % 7 == 3) v[2].y = v[0].y;  // flat top or bottom
      if (i % 11 == 5) v[1].y = v[2].y = v[0].y;  // a single row: paints nothing
      ShadeTriangle(inOrder, v[0], v[1], v[2]);
      layered.Add(v[0], v[1], v[2]);
      ASSERT_TRUE(ReadsLikeInOrder(layered, layeredPicture, inOrder)) << round << " " << i;
    }
    layered.PaintInto(layeredPicture);
    EXPECT_TRUE(layered.Empty());
    EXPECT_EQ(layeredPicture, inOrder) << round;
  }
}

// Layered flat polygons read and paint the bytes of the canvas drawing them one after another
// (fill and one-pixel outline in one colour): quadrilaterals and longer outlines, crossing
// themselves, with corners inside, on the edges and outside the picture, flat and degenerate.
TEST(LayeredFlatPolygons, MatchTheCanvasPaintingInOrder) {
  Random random(78);
  for (int round = 0; round < 6; ++round) {
    const int w = 21 + 19 * round, h = 29 + 11 * round;
    Bitmap inOrder = Gradient(w, h);
    Bitmap layeredPicture = inOrder;
    Canvas canvas(inOrder);
    LayeredFlatPolygons layered;
    const int count = round == 0 ? 1 : 3 + 8 * round;
    for (int i = 0; i < count; ++i) {
      std::vector<Point> corners(static_cast<std::size_t>(i % 5 == 4 ? 3 + random.NextInt(4) : 4));
      for (Point& p : corners) {
        p.x = random.NextInt(w + 16) - 8;
        p.y = random.NextInt(h + 16) - 8;
      }
      if (i % 7 == 3) corners[1].y = corners[0].y;  // a flat side
      if (i % 11 == 5) corners[1] = corners[2] = corners[3] = corners[0];  // a single point
      const Colour colour = MakeColour(random.NextInt(256), random.NextInt(256), random.NextInt(256));
      canvas.brushColor = canvas.penColor = colour;
      canvas.Polygon(corners);
      layered.Add(corners, colour);
      ASSERT_TRUE(ReadsLikeInOrder(layered, layeredPicture, inOrder)) << round << " " << i;
    }
    layered.PaintInto(layeredPicture);
    EXPECT_TRUE(layered.Empty());
    EXPECT_EQ(layeredPicture, inOrder) << round;
  }
}

namespace {

Bitmap Painted(int code, const Bitmap& photo, std::array<int, 5> s, std::uint32_t sessionSeed = 5) {
  StylisedRun run(s, code, sessionSeed);
  Bitmap source = photo, output;
  if (code == 22) {
    PaintEmergence(source, output, EmergenceSettingsFrom(run.ctx), run.ctx);
  } else {
    PaintShadedTriangles(source, output, EmergenceSettingsFrom(run.ctx), run.ctx);
  }
  return output;
}

}  // namespace

TEST(Emergence, ReseedsSoEveryRunRepeatsAndThreadsAgree) {
  const Bitmap photo = SyntheticPhoto(83, 61);
  for (const int code : {22, 25}) {
    SetRowPassThreads(1);
    const Bitmap one = Painted(code, photo, {100, 10, 30, 10, 40}, 5);
    SetRowPassThreads(3);
    const Bitmap other = Painted(code, photo, {100, 10, 30, 10, 40}, 999);
    SetRowPassThreads(0);
    EXPECT_EQ(one, other) << code;
    EXPECT_GT(PaintedCount(one), 83 * 61 * 9 / 10) << code;
  }
}

TEST(Emergence, RejectedShapesEndTheRunAsFinished) {
  // On a flat picture with T1 = 0 every step finds a point, and no small shape can improve the
  // canvas once the large ones have covered it: 800 rejections in a row end the run early.
  for (const int code : {22, 25}) {
    StylisedRun run({0, 0, 0, 0, 40}, code);
    run.ctx.MutableParams().addFrame = true;
    int finishing = 0;
    FinishingSteps steps{[&](Bitmap&, RunContext&) { ++finishing; }, [&](Bitmap&, RunContext&) { ++finishing; }};
    const Bitmap source = Uniform(90, 70, MakeColour(90, 120, 200));
    Bitmap result;
    EXPECT_EQ(RunEffect(code, source, result, run.ctx, steps), RunOutcome::Completed) << code;
    EXPECT_FALSE(run.ctx.StopRequested());
    EXPECT_EQ(finishing, 1) << "the frame follows a finished run";
    EXPECT_EQ(run.sink.calls.back(), (std::array<int, 4>{110, 100, 1, 1}));
    const int total = code == 22 ? 4000 : 5000;
    EXPECT_FALSE(AnyReportAtOrBeyond(run.sink, total, total)) << "ended before the last step";
    EXPECT_EQ(result, Uniform(90, 70, MakeColour(90, 120, 200)));  // flat colours are exact
  }
}

TEST(Emergence, AStopEndsAtTheFirstCheck) {
  StylisedRun run({100, 80, 30, 25, 130}, 22);
  run.stop = true;
  Bitmap source = SyntheticPhoto(60, 40), output;
  PaintEmergence(source, output, EmergenceSettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(run.sink.calls.back(), (std::array<int, 4>{110, 100, 1, 1}));
  EXPECT_EQ(run.sink.calls.size(), 2u);  // the start, then the end after the first shape
  EXPECT_LE(PaintedCount(output), 60 * 40);
}

TEST(Emergence, MaximumBelowMinimumIsRaised) {
  StylisedRun run({100, 0, 30, 60, 10}, 22);
  Bitmap source = SyntheticPhoto(20, 20), output;
  PaintEmergence(source, output, EmergenceSettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(run.ctx.S(5), 60);
}

TEST(Emergence, TrianglesLeaveNoBlackEdge) {
  const Bitmap out = Painted(25, SyntheticPhoto(47, 33), {130, 5, 10, 15, 180});
  for (int y = 0; y < 33; ++y) EXPECT_EQ(out.Pixel(46, y), out.Pixel(45, y));
  for (int x = 0; x < 47; ++x) EXPECT_EQ(out.Pixel(x, 32), out.Pixel(x, 31));
  EXPECT_NE(out.Pixel(46, 32), kBlack);
}
