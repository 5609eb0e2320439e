#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <vector>

#include "imaging/Filters.h"
#include "TestPictures.h"

using namespace brumeleaf;

namespace {

using brumeleaf::testing::Flat;
using brumeleaf::testing::Noise;

int Level(const Bitmap& b, int x, int y, int ch) { return b.ScanLine(y)[3 * x + ch]; }
void SetLevel(Bitmap& b, int x, int y, int ch, int v) {
  b.ScanLine(y)[3 * x + ch] = static_cast<std::uint8_t>(v);
}

int Sum3x3(const Bitmap& b, int x, int y, int ch) {
  int s = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) s += Level(b, x + dx, y + dy, ch);
  return s;
}

// Applies `pixel` to every interior pixel and channel, reading the entry picture.
Bitmap Interior3x3(const Bitmap& entry, const std::function<int(const Bitmap&, int, int, int)>& pixel) {
  Bitmap out(entry);
  for (int y = 1; y + 1 < entry.Height(); ++y)
    for (int x = 1; x + 1 < entry.Width(); ++x)
      for (int ch = 0; ch < 3; ++ch) SetLevel(out, x, y, ch, pixel(entry, x, y, ch));
  return out;
}

}  // namespace

TEST(Sharpen, LevelsFromTheFormula) {
  Bitmap flat = Flat(5, 5, 100);
  Sharpen(flat);
  EXPECT_EQ(flat, Flat(5, 5, 100));  // (500 - 100) shr 2

  Bitmap whiteInBlack = Flat(3, 3, 0);
  whiteInBlack.SetPixel(1, 1, kWhite);
  Sharpen(whiteInBlack);
  EXPECT_EQ(whiteInBlack.Pixel(1, 1), kWhite);  // v = 1275 >= 1024

  Bitmap blackInWhite = Flat(3, 3, 255);
  blackInWhite.SetPixel(1, 1, kBlack);
  Sharpen(blackInWhite);
  EXPECT_EQ(blackInWhite.Pixel(1, 1), kBlack);  // v < 0
  EXPECT_EQ(blackInWhite.Pixel(0, 0), kWhite);  // borders keep their levels

  // v between 1020 and 1023 still gives 255 by shr 2; the clamp starts only at 1024.
  Bitmap nearTop = Flat(3, 3, 0);
  nearTop.SetPixel(1, 1, MakeColour(204, 204, 204));  // v = 1020
  Sharpen(nearTop);
  EXPECT_EQ(nearTop.Pixel(1, 1), MakeColour(255, 255, 255));
}

TEST(ThreeByThreeFilters, MatchTheirFormulasFromTheEntryPicture) {
  const Bitmap entry = Noise(13, 7, 5);
  Bitmap sharpened(entry);
  Sharpen(sharpened);
  EXPECT_EQ(sharpened, Interior3x3(entry, [](const Bitmap& b, int x, int y, int ch) {
              const int v = 5 * Level(b, x, y, ch) - ((Sum3x3(b, x, y, ch) - Level(b, x, y, ch)) >> 3);
              return v < 0 ? 0 : (v >= 1024 ? 255 : v >> 2);
            }));
  Bitmap blurred(entry);
  BoxBlur3(blurred);
  EXPECT_EQ(blurred, Interior3x3(entry, [](const Bitmap& b, int x, int y, int ch) {
              return Sum3x3(b, x, y, ch) / 9;
            }));
}

TEST(ThreeByThreeFilters, PicturesWithoutInteriorAreUnchanged) {
  for (auto [w, h] : {std::pair{2, 6}, std::pair{6, 2}, std::pair{1, 1}, std::pair{0, 0}}) {
    const Bitmap entry = Noise(w, h, 7);
    Bitmap sharpened(entry), blurred(entry);
    Sharpen(sharpened);
    BoxBlur3(blurred);
    EXPECT_EQ(sharpened, entry) << w << "x" << h;
    EXPECT_EQ(blurred, entry) << w << "x" << h;
  }
}

TEST(SoftBlur, OneHighPictureTakesRowMeansExceptTheEnds) {
  Bitmap row(5, 1);
  const int levels[5] = {0, 30, 90, 200, 255};
  for (int x = 0; x < 5; ++x) row.SetPixel(x, 0, MakeColour(levels[x], levels[x], levels[x]));
  SoftBlur(row);
  const int expected[5] = {0, 40, 106, 181, 255};  // (0+30+90)/3, (30+90+200)/3, (90+200+255)/3
  for (int x = 0; x < 5; ++x) EXPECT_EQ(RedOf(row.Pixel(x, 0)), expected[x]) << x;
}

TEST(SoftBlur, ThreeByThreeChangesCentreAndEdgeMiddlesOnly) {
  Bitmap b(3, 3);
  const int levels[3][3] = {{10, 20, 30}, {40, 250, 60}, {70, 80, 90}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) b.SetPixel(x, y, MakeColour(levels[y][x], 0, 255 - levels[y][x]));
  SoftBlur(b);
  // Centre: a = 650 div 9 = 72; (2*72 + 250) div 3 = 131.
  EXPECT_EQ(RedOf(b.Pixel(1, 1)), 131);
  EXPECT_EQ(RedOf(b.Pixel(1, 0)), 20);   // (10+20+30)/3
  EXPECT_EQ(RedOf(b.Pixel(1, 2)), 80);   // (70+80+90)/3
  EXPECT_EQ(RedOf(b.Pixel(0, 1)), 40);   // (10+40+70)/3
  EXPECT_EQ(RedOf(b.Pixel(2, 1)), 60);   // (30+60+90)/3
  EXPECT_EQ(BlueOf(b.Pixel(0, 1)), 215); // (245+215+185)/3, blue channel on its own
  const int corners[4][2] = {{0, 0}, {2, 0}, {0, 2}, {2, 2}};
  for (auto [x, y] : corners) EXPECT_EQ(RedOf(b.Pixel(x, y)), levels[y][x]);
}

TEST(SoftBlur, EveryPixelComesFromTheEntryPicture) {
  const Bitmap entry = Noise(9, 6, 11);
  Bitmap out(entry);
  SoftBlur(out);
  const int w = 9, h = 6;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool xEdge = x == 0 || x == w - 1, yEdge = y == 0 || y == h - 1;
      for (int ch = 0; ch < 3; ++ch) {
        int expected = Level(entry, x, y, ch);
        if (!xEdge && !yEdge) {
          expected = (2 * (Sum3x3(entry, x, y, ch) / 9) + expected) / 3;
        } else if (yEdge && !xEdge) {
          expected = (Level(entry, x - 1, y, ch) + expected + Level(entry, x + 1, y, ch)) / 3;
        } else if (xEdge && !yEdge) {
          expected = (Level(entry, x, y - 1, ch) + expected + Level(entry, x, y + 1, ch)) / 3;
        }
        ASSERT_EQ(Level(out, x, y, ch), expected) << x << "," << y << " ch " << ch;
      }
    }
  }
}

namespace {

// The window sums taken literally: the white padded picture with the four copies, and every
// 81-level window summed afresh.
Bitmap LocalContrastReference(const Bitmap& entry, int strength, const SourceMean& mean) {
  const int w = entry.Width(), h = entry.Height();
  Bitmap padded(w + 18, h + 18);
  padded.Draw(0, 0, entry);
  padded.Draw(9, 0, entry);
  padded.Draw(0, 9, entry);
  padded.Draw(9, 9, entry);
  const std::int64_t g[3] = {mean.blue, mean.green, mean.red};
  Bitmap out(entry);
  for (int r = 5; r <= h + 3; ++r) {
    for (int k = 5; k <= w + 3; ++k) {
      for (int ch = 0; ch < 3; ++ch) {
        int s = 0;
        for (int dy = 0; dy < 9; ++dy)
          for (int dx = 0; dx < 9; ++dx) s += Level(padded, k + dx, r + dy, ch);
        const int c = Level(padded, k + 4, r + 4, ch);
        const std::int64_t ref = (2 * ((s - c) / 80) + g[ch]) / 3;
        const std::int64_t v = c + (c - ref) * strength / 100;
        SetLevel(out, k - 5, r - 5, ch, v < 0 ? 0 : (v > 255 ? 255 : static_cast<int>(v)));
      }
    }
  }
  return out;
}

}  // namespace

TEST(EnhanceLocalContrast, SlidingSumsGiveTheSameIntegersAsFullWindows) {
  const SourceMean mean{90, 149, 200};
  // Sizes below, around and above the 9-pixel padding, where the copies overlap differently.
  for (auto [w, h] : {std::pair{23, 17}, std::pair{5, 12}, std::pair{10, 9}, std::pair{2, 2}}) {
    const Bitmap entry = Noise(w, h, static_cast<std::uint32_t>(w * 100 + h));
    for (int strength : {35, -60, 250}) {
      Bitmap out(entry);
      EnhanceLocalContrast(out, strength, mean);
      ASSERT_EQ(out, LocalContrastReference(entry, strength, mean))
          << w << "x" << h << " strength " << strength;
    }
  }
  // The largest sums (a white window: 81 * 255, kept in 16 bits) and white next to black.
  Bitmap white(31, 12);
  Bitmap halves(31, 12);
  halves.FillRect(0, 0, 15, 12, MakeColour(0, 0, 0));
  for (const Bitmap* entry : {&white, &halves}) {
    Bitmap out(*entry);
    EnhanceLocalContrast(out, 250, mean);
    ASSERT_EQ(out, LocalContrastReference(*entry, 250, mean));
  }
}

TEST(EnhanceLocalContrast, StrengthZeroAndTheLastRowAndColumn) {
  const Bitmap entry = Noise(14, 11, 3);
  Bitmap same(entry);
  EnhanceLocalContrast(same, 0, SourceMean{});
  EXPECT_EQ(same, entry);

  Bitmap strong(entry);
  EnhanceLocalContrast(strong, 300, SourceMean{});
  EXPECT_NE(strong, entry);
  for (int x = 0; x < 14; ++x) EXPECT_EQ(strong.Pixel(x, 10), entry.Pixel(x, 10));
  for (int y = 0; y < 11; ++y) EXPECT_EQ(strong.Pixel(13, y), entry.Pixel(13, y));
}

namespace {

// Literal in-place detail enhancement: the window is read from the picture as it is being
// written, pixel by pixel.
void DetailReference(Bitmap& image, int strength) {
  for (int y = 2; y + 2 < image.Height(); ++y) {
    for (int x = 2; x + 2 < image.Width(); ++x) {
      int c[3], d[3];
      for (int ch = 0; ch < 3; ++ch) {
        int s = 0;
        for (int dy = -2; dy <= 2; ++dy)
          for (int dx = -2; dx <= 2; ++dx) s += Level(image, x + dx, y + dy, ch);
        c[ch] = Level(image, x, y, ch);
        d[ch] = c[ch] - (s - c[ch]) / 24;
      }
      const int t = std::abs(d[0] + d[1] + d[2]) / 3;
      for (int ch = 0; ch < 3; ++ch) SetLevel(image, x, y, ch, ClampLevel(c[ch] + d[ch] * t / (256 - strength)));
    }
  }
}

}  // namespace

TEST(EnhanceDetail, InPlaceFeedsEarlierOutputsIntoLaterWindows) {
  const Bitmap entry = Noise(17, 12, 21);
  for (int strength : {15, 20, 25, -100}) {
    Bitmap fast(entry), literal(entry);
    EnhanceDetail(fast, fast, strength);
    DetailReference(literal, strength);
    ASSERT_EQ(fast, literal) << strength;
  }
  // Into another picture every window comes from the untouched source.
  Bitmap source(entry), separate(entry.Width(), entry.Height());
  EnhanceDetail(source, separate, 20);
  EXPECT_EQ(source, entry);
  Bitmap onePixel(entry);
  DetailReference(onePixel, 20);
  EXPECT_EQ(separate.Pixel(2, 2), onePixel.Pixel(2, 2));  // the first window is the same
  EXPECT_NE(separate.Pixel(3, 3), onePixel.Pixel(3, 3));  // later ones see earlier outputs
  EXPECT_EQ(separate.Pixel(0, 0), kWhite);                // outer rows and columns not written
}

TEST(EnhanceDetail, FlatPicturesAndBadArguments) {
  Bitmap flat = Flat(9, 9, 77);
  EnhanceDetail(flat, flat, 20);
  EXPECT_EQ(flat, Flat(9, 9, 77));

  Bitmap picture = Noise(8, 8, 2);
  const Bitmap entry(picture);
  EXPECT_THROW(EnhanceDetail(picture, picture, 256), ImageError);  // would divide by zero
  EnhanceDetail(picture, picture, std::numeric_limits<int>::min());  // a huge divisor: no change
  EXPECT_EQ(picture, entry);
  Bitmap smaller(4, 4);
  EXPECT_THROW(EnhanceDetail(picture, smaller, 20), ImageError);
  EXPECT_EQ(picture, entry);
}

TEST(RankSelection, HistogramRankValue) {
  const std::uint8_t window[9] = {50, 10, 10, 200, 30, 30, 30, 90, 10};
  EXPECT_EQ(HistogramRankValue(window, 8, 10, 0), 10);   // target 0: the start level itself
  EXPECT_EQ(HistogramRankValue(window, 8, 10, 4), 30);   // (9-1) div 2: 4 levels at or below
  EXPECT_EQ(HistogramRankValue(window, 8, 10, 9), 200);
  EXPECT_EQ(HistogramRankValue(window, 8, 10, 10), 0);   // never reached
  EXPECT_EQ(HistogramRankValue(window, 8, 40, 2), 90);   // counting starts at the start level
  EXPECT_EQ(HistogramRankValue(window, 8, 300, 0), 0);   // a start above 255 reads no bin
  EXPECT_EQ(HistogramRankValue(window, 8, -5, 3), 10);
}

TEST(RankSelection, CountingSortBytes) {
  CountingSortBytes(nullptr, 0, true);  // empty: nothing happens
  std::vector<std::uint8_t> bytes = {7, 255, 0, 7, 3, 128, 0};
  CountingSortBytes(bytes.data(), bytes.size(), true);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0, 0, 3, 7, 7, 128, 255}));
  CountingSortBytes(bytes.data(), bytes.size(), false);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{255, 128, 7, 7, 3, 0, 0}));
}
