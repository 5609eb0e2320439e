#include <gtest/gtest.h>

#include "imaging/Bitmap.h"
#include "imaging/Progress.h"
#include "imaging/Random.h"

using namespace brumeleaf;

TEST(Bitmap, NewPicturesAreWhiteAndRowsPadded) {
  Bitmap b(5, 3);
  EXPECT_EQ(b.RowDistance(), 16);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(b.Pixel(x, y), kWhite);
}

TEST(Bitmap, RowsAndSizesOutsideTheLimitsAreErrors) {
  Bitmap b(4, 4);
  EXPECT_THROW(b.ScanLine(4), ImageError);
  EXPECT_THROW(b.ScanLine(-1), ImageError);
  EXPECT_THROW(b.Pixel(4, 0), ImageError);
  EXPECT_THROW(Bitmap(32769, 10), ImageError);
  EXPECT_THROW(Bitmap(10, 15002), ImageError);
  EXPECT_NO_THROW(Bitmap(32768, 1));
}

TEST(Bitmap, DrawClipsAndResizeKeepsPixels) {
  Bitmap dst(4, 4);
  dst.Fill(kBlack);
  Bitmap src(3, 3);
  src.Fill(MakeColour(10, 20, 30));
  dst.Draw(2, -1, src);
  EXPECT_EQ(dst.Pixel(3, 0), MakeColour(10, 20, 30));
  EXPECT_EQ(dst.Pixel(3, 2), kBlack);
  EXPECT_EQ(dst.Pixel(1, 0), kBlack);
  dst.Resize(5, 5);
  EXPECT_EQ(dst.Pixel(3, 1), MakeColour(10, 20, 30));
  EXPECT_EQ(dst.Pixel(4, 4), kWhite);
}

TEST(Random, ReproducesTheGeneratorFromSeed1969) {
  Random r(1969);
  // seed1 = 1969 * 134775813 + 1 mod 2^32
  std::uint32_t seed = 1969;
  for (int i = 0; i < 1000; ++i) {
    seed = seed * 134775813u + 1u;
    std::uint32_t expected = static_cast<std::uint32_t>((std::uint64_t(seed) * 1000u) >> 32);
    ASSERT_EQ(r.Next(1000), expected);
  }
  EXPECT_EQ(r.Seed(), seed);
  const std::uint32_t before = r.Seed();
  EXPECT_EQ(r.Next(0), 0u);
  EXPECT_NE(r.Seed(), before);
  // First draw from 1969: 1969 * 134775813 + 1 mod 2^32 = 3380570742.
  Random first(1969);
  EXPECT_EQ(first.NextFloat(), 3380570742.0 / 4294967296.0);
}

TEST(Progress, PercentagesOfTheStatusBar) {
  EXPECT_EQ(ProgressPercent(0, 200, 1, 1), 0);
  EXPECT_EQ(ProgressPercent(199, 200, 1, 1), 100);
  EXPECT_EQ(ProgressPercent(50, 100, 2, 3), 50);
  EXPECT_EQ(ProgressPercent(5, 0, 1, 1), 100);  // no division by zero
  EXPECT_EQ(ProgressPercent(30'000'000, 40'000'000, 1, 1), 75);  // no 32-bit overflow
  EXPECT_EQ(ProgressPercent(1, 2, 1, 0), -1);
  EXPECT_EQ(ClassifyProgress(101, 100, 1, 1), ProgressPhase::End);
  EXPECT_EQ(ClassifyProgress(0, 100, 1, 3), ProgressPhase::Start);
  EXPECT_EQ(ClassifyProgress(100, 100, 2, 3), ProgressPhase::Running);
  EXPECT_EQ(ClassifyProgress(1, 100, 1, 0), ProgressPhase::Ignored);
}

TEST(Progress, StopAtPercentage) {
  EXPECT_TRUE(ShouldStopAtPercent(40, 40, false));
  EXPECT_FALSE(ShouldStopAtPercent(39, 40, false));
  EXPECT_FALSE(ShouldStopAtPercent(100, 100, false));
  EXPECT_FALSE(ShouldStopAtPercent(50, 40, true));
  EXPECT_EQ(StopPercentForMarker(185, 400), 50);
}
