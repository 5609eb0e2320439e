#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "imaging/MedianFilter.h"
#include "imaging/ParallelRows.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

// The direct definition: collect the window's levels inside the picture, sort, take the middle.
Bitmap DirectMedian(const Bitmap& image, int size) {
  const int half = size < 2 ? 0 : size / 2;
  Bitmap out(image.Width(), image.Height());
  std::vector<int> values;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      for (int c = 0; c < 3; ++c) {
        values.clear();
        for (int j = y - half; j <= y + half; ++j)
          for (int i = x - half; i <= x + half; ++i)
            if (i >= 0 && j >= 0 && i < image.Width() && j < image.Height())
              values.push_back(image.ScanLine(j)[3 * i + c]);
        std::sort(values.begin(), values.end());
        const std::size_t k = values.size();
        const int v = k % 2 == 1 ? values[k / 2] : (values[k / 2 - 1] + values[k / 2]) / 2;
        out.ScanLine(y)[3 * x + c] = static_cast<std::uint8_t>(v);
      }
    }
  }
  return out;
}

// Few distinct levels, so that windows often hold runs of equal values around the middle.
Bitmap Posterised(int width, int height, std::uint32_t seed) {
  Bitmap b = Noise(width, height, seed);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < 3 * width; ++i) row[i] = static_cast<std::uint8_t>((row[i] / 64) * 80);
  }
  return b;
}

}  // namespace

TEST(MedianFilter, EqualsTheDirectDefinitionForEverySizeAndShape) {
  for (const Bitmap& picture : {Noise(23, 17, 5), Posterised(19, 26, 7), Noise(1, 9, 3), Noise(9, 1, 4),
                                Noise(1, 1, 2), Noise(3, 3, 8), Noise(2, 7, 9)}) {
    for (int size : {0, 1, 2, 3, 4, 5, 7, 12}) {
      EXPECT_EQ(MedianFilter(picture, size), DirectMedian(picture, size))
          << picture.Width() << "x" << picture.Height() << " size " << size;
    }
  }
}

TEST(MedianFilter, CornerAveragesTheTwoMiddleOfFour) {
  // The 3 x 3 window at (0, 0) holds (0,0) (1,0) (0,1) (1,1): red 10, 200, 30, 90 -> (30 + 90) / 2.
  Bitmap b(5, 4);
  b.Fill(kBlack);
  b.SetPixel(0, 0, MakeColour(10, 1, 2));
  b.SetPixel(1, 0, MakeColour(200, 1, 3));
  b.SetPixel(0, 1, MakeColour(30, 2, 3));
  b.SetPixel(1, 1, MakeColour(91, 2, 3));
  const Bitmap m = MedianFilter(b, 3);
  EXPECT_EQ(RedOf(m.Pixel(0, 0)), (30 + 91) / 2);
  EXPECT_EQ(GreenOf(m.Pixel(0, 0)), 1);  // (1 + 2) / 2 truncated
  EXPECT_EQ(BlueOf(m.Pixel(0, 0)), 3);
}

TEST(MedianFilter, SizeFourUsesTheFiveWideWindow) {
  const Bitmap picture = Noise(15, 11, 21);
  EXPECT_EQ(MedianFilter(picture, 4), MedianFilter(picture, 5));
}

TEST(MedianFilter, OneThreadEqualsSeveral) {
  const Bitmap picture = Noise(97, 211, 13);
  for (int size : {3, 5}) {  // the 3 x 3 window has a path of its own
    SetRowPassThreads(1);
    const Bitmap one = MedianFilter(picture, size);
    SetRowPassThreads(4);
    const Bitmap four = MedianFilter(picture, size);
    SetRowPassThreads(0);
    EXPECT_EQ(one, four) << size;
  }
}

TEST(MedianFilter, StopLeavesTheOutputWholeAndUntouched) {
  const Bitmap picture = Noise(40, 600, 17);
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap output = picture;
  EXPECT_FALSE(MedianFilter(picture, 3, output, ctx));
  EXPECT_EQ(output, picture);
  stop = false;
  EXPECT_TRUE(MedianFilter(picture, 3, output, ctx));
  EXPECT_EQ(output, DirectMedian(picture, 3));
  EXPECT_THROW(MedianFilter(output, 3, output, ctx), ImageError);
}
