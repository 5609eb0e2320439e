#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "effects/painting/StampBlend.h"
#include "imaging/Random.h"

using namespace brumeleaf;

namespace {

// Random rows with every alpha, strength, paint share and level, padded as the blend needs.
struct RowData {
  std::vector<std::uint8_t> alpha, photo[3], canvas[3];
  std::vector<std::uint16_t> strength, paint;
  explicit RowData(int count, Random& random) {
    const std::size_t n = static_cast<std::size_t>(count) + kStampPadding;
    alpha.resize(n), strength.resize(n), paint.resize(n);
    for (int c = 0; c < 3; ++c) photo[c].resize(n), canvas[c].resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      alpha[i] = static_cast<std::uint8_t>(random.Next(256));
      strength[i] = static_cast<std::uint16_t>(random.Next(2) ? alpha[i] * 10 / 15 : alpha[i] / (1 + random.Next(5)));
      paint[i] = static_cast<std::uint16_t>(random.Next(256));
      for (int c = 0; c < 3; ++c) {
        photo[c][i] = static_cast<std::uint8_t>(random.Next(256));
        canvas[c][i] = static_cast<std::uint8_t>(random.Next(256));
      }
    }
  }
  StampRow Row(int count) {
    return StampRow{alpha.data(), strength.data(), paint.data(), {photo[0].data(), photo[1].data(), photo[2].data()},
                    {canvas[0].data(), canvas[1].data(), canvas[2].data()}, count};
  }
};

}  // namespace

TEST(StampBlend, ThirtyTwoSixteenAndEightAtATimeEqualOneAtATime) {
  Random random(11);
  for (int trial = 0; trial < 3000; ++trial) {
    const int count = 1 + static_cast<int>(random.Next(100));
    RowData grouped(count, random);
    RowData plain = grouped;
    RowData eight = grouped;
    RowData sixteen = grouped;
    RowData thirtyTwo = grouped;
    StampPaint paint;
    paint.divisor = static_cast<StampDivisor>(random.Next(3));
    paint.close = 1 + static_cast<int>(random.Next(86));
    for (int c = 0; c < 3; ++c) {
      // Dark stroke colours make differences of 500 and more (bad pixels) common.
      paint.k[c] = static_cast<int>(random.Next(trial % 2 ? 256 : 40));
      paint.light[c] = std::min(255, 2 * paint.k[c]);
    }
    const std::int64_t limit = trial % 3 == 0 ? -1 : static_cast<std::int64_t>(random.Next(8));
    std::int64_t badGrouped = 0, badPlain = 0;
    const bool a = BlendStampRow(grouped.Row(count), paint, badGrouped, limit);
    const bool b = BlendStampRowPlain(plain.Row(count), paint, badPlain, limit);
    std::int64_t badEight = 0;
    const bool c8 = BlendStampRowSse2(eight.Row(count), paint, badEight, limit);
    // Each width on its own where the processor has it (else a narrower one stands in).
    std::int64_t badSixteen = 0, badThirtyTwo = 0;
    ASSERT_EQ(BlendStampRowWide(sixteen.Row(count), paint, badSixteen, limit, 16), b) << "trial " << trial;
    ASSERT_EQ(BlendStampRowWide(thirtyTwo.Row(count), paint, badThirtyTwo, limit, 32), b) << "trial " << trial;
    ASSERT_EQ(badSixteen, badPlain) << "trial " << trial;
    ASSERT_EQ(badThirtyTwo, badPlain) << "trial " << trial;
    ASSERT_EQ(a, b) << "trial " << trial;
    ASSERT_EQ(c8, b) << "trial " << trial;
    ASSERT_EQ(badGrouped, badPlain) << "trial " << trial;
    ASSERT_EQ(badEight, badPlain) << "trial " << trial;
    for (int c = 0; c < 3; ++c) {
      ASSERT_EQ(grouped.canvas[c], plain.canvas[c]) << "trial " << trial;
      ASSERT_EQ(eight.canvas[c], plain.canvas[c]) << "trial " << trial;
      ASSERT_EQ(sixteen.canvas[c], plain.canvas[c]) << "trial " << trial;
      ASSERT_EQ(thirtyTwo.canvas[c], plain.canvas[c]) << "trial " << trial;
    }
  }
}

TEST(StampBlend, FaintBrushPixelsNeverPaintAndBadPixelsAreCounted) {
  Random random(3);
  RowData row(16, random);
  for (int i = 0; i < 16; ++i) {
    row.alpha[static_cast<std::size_t>(i)] = i < 8 ? 14 : 255;
    row.strength[static_cast<std::size_t>(i)] = 170;
    row.paint[static_cast<std::size_t>(i)] = 255;
    for (int c = 0; c < 3; ++c) {
      row.photo[c][static_cast<std::size_t>(i)] = 255;  // white photo under a black stroke: d = 766
      row.canvas[c][static_cast<std::size_t>(i)] = 200;
    }
  }
  StampPaint black;
  std::int64_t bad = 0;
  EXPECT_TRUE(BlendStampRow(row.Row(16), black, bad, -1));
  EXPECT_EQ(bad, 8);  // only the eight pixels the brush covers
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 16; ++i) EXPECT_EQ(row.canvas[c][static_cast<std::size_t>(i)], 200);  // e < 0: untouched
  bad = 0;
  EXPECT_FALSE(BlendStampRow(row.Row(16), black, bad, 3));
  EXPECT_EQ(bad, 4);
}
