#include <gtest/gtest.h>

#include "resources/OilPastelStamp.h"

using namespace brumeleaf;

namespace {

bool IsInk(const Bitmap& stamp, int x, int y) { return RedOf(stamp.Pixel(x, y)) < 250; }

}  // namespace

TEST(OilPastelStamp, IsAPatchOfInkOnWhite) {
  const Bitmap& stamp = OilPastelStamp();
  ASSERT_EQ(stamp.Width(), 250);
  ASSERT_EQ(stamp.Height(), 250);
  int ink = 0;
  for (int y = 0; y < 250; ++y)
    for (int x = 0; x < 250; ++x) {
      if (IsInk(stamp, x, y)) ++ink;
      else EXPECT_GE(RedOf(stamp.Pixel(x, y)), 250);
    }
  EXPECT_GT(ink, 250 * 250 / 3);
  EXPECT_LT(ink, 250 * 250 * 3 / 4);
  // Corners are paper, so rotating the stamp does not cut off ink.
  for (int k = 0; k < 30; ++k) {
    EXPECT_FALSE(IsInk(stamp, k, k));
    EXPECT_FALSE(IsInk(stamp, 249 - k, k));
    EXPECT_FALSE(IsInk(stamp, k, 249 - k));
    EXPECT_FALSE(IsInk(stamp, 249 - k, 249 - k));
  }
}

TEST(OilPastelStamp, KeepsItsInkWhenShrunkToFivePixelsByDroppingPixels) {
  // The smallest stamps are 4 and 5 pixels; the sampled centre pixels must all be ink.
  const Bitmap& stamp = OilPastelStamp();
  for (int size : {4, 5, 6}) {
    int ink = 0;
    for (int j = 0; j < size; ++j)
      for (int i = 0; i < size; ++i) ink += IsInk(stamp, i * 250 / size, j * 250 / size) ? 1 : 0;
    EXPECT_GE(ink, size * size / 3) << size;
    const int middle = (size / 2) * 250 / size;
    EXPECT_TRUE(IsInk(stamp, middle, middle)) << size;
  }
}
