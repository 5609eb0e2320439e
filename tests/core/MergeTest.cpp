#include <gtest/gtest.h>

#include "effects/Frames.h"
#include "effects/stylised/Merge.h"
#include "imaging/ParallelRows.h"
#include "tests/core/StylisedTestSupport.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

Bitmap Merged(const Bitmap& a, const Bitmap& b, std::array<int, 5> s) {
  StylisedRun run(s, 13);
  Bitmap out = b;
  MergeImages(a, out, MergeSettingsFrom(run.ctx), run.ctx);
  return out;
}

}  // namespace

TEST(Merge, BlendEndsGiveEitherPicture) {
  const Bitmap a = SyntheticPhoto(23, 17), b = Noise(23, 17, 5);
  EXPECT_EQ(Merged(a, b, {255, 0, 50, 0, 0}), b);
  EXPECT_EQ(Merged(a, b, {0, 0, 50, 0, 0}), a);
}

TEST(Merge, MultiplyDividesByTheDarkenLightenDivisor) {
  const Bitmap a = Uniform(3, 2, MakeColour(200, 10, 255)), b = Uniform(3, 2, MakeColour(100, 255, 255));
  // T5 50: divisor 255, the ordinary multiply: 20000 div 255 = 78, 2550 div 255 = 10.
  EXPECT_EQ(Merged(a, b, {0, 255, 50, 0, 0}), Uniform(3, 2, MakeColour(78, 10, 255)));
  // T5 100: divisor 55, 2550 div 55 = 46, the rest saturates.
  EXPECT_EQ(Merged(a, b, {0, 255, 100, 0, 0}), Uniform(3, 2, MakeColour(255, 46, 255)));
  // Half the product with half of the blend: 78 x 127 div 255 + 150 x 128 div 255 = 38 + 75.
  EXPECT_EQ(RedOf(Merged(a, b, {127, 127, 50, 0, 0}).Pixel(2, 1)), 38 + (100 * 127 / 255 + 200 * 128 / 255) * 128 / 255);
  // Out of the slider's range the divisor stays positive: saturated, never negative.
  EXPECT_EQ(Merged(a, b, {0, 255, 114, 0, 0}), Uniform(3, 2, MakeColour(255, 255, 255)));
}

TEST(Merge, PicturesOfDifferentSizesAreLeftAlone) {
  const Bitmap a = SyntheticPhoto(10, 8), b = Noise(8, 10, 3);
  EXPECT_EQ(Merged(a, b, {127, 100, 50, 0, 0}), b);
}

TEST(Merge, FrameTakesTheCentreOfALargerResult) {
  const Bitmap source = SyntheticPhoto(9, 7);
  Bitmap framed = Uniform(15, 11, kBlack);  // a 3-pixel frame left and right, 2 above and below
  framed.Draw(3, 2, Noise(9, 7, 8));
  StylisedRun run({255, 0, 50, 0, 0}, 13);
  Bitmap result = framed;
  FrameAlphaBlend(source, result, run.ctx);
  EXPECT_EQ(result, Noise(9, 7, 8));

  Bitmap small = Uniform(3, 3, kBlack);  // smaller than the source: white where it is missing
  FrameAlphaBlend(source, small, run.ctx);
  ASSERT_EQ(small.Width(), 9);
  EXPECT_EQ(small.Pixel(0, 0), kWhite);
  EXPECT_EQ(small.Pixel(4, 3), kBlack);
}

TEST(Merge, OneThreadEqualsSeveral) {
  const Bitmap a = Noise(101, 203, 1), b = Noise(101, 203, 2);
  SetRowPassThreads(1);
  const Bitmap one = Merged(a, b, {90, 60, 70, 0, 0});
  SetRowPassThreads(4);
  const Bitmap several = Merged(a, b, {90, 60, 70, 0, 0});
  SetRowPassThreads(0);
  EXPECT_EQ(one, several);
}
