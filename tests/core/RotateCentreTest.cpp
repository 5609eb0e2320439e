// The middle of an expanding rotation made alone must be exactly the middle CutCentre takes
// from the whole rotation, whatever the sizes and angle.

#include <gtest/gtest.h>

#include <atomic>

#include "effects/FrameSteps.h"
#include "imaging/Geometry.h"
#include "TestPictures.h"

using namespace brumeleaf;
using brumeleaf::testing::Noise;

TEST(RotateBitmapExpandCentre, IsTheMiddleOfTheWholeRotation) {
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  struct Size {
    int width, height;
  };
  // Odd and even sizes, a single row and column, and windows wider or taller than the turned
  // picture (their edges are white).
  for (const Size picture : {Size{37, 23}, Size{40, 30}, Size{1, 9}, Size{9, 1}, Size{2, 2}}) {
    const Bitmap source = Noise(picture.width, picture.height, 5);
    for (const int angle : {-45, 45, -30, 90, -200, 0, 1, 359}) {
      Bitmap whole;
      RotateBitmapExpand(source, whole, angle, ctx);
      for (const Size window : {Size{picture.width, picture.height}, Size{picture.width - 1, picture.height + 3},
                                Size{whole.Width() + 4, whole.Height() + 1}, Size{0, 3}}) {
        Bitmap expected = whole;
        CutCentre(expected, window.width, window.height);
        Bitmap centre(3, 3);  // a destination that held something else
        RotateBitmapExpandCentre(source, centre, angle, window.width, window.height, ctx);
        EXPECT_EQ(centre, expected) << picture.width << "x" << picture.height << " at " << angle << " into "
                                    << window.width << "x" << window.height;
      }
    }
  }
}

TEST(RotateBitmapExpandCentre, ReportsAsTheTurnBackAndLeavesUnreachedRowsWhiteAfterAStop) {
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap black(60, 40), centre;
  black.Fill(kBlack);
  RotateBitmapExpandCentre(black, centre, -45, 60, 40, ctx);
  EXPECT_EQ(centre.Width(), 60);
  EXPECT_EQ(centre.Height(), 40);
  EXPECT_EQ(centre.Pixel(30, 20), kWhite);
  stop = false;
  RotateBitmapExpandCentre(black, centre, -45, 60, 40, ctx);
  EXPECT_EQ(centre.Pixel(30, 20), kBlack);
  EXPECT_EQ(centre.Pixel(0, 0), kWhite);  // a corner the turned picture does not reach
}
