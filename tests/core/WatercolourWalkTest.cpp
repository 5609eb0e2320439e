#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>

#include "effects/painting/WatercolourWalk.h"
#include "imaging/RandomLeap.h"
#include "tests/core/PaintingTestSupport.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

struct WalkResult {
  Bitmap picture;
  Walker walker;
  std::uint32_t seed = 0;
  bool finished = true;
};

// `passes` passes of one kernel over `photo`, as the painting runs them.
WalkResult Walk(const Bitmap& photo, int blending, int strength, int passes, WalkKernel kernel,
                std::atomic<bool>* stop = nullptr) {
  Random random(91);
  RunContext ctx(PaintingParams(4, {blending, 0, strength, 140, 50}), random);
  if (stop) ctx.SetStopFlag(stop);
  WalkCanvas canvas(photo);
  WalkResult result;
  for (int pass = 0; pass < passes && result.finished; ++pass)
    result.finished = WalkPass(canvas, result.walker, blending, strength, ctx, kernel);
  canvas.CopyTo(result.picture);
  result.seed = random.Seed();
  return result;
}

// A picture of flat patches with hard edges, noise and a few pure black and white pixels (the
// ends of the level range, where the smear's halved sum and lift saturate).
Bitmap Patchwork(int w, int h, std::uint32_t seed) {
  Bitmap b = SyntheticPhoto(w, h);
  Random random(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if ((x / 5 + y / 3) % 4 == 0) b.SetPixel(x, y, MakeColour(200, 40, 90));
      const int r = random.NextInt(40);
      if (r == 0) b.SetPixel(x, y, MakeColour(255, 255, 255));
      if (r == 1) b.SetPixel(x, y, MakeColour(0, 0, 0));
      if (r == 2) b.SetPixel(x, y, MakeColour(255, 0, 254));
    }
  return b;
}

}  // namespace

TEST(WatercolourWalk, TheCanvasKeepsEveryPixel) {
  for (const auto& size : {std::array<int, 2>{3, 3}, {5, 4}, {7, 13}, {16, 6}}) {
    const Bitmap photo = Patchwork(size[0], size[1], 3);
    WalkCanvas canvas(photo);
    Bitmap back;
    canvas.CopyTo(back);
    EXPECT_EQ(back, photo) << size[0] << "x" << size[1];
  }
}

TEST(WatercolourWalk, TheVectorKernelMatchesThePortableOne) {
  if (!WalkVectorKernelAvailable()) GTEST_SKIP() << "no 512-bit vectors on this processor";
  // Heights of every remainder by 4 (walkers cross bands up and down), widths whose last
  // reads reach past the picture, blending from "always jump" to "smear nearly everything".
  const int sizes[][2] = {{3, 3}, {4, 9}, {9, 4}, {37, 29}, {23, 30}, {64, 31}, {41, 28}, {130, 97}, {700, 40}, {300, 300}};
  for (const auto& size : sizes)
    for (const int blending : {0, 20, 90, 255})
      for (const int strength : {0, 25}) {
        const Bitmap photo = Patchwork(size[0], size[1], static_cast<std::uint32_t>(size[0] * 7 + blending));
        const WalkResult portable = Walk(photo, blending, strength, 3, WalkKernel::Portable);
        const WalkResult vector = Walk(photo, blending, strength, 3, WalkKernel::Vector);
        const std::string where = std::to_string(size[0]) + "x" + std::to_string(size[1]) + " s1 " +
                                  std::to_string(blending) + " s3 " + std::to_string(strength);
        EXPECT_EQ(vector.picture, portable.picture) << where;
        EXPECT_EQ(vector.seed, portable.seed) << where;
        EXPECT_EQ(vector.walker.x, portable.walker.x) << where;
        EXPECT_EQ(vector.walker.y, portable.walker.y) << where;
        EXPECT_EQ(vector.walker.dx, portable.walker.dx) << where;
        EXPECT_EQ(vector.walker.dy, portable.walker.dy) << where;
        EXPECT_EQ(vector.walker.best, portable.walker.best) << where;
        if (blending >= 90 && size[0] > 9) {
          EXPECT_NE(portable.picture, photo) << where;
        }
      }
}

TEST(WatercolourWalk, AStoppedPassEndsAfterOneStepWithItsWritesMade) {
  // The stop is polled after every step: both kernels make the first step, write its pixels
  // (the vector kernel holds them back until the next step) and end the same.
  const Bitmap photo = Patchwork(33, 22, 5);
  std::atomic<bool> stop{true};
  const WalkResult portable = Walk(photo, 250, 25, 2, WalkKernel::Portable, &stop);
  EXPECT_FALSE(portable.finished);
  const WalkResult vector = Walk(photo, 250, 25, 2, WalkKernel::Vector, &stop);
  EXPECT_FALSE(vector.finished);
  EXPECT_EQ(vector.picture, portable.picture);
  EXPECT_EQ(vector.seed, portable.seed);
}

TEST(WatercolourWalk, DrawsOfThreeComeFromTwoThresholds) {
  // The vector kernel tells Random(3) by comparing the seed with 2^32 / 3 and 2 * 2^32 / 3.
  Random random(12345);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t seed = random.Seed() * 134775813u + 1u;
    const std::uint32_t draw = random.Next(3);
    EXPECT_EQ(draw, (seed >= 1431655766u ? 1u : 0u) + (seed >= 2863311531u ? 1u : 0u)) << seed;
  }
}
