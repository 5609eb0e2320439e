// SetSize to the byte count a picture already has reuses its block: the result must be the
// same as a fresh one.

#include <gtest/gtest.h>

#include "TestPictures.h"

using namespace brumeleaf;

TEST(BitmapSetSize, TheSameByteCountGivesAWhitePictureOfTheNewShape) {
  Bitmap b(4, 3);  // rows of 12 bytes: 36 bytes
  b.Fill(MakeColour(200, 10, 40));
  b.SetSize(12, 1);  // one row of 36 bytes
  EXPECT_EQ(b, Bitmap(12, 1));
  EXPECT_EQ(b.Width(), 12);
  EXPECT_EQ(b.Height(), 1);
  b.Fill(kBlack);
  b.SetSize(12, 1);
  EXPECT_EQ(b.Pixel(11, 0), kWhite);
  b.SetSize(5, 2);  // rows padded to 16 bytes: a new block
  EXPECT_EQ(b, Bitmap(5, 2));
  EXPECT_THROW(b.SetSize(-1, 2), ImageError);
  EXPECT_EQ(b, Bitmap(5, 2));
}
