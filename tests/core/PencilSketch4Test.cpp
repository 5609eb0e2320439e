#include <gtest/gtest.h>

#include "resources/PencilStrokes.h"

using namespace brumeleaf;

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
