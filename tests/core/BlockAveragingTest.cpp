// The block averaging runs on rows rearranged into planes, eight blocks at a time; these tests
// hold it to the blocks exactly as described, one after another on the picture as it stands.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "effects/painting/BlockAveraging.h"
#include "imaging/ParallelRows.h"
#include "imaging/Random.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

// One pass, block by block, on the interleaved rows.
void LiteralPass(Bitmap& image, int k, int blending) {
  const int offset = k % 2;
  for (int r = 0; r < image.Height() / 2 - 1; ++r) {
    const int y = 2 * r + offset;
    std::uint8_t* top = image.ScanLine(y);
    std::uint8_t* bottom = image.ScanLine(y + 1);
    for (int c = 0; c < image.Width() / 2 - 1; ++c) {
      const int x = 2 * c + offset;
      std::uint8_t* a = top + 3 * x;
      std::uint8_t* others[3] = {a + 3, bottom + 3 * x, bottom + 3 * x + 3};
      const int t = BlockThreshold(a, blending);
      int sum[3] = {a[0], a[1], a[2]};
      int count = 1;
      bool added[3] = {false, false, false};
      for (int i = 0; i < 3; ++i) {
        if (BlockDifference(a, others[i]) < t) {
          added[i] = true;
          ++count;
          for (int ch = 0; ch < 3; ++ch) sum[ch] += others[i][ch];
        }
      }
      if (count == 1) continue;
      std::uint8_t mean[3];
      for (int ch = 0; ch < 3; ++ch) {
        int m = sum[ch] / count;
        if (sum[ch] % count > count / 2) ++m;
        mean[ch] = static_cast<std::uint8_t>(std::min(m, 255));
      }
      for (int ch = 0; ch < 3; ++ch) a[ch] = mean[ch];
      for (int i = 0; i < 3; ++i)
        if (added[i])
          for (int ch = 0; ch < 3; ++ch) others[i][ch] = mean[ch];
    }
  }
}

// Neighbouring pixels that differ by small random steps, so that every count of merges
// occurs, with dark, light and saturated stretches.
Bitmap Patchy(int width, int height, std::uint32_t seed) {
  Random random(seed);
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    const std::uint8_t* above = y > 0 ? b.ScanLine(y - 1) : nullptr;
    for (int i = 0; i < 3 * width; ++i) {
      int base = above ? above[i] : static_cast<int>(random.Next(256));
      if (i >= 3 && random.Next(2) == 0) base = row[i - 3];
      const int step = static_cast<int>(random.Next(random.Next(4) == 0 ? 120 : 24)) - (random.Next(4) == 0 ? 60 : 12);
      row[i] = ClampLevel(random.Next(50) == 0 ? static_cast<int>(random.Next(256)) : base + step);
    }
  }
  return b;
}

TEST(BlockAveragingPlanes, EveryPassEqualsTheLiteralBlocks) {
  const int sizes[][2] = {{37, 29}, {38, 30}, {17, 9}, {18, 3}, {5, 64}, {64, 5}, {4, 4}, {33, 35}};
  const int blendings[] = {0, 1, 40, 128, 255};
  std::uint32_t seed = 11;
  for (const auto& size : sizes) {
    for (const int blending : blendings) {
      const Bitmap picture = Patchy(size[0], size[1], seed++);
      for (int k = 0; k < 2; ++k) {
        Bitmap fast = picture, literal = picture;
        BlockAveragingPass(fast, k, blending);
        LiteralPass(literal, k, blending);
        ASSERT_EQ(fast, literal) << size[0] << "x" << size[1] << " blending " << blending << " pass " << k;
      }
      Bitmap fast = picture, literal = picture;
      ASSERT_TRUE(BlockAveraging(fast, 7, blending, nullptr));
      for (int k = 0; k < 7; ++k) LiteralPass(literal, k, blending);
      ASSERT_EQ(fast, literal) << size[0] << "x" << size[1] << " blending " << blending;
    }
  }
}

TEST(BlockAveragingPlanes, PhotographsExtremesAndThreadsAgree) {
  // A photograph-like picture, pure black and white blocks (the thresholds' two ends) and
  // noise; one thread and several give the same bytes as the literal passes.
  Bitmap ends = Flat(41, 23, 0);
  ends.FillRect(0, 0, 20, 23, MakeColour(255, 255, 255));
  ends.FillRect(10, 5, 30, 15, MakeColour(255, 0, 255));
  for (const Bitmap& picture : {SyntheticPhoto(203, 157), ends, Noise(71, 67, 5)}) {
    for (const int blending : {0, 35, 40, 255}) {
      Bitmap literal = picture;
      for (int k = 0; k < 9; ++k) LiteralPass(literal, k, blending);
      for (const int threads : {1, 3}) {
        SetRowPassThreads(threads);
        Bitmap fast = picture;
        BlockAveraging(fast, 9, blending, nullptr);
        EXPECT_EQ(fast, literal) << "blending " << blending << " threads " << threads;
      }
      SetRowPassThreads(0);
    }
  }
}

TEST(BlockAveragingPlanes, AStopKeepsTheLastWholePassInItsUsualArrangement) {
  const Bitmap picture = Patchy(45, 31, 3);
  Bitmap stopped = picture, literal = picture;
  EXPECT_FALSE(BlockAveraging(stopped, 8, 40, [](int k) { return k < 3; }));
  for (int k = 0; k < 3; ++k) LiteralPass(literal, k, 40);
  EXPECT_EQ(stopped, literal);
  // A stop before the first pass leaves the picture as it was.
  Bitmap untouched = picture;
  EXPECT_FALSE(BlockAveraging(untouched, 8, 40, [](int) { return false; }));
  EXPECT_EQ(untouched, picture);
}

}  // namespace
