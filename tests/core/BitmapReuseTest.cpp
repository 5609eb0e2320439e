// SetSize to the byte count a picture already has reuses its block: the result must be the
// same as a fresh one.

#include <gtest/gtest.h>

#include "TestPictures.h"
#include "imaging/BitGrid.h"

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

// A picture stored in large pages behaves as any other: the same pixels through copies,
// moves, whitening and resizing; only a large block is aligned for those pages, and a plain
// copy goes back to ordinary memory.
TEST(BitmapPages, LargePagesKeepEveryPixelThroughCopiesMovesAndResizes) {
  const Bitmap photo = brumeleaf::testing::Noise(1301, 2311, 7);  // 9 MB: above the large-page threshold
  Bitmap large(photo, PixelPages::kLarge);
  EXPECT_EQ(large.Pages(), PixelPages::kLarge);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large.Data()) % (std::uintptr_t{2} << 20), 0u);
  EXPECT_EQ(large, photo);

  const Bitmap plain(large);
  EXPECT_EQ(plain.Pages(), PixelPages::kOrdinary);
  EXPECT_EQ(plain, photo);

  Bitmap moved(std::move(large));
  EXPECT_EQ(moved.Pages(), PixelPages::kLarge);
  EXPECT_EQ(moved, photo);
  moved.Resize(1302, 2311);  // a new block, still in large pages, the old pixels kept
  EXPECT_EQ(moved.Pages(), PixelPages::kLarge);
  EXPECT_EQ(moved.Pixel(1300, 2310), photo.Pixel(1300, 2310));
  EXPECT_EQ(moved.Pixel(1301, 17), kWhite);

  Bitmap small(photo, PixelPages::kLarge);
  small.SetSize(7, 3, PixelPages::kLarge);  // a small block: ordinary memory under the same label
  EXPECT_EQ(small, Bitmap(7, 3));
  small.SetSize(7, 3, PixelPages::kOrdinary);
  EXPECT_EQ(small.Pages(), PixelPages::kOrdinary);
  EXPECT_EQ(small, Bitmap(7, 3));
  Bitmap assigned(5, 5);
  assigned = moved;  // an assignment keeps the target's storage
  EXPECT_EQ(assigned.Pages(), PixelPages::kOrdinary);
  EXPECT_EQ(assigned, moved);

  // A search map of a camera-size picture (1.5 MB) in large pages, its last bit included.
  BitGrid bits(4000, 3000, false, PixelPages::kLarge);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bits.Row(0)) % (std::uintptr_t{2} << 20), 0u);
  BitGrid::Set(bits.Row(2999), 3999, true);
  EXPECT_TRUE(bits.Test(3999, 2999));
  EXPECT_FALSE(bits.Test(3998, 2999));
}
