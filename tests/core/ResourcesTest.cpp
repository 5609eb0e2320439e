#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "imaging/Bitmap.h"
#include "resources/PaperTextures.h"
#include "resources/PencilToneStrip.h"

using namespace brumeleaf;

namespace {

bool AllGrey(const Bitmap& b) {
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x, p += 3)
      if (p[0] != p[1] || p[1] != p[2]) return false;
  }
  return true;
}

// A tile of the texture sheet as a level lookup.
struct Tile {
  const Bitmap& sheet;
  int left, top;
  int At(int x, int y) const { return sheet.ScanLine(top + y)[3 * (left + x)]; }
};

Tile TileOf(int n) { return {PaperTextureSheet(), (n % 5) * 256, (n / 5) * 256}; }

// Mean absolute difference between column a and column b (or rows, when `rows`).
double LineDifference(const Tile& t, int a, int b, bool rows) {
  double sum = 0;
  for (int i = 0; i < 256; ++i) sum += rows ? std::abs(t.At(i, a) - t.At(i, b)) : std::abs(t.At(a, i) - t.At(b, i));
  return sum / 256;
}

// The same for interior pairs in the same place of every pattern whose period divides 64
// (the weaves and noise lattices), so that a regular weave is compared like with like.
double InteriorDifference(const Tile& t, int gap, bool rows) {
  double sum = 0;
  for (int a = 64; a < 256; a += 64) sum += LineDifference(t, a - gap, a, rows);
  return sum / 3;
}

double ColumnMean(const Bitmap& b, int x) {
  double sum = 0;
  for (int y = 0; y < b.Height(); ++y) sum += b.ScanLine(y)[3 * x];
  return sum / b.Height();
}

}  // namespace

TEST(PaperTextureSheet, TenGreyTilesCentredOn128) {
  const Bitmap& sheet = PaperTextureSheet();
  ASSERT_EQ(sheet.Width(), 1280);
  ASSERT_EQ(sheet.Height(), 512);
  EXPECT_TRUE(AllGrey(sheet));
  for (int n = 0; n < 10; ++n) {
    const Tile t = TileOf(n);
    double sum = 0, squares = 0;
    for (int y = 0; y < 256; ++y) {
      for (int x = 0; x < 256; ++x) {
        sum += t.At(x, y);
        squares += t.At(x, y) * t.At(x, y);
      }
    }
    const double mean = sum / 65536, deviation = std::sqrt(squares / 65536 - mean * mean);
    EXPECT_NEAR(mean, 128, 3) << "tile " << n;
    // Visible, but a texel of 128 +- 2 deviations still leaves a normal print within +-60.
    EXPECT_GT(deviation, 5) << "tile " << n;
    EXPECT_LT(deviation, 30) << "tile " << n;
  }
}

TEST(PaperTextureSheet, TilesAreSeamless) {
  for (int n = 0; n < 10; ++n) {
    const Tile t = TileOf(n);
    for (bool rows : {false, true}) {
      // Tiled at full size: the last line meets the first.
      EXPECT_LE(LineDifference(t, 255, 0, rows), 1.5 * InteriorDifference(t, 1, rows) + 1) << n << rows;
      // Repeated every 255 pixels, line 254 meets line 0: two steps of the pattern.
      EXPECT_LE(LineDifference(t, 254, 0, rows), 1.5 * InteriorDifference(t, 2, rows) + 1) << n << rows;
    }
  }
}

TEST(PencilToneStrip, ColumnTwoGAveragesLevelG) {
  const Bitmap& strip = PencilToneStrip();
  ASSERT_EQ(strip.Width(), 512);
  ASSERT_EQ(strip.Height(), 166);
  EXPECT_TRUE(AllGrey(strip));
  double last = -1;
  for (int g = 0; g < 256; ++g) {
    const double mean = ColumnMean(strip, 2 * g);
    EXPECT_NEAR(mean, g, 0.5) << "level " << g;
    EXPECT_GT(mean, last) << "level " << g;
    last = mean;
  }
  for (int y = 0; y < strip.Height(); ++y) {
    EXPECT_EQ(strip.Pixel(0, y), kBlack);
    EXPECT_EQ(strip.Pixel(510, y), kWhite);
  }
}

TEST(PencilToneStrip, MidTonesAreHatchedAndRowsDiffer) {
  const Bitmap& strip = PencilToneStrip();
  // At mid grey a column holds both graphite and paper, not a flat level.
  int dark = 0, light = 0;
  for (int y = 0; y < strip.Height(); ++y) {
    const int v = strip.ScanLine(y)[3 * 256];
    dark += v < 100;
    light += v > 156;
  }
  EXPECT_GT(dark, 15);
  EXPECT_GT(light, 15);
  for (int y = 1; y < strip.Height(); ++y) {
    bool differs = false;
    for (int x = 0; x < strip.Width() && !differs; ++x) differs = strip.Pixel(x, y) != strip.Pixel(x, y - 1);
    EXPECT_TRUE(differs) << "row " << y;
  }
}

TEST(GeneratedResources, EveryGenerationIsTheSame) {
  EXPECT_TRUE(MakePaperTextureSheet() == PaperTextureSheet());
  EXPECT_TRUE(MakePencilToneStrip() == PencilToneStrip());
  EXPECT_EQ(&PencilToneStrip(), &PencilToneStrip());
}
