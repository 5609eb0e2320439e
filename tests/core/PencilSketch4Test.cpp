#include <gtest/gtest.h>

#include <utility>

#include "effects/EffectTable.h"
#include "effects/drawing/PencilSketch4.h"
#include "effects/drawing/PencilStampTable.h"
#include "pipeline/RunEffect.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "resources/PencilStrokes.h"
#include "tests/core/PencilTestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

struct StrokeExtent {
  int left = 1000, right = -1, top = 1000, bottom = -1;
  double meanRow = 0;
  int pixels = 0;
};

// Where the stroke pixels (every level at most 240) lie; every other pixel must be white
// enough (some level above 240) to be left out by the effect.
StrokeExtent MeasureStroke(const Bitmap& stroke) {
  StrokeExtent e;
  double rows = 0;
  for (int y = 0; y < stroke.Height(); ++y) {
    for (int x = 0; x < stroke.Width(); ++x) {
      const Colour c = stroke.Pixel(x, y);
      if (RedOf(c) > 240 || GreenOf(c) > 240 || BlueOf(c) > 240) continue;
      e.left = std::min(e.left, x);
      e.right = std::max(e.right, x);
      e.top = std::min(e.top, y);
      e.bottom = std::max(e.bottom, y);
      rows += y;
      ++e.pixels;
    }
  }
  if (e.pixels > 0) e.meanRow = rows / e.pixels;
  return e;
}

}  // namespace

TEST(PencilStrokes, AreHorizontalStrokesThroughTheMiddleOnWhite) {
  for (const Bitmap* stroke : {&PencilStroke(), &PencilStroke2()}) {
    ASSERT_EQ(stroke->Width(), 100);
    ASSERT_EQ(stroke->Height(), 100);
    const StrokeExtent e = MeasureStroke(*stroke);
    EXPECT_GT(e.pixels, 300);
    EXPECT_GE(e.right - e.left, 75);  // spans most of the width
    EXPECT_LE(e.bottom - e.top, 35);  // and stays a stroke
    EXPECT_NEAR((e.left + e.right) / 2.0, 49.5, 3);
    EXPECT_NEAR(e.meanRow, 49.5, 8);
    // The border is white: nothing of the stroke is cut off by the picture's edge.
    for (int k = 0; k < 100; ++k) {
      EXPECT_EQ(stroke->Pixel(k, 0), kWhite);
      EXPECT_EQ(stroke->Pixel(0, k), kWhite);
      EXPECT_EQ(stroke->Pixel(99, k), kWhite);
    }
  }
}

TEST(PencilStrokes, TheSecondStrokeIsArched) {
  // The arched stroke's middle lies above its ends; the straight one's does not.
  auto middleMinusEnds = [](const Bitmap& stroke) {
    auto darkestRow = [&](int x) {
      int best = 0, level = 256;
      for (int y = 0; y < 100; ++y)
        if (RedOf(stroke.Pixel(x, y)) < level) level = RedOf(stroke.Pixel(x, y)), best = y;
      return best;
    };
    return darkestRow(50) - (darkestRow(20) + darkestRow(80)) / 2.0;
  };
  EXPECT_NEAR(middleMinusEnds(PencilStroke()), 0, 2);
  EXPECT_LT(middleMinusEnds(PencilStroke2()), -3);
}

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(23).s;

PencilSketch4Settings Settings(std::array<int, 5> s) {
  return PencilSketch4Settings{s[0], s[1] + 1, s[2], s[3], s[4]};
}

Bitmap Sketch(const Bitmap& source, std::array<int, 5> sliders, std::uint32_t sessionSeed = 1) {
  TestRun run(sliders, sessionSeed);
  Bitmap result;
  DrawNewPencilSketch(source, result, Settings(sliders), run.ctx);
  return result;
}

bool AllWhite(const Bitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != kWhite) return false;
  return true;
}

}  // namespace

TEST(PencilStampTable, HoldsTheStrokeAtEveryAngle) {
  for (int angle = 0; angle < kPencilStampAngles; ++angle) {
    const Bitmap& stamp = PencilStamp(angle);
    ASSERT_EQ(stamp.Width(), 100);
    ASSERT_EQ(stamp.Height(), 100);
    EXPECT_GT(MeasureStroke(stamp).pixels, 200) << angle;
  }
  // Angle 0 lies horizontally, 90 upright.
  const StrokeExtent flat = MeasureStroke(PencilStamp(0));
  const StrokeExtent upright = MeasureStroke(PencilStamp(90));
  EXPECT_GT(flat.right - flat.left, 3 * (flat.bottom - flat.top));
  EXPECT_GT(upright.bottom - upright.top, 3 * (upright.right - upright.left));
  EXPECT_THROW(PencilStamp(360), ImageError);
}

TEST(PencilSketch4, AStopCannotLeaveTheStampTableHalfBuilt) {
  TestRun run(kDefaults);
  run.stop = true;
  Bitmap result;
  DrawNewPencilSketch(PhotoLike(30, 30), result, Settings(kDefaults), run.ctx);
  EXPECT_GT(MeasureStroke(PencilStamp(359)).pixels, 200);
}

TEST(PencilSketch4, FullAbstractionLaysNoShadingStrokes) {
  // A flat picture has no gradient, so every sample would be a shading stroke.
  const Bitmap flat = Uniform(60, 50, MakeColour(90, 90, 90));
  EXPECT_TRUE(AllWhite(Sketch(flat, {20, 100, 25, 255, 140})));
  EXPECT_FALSE(AllWhite(Sketch(flat, {20, 100, 25, 10, 140})));
}

TEST(PencilSketch4, ThresholdZeroMakesEveryStrokeAnEdgeStroke) {
  // No shading strokes are laid, so the abstraction (which only thins those) changes nothing.
  const Bitmap photo = PhotoLike(60, 50);
  EXPECT_EQ(Sketch(photo, {0, 60, 25, 0, 140}), Sketch(photo, {0, 60, 25, 254, 140}));
}

TEST(PencilSketch4, TheLastColumnAndRowStayWhite) {
  const Bitmap result = Sketch(PhotoLike(70, 60), {0, 100, 25, 0, 140});
  EXPECT_FALSE(AllWhite(result));
  for (int x = 0; x < 70; ++x) EXPECT_EQ(result.Pixel(x, 59), kWhite);
  for (int y = 0; y < 60; ++y) EXPECT_EQ(result.Pixel(69, y), kWhite);
}

TEST(PencilSketch4, EqualInputsGiveEqualDrawings) {
  // The run reseeds, so the session's state before it does not matter.
  const Bitmap photo = PhotoLike(64, 48);
  EXPECT_EQ(Sketch(photo, kDefaults, 1), Sketch(photo, kDefaults, 123456));
}

TEST(PencilSketch4, TinyPicturesGiveAPicture) {
  // Below 3 pixels there is no sample position; a 3 x 3 picture has N div 20 = 0.
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {2, 2}, {2, 30}, {3, 3}, {4, 3}}) {
    const Bitmap result = Sketch(PhotoLike(w, h), kDefaults);
    EXPECT_EQ(result.Width(), w);
    EXPECT_EQ(result.Height(), h);
  }
  EXPECT_TRUE(AllWhite(Sketch(PhotoLike(2, 30), kDefaults)));
}

TEST(PencilSketch4, StrokeLengthZeroStillDraws) {
  const Bitmap result = Sketch(PhotoLike(40, 40), {20, 100, 0, 10, 140});
  EXPECT_FALSE(AllWhite(result));
}

TEST(PencilSketch4, TheRunFinishesTheDrawingThroughTheSurfaceStage) {
  const Bitmap photo = PhotoLike(50, 40);
  Bitmap expected = Sketch(photo, kDefaults);
  SoftBlur(expected);
  TestRun run(kDefaults);
  run.ctx.MutableParams().softenEdges = true;
  Bitmap result = photo;
  EXPECT_EQ(RunEffect(23, photo, result, run.ctx), RunOutcome::Completed);
  EXPECT_EQ(result, expected);
}

TEST(PencilSketch4, StrokesLieAlongTheEdges) {
  // Horizontal bands have no horizontal gradient (gx = 0): their strokes take entry 0 or 1 and
  // lie flat. Vertical bands (gy = 0) take entries 89 or 90 and stand upright.
  Bitmap rows(120, 120), columns(120, 120);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x) {
      rows.SetPixel(x, y, (y / 12) % 2 ? kBlack : kWhite);
      columns.SetPixel(x, y, (x / 12) % 2 ? kBlack : kWhite);
    }
  // Counts neighbouring pairs of drawn pixels side by side and one above the other.
  auto pairs = [](const Bitmap& b, bool sideBySide) {
    int count = 0;
    for (int y = 0; y + 1 < b.Height(); ++y)
      for (int x = 0; x + 1 < b.Width(); ++x)
        if (RedOf(b.Pixel(x, y)) < 150 && RedOf(b.Pixel(sideBySide ? x + 1 : x, sideBySide ? y : y + 1)) < 150)
          ++count;
    return count;
  };
  const Bitmap flat = Sketch(rows, {20, 0, 25, 255, 140});
  const Bitmap upright = Sketch(columns, {20, 0, 25, 255, 140});
  EXPECT_GT(2 * pairs(flat, true), 3 * pairs(flat, false));
  EXPECT_GT(2 * pairs(upright, false), 3 * pairs(upright, true));
}

TEST(PencilSketch4, SeveralThreadsGiveTheSameBytesAsOne) {
  // Wide and high enough for strokes to fall on and across several tiles of the drawing.
  const Bitmap photo = PhotoLike(611, 203);
  SetRowPassThreads(1);
  const Bitmap one = Sketch(photo, {10, 20, 40, 10, 200});
  SetRowPassThreads(3);
  const Bitmap three = Sketch(photo, {10, 20, 40, 10, 200});
  SetRowPassThreads(0);
  EXPECT_EQ(one, three);
}
