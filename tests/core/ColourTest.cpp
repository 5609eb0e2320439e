#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>

#include "imaging/Colour.h"
#include "imaging/Grey.h"
#include "TestPictures.h"

using namespace brumeleaf;

namespace {

using brumeleaf::testing::Noise;

Bitmap OnePixel(int r, int g, int b) {
  Bitmap p(1, 1);
  p.SetPixel(0, 0, MakeColour(r, g, b));
  return p;
}

Colour AfterBrightness(Colour c, int percent) {
  Bitmap p = OnePixel(RedOf(c), GreenOf(c), BlueOf(c));
  AdjustBrightness(p, percent);
  return p.Pixel(0, 0);
}

}  // namespace

TEST(PointOperations, InvertTwiceRestores) {
  const Bitmap entry = Noise(7, 5, 1);
  Bitmap b(entry);
  InvertColours(b);
  EXPECT_EQ(b.Pixel(3, 2), MakeColour(255 - RedOf(entry.Pixel(3, 2)), 255 - GreenOf(entry.Pixel(3, 2)),
                                      255 - BlueOf(entry.Pixel(3, 2))));
  InvertColours(b);
  EXPECT_EQ(b, entry);
}

TEST(PointOperations, Brightness) {
  const Bitmap entry = Noise(6, 6, 2);
  Bitmap dark(entry), light(entry), same(entry);
  AdjustBrightness(dark, -100);
  AdjustBrightness(light, 100);
  AdjustBrightness(same, 0);
  Bitmap black(6, 6), white(6, 6);
  black.Fill(kBlack);
  EXPECT_EQ(dark, black);
  EXPECT_EQ(light, white);
  EXPECT_EQ(same, entry);
  EXPECT_EQ(AfterBrightness(MakeColour(100, 0, 255), 50), MakeColour(177, 127, 255));  // + 50*(255-c) div 100
  EXPECT_EQ(AfterBrightness(MakeColour(101, 255, 1), -50), MakeColour(51, 128, 1));    // -50.5 truncates to -50
  EXPECT_EQ(AfterBrightness(MakeColour(200, 10, 0), 400), kWhite);                    // clamped
}

TEST(PointOperations, ContrastAroundThePivot) {
  const Bitmap entry = Noise(6, 6, 3);
  Bitmap same(entry);
  AdjustContrast(same, 127, 0);
  EXPECT_EQ(same, entry);

  Bitmap b = OnePixel(127, 124, 200);
  AdjustContrast(b, 127, 50);
  // The pivot stays; 3 below moves by -1 (toward zero, not -2); 73 above moves by 36.
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(127, 123, 236));
  AdjustContrast(b, 127, 1000);
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(127, 83, 255));  // 123 - 4*10
}

// Everyday percentages run in 16-bit lanes, others through a 64-bit table: both must give
// the formula's integers for every level, pivot and percentage.
TEST(PointOperations, BrightnessAndContrastFollowTheFormulaForEveryLevel) {
  Bitmap levels(256, 1);
  for (int v = 0; v < 256; ++v) levels.SetPixel(v, 0, MakeColour(v, v, v));
  auto clamp = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255)); };
  for (int p = -140; p <= 140; ++p) {
    Bitmap b(levels);
    AdjustBrightness(b, p);
    for (int c = 0; c < 256; ++c) {
      const std::int64_t expected = p <= 0 ? c + p * c / 100 : c + p * (255 - c) / 100;
      ASSERT_EQ(RedOf(b.Pixel(c, 0)), clamp(expected)) << "brightness " << p << " level " << c;
    }
    for (int pivot : {0, 127, 255, -20, 300}) {
      Bitmap k(levels);
      AdjustContrast(k, pivot, p);
      for (int c = 0; c < 256; ++c) {
        ASSERT_EQ(RedOf(k.Pixel(c, 0)), clamp(c + static_cast<std::int64_t>(c - pivot) * p / 100))
            << "contrast " << p << " pivot " << pivot << " level " << c;
      }
    }
  }
  Bitmap extreme(levels);
  AdjustContrast(extreme, 127, std::numeric_limits<int>::min());  // 64 bits: no overflow
  EXPECT_EQ(extreme.Pixel(200, 0), kBlack);
  EXPECT_EQ(extreme.Pixel(100, 0), kWhite);
}

TEST(PointOperations, SaturationAroundThePixelMean) {
  Bitmap b(3, 2);
  b.Fill(MakeColour(90, 90, 90));
  b.SetPixel(2, 1, MakeColour(200, 100, 30));  // last row and column change like any other
  AdjustSaturation(b, 50);
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(90, 90, 90));  // grey stays grey
  // Mean 110: 200 + 45, 100 - 5, 30 - 40 clamped to 0.
  EXPECT_EQ(b.Pixel(2, 1), MakeColour(245, 95, 0));
  AdjustSaturation(b, -100);
  EXPECT_EQ(b.Pixel(2, 1), MakeColour(113, 113, 113));  // mean of 245, 95, 0 is 113
  for (int percent : {-300, 25, 900}) {
    Bitmap grey(2, 2);
    grey.Fill(MakeColour(17, 17, 17));
    AdjustSaturation(grey, percent);
    EXPECT_EQ(grey.Pixel(1, 1), MakeColour(17, 17, 17)) << percent;
  }
}

TEST(PointOperations, SaturationStopsAfterTheCurrentRow) {
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap b(2, 3);
  b.Fill(MakeColour(200, 100, 30));
  AdjustSaturation(b, 50, &ctx);
  EXPECT_EQ(b.Pixel(1, 0), MakeColour(245, 95, 0));
  EXPECT_EQ(b.Pixel(1, 1), MakeColour(200, 100, 30));
  EXPECT_EQ(b.Pixel(0, 2), MakeColour(200, 100, 30));
}

TEST(Histograms, CountsAndRunningSums) {
  Bitmap b(4, 2);
  b.Fill(MakeColour(10, 20, 30));
  b.SetPixel(3, 1, MakeColour(255, 20, 0));
  Histogram red, green, blue;
  red.fill(99);  // stale counts are cleared
  ChannelHistograms(b, red, green, blue);
  EXPECT_EQ(red[10], 7);
  EXPECT_EQ(red[255], 1);
  EXPECT_EQ(green[20], 8);
  EXPECT_EQ(blue[0], 1);
  EXPECT_EQ(red[0], 0);

  std::array<float, 256> table{};
  table[0] = 1.5f;
  table[3] = 2.0f;
  table[255] = 0.25f;
  CumulativeSum(table);
  EXPECT_EQ(table[2], 1.5f);
  EXPECT_EQ(table[3], 3.5f);
  EXPECT_EQ(table[254], 3.5f);
  EXPECT_EQ(table[255], 3.75f);
}

TEST(Histograms, EqualizeMapsThroughTheRunningWeights) {
  // Two levels, eight pixels each, exponent 1: 10 -> trunc(8 * 255/16) = 127, 200 -> 255.
  Bitmap b(4, 4);
  b.Fill(MakeColour(10, 10, 10));
  b.FillRect(0, 2, 4, 4, MakeColour(200, 200, 200));
  EqualizeHistogram(b, 1.0f);
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(127, 127, 127));
  EXPECT_EQ(b.Pixel(3, 3), MakeColour(255, 255, 255));

  // Exponent 0 weighs every present level alike: 3 levels -> 85, 170, 255.
  Bitmap three(3, 1);
  three.SetPixel(0, 0, MakeColour(5, 5, 5));
  three.SetPixel(1, 0, MakeColour(6, 6, 6));
  three.SetPixel(2, 0, MakeColour(250, 250, 250));
  EqualizeHistogram(three, 0.0f);
  EXPECT_EQ(RedOf(three.Pixel(0, 0)), 85);
  EXPECT_EQ(RedOf(three.Pixel(1, 0)), 170);
  EXPECT_EQ(RedOf(three.Pixel(2, 0)), 255);

  Bitmap empty;
  EqualizeHistogram(empty, 0.3f);
  EXPECT_TRUE(empty.Empty());
}

TEST(Histograms, EqualizeKeepsTheOrderOfLevels) {
  Bitmap b = Noise(40, 30, 4);
  b.FillRect(0, 0, 20, 10, MakeColour(30, 140, 250));  // a strong peak in every channel
  const Bitmap entry(b);
  EqualizeHistogram(b, 0.23f);
  int mapped[3][256];
  std::fill(&mapped[0][0], &mapped[0][0] + 3 * 256, -1);
  for (int y = 0; y < 30; ++y)
    for (int i = 0; i < 40 * 3; ++i) mapped[i % 3][entry.ScanLine(y)[i]] = b.ScanLine(y)[i];
  for (int ch = 0; ch < 3; ++ch) {
    int previous = 0;
    for (int v = 0; v < 256; ++v) {
      if (mapped[ch][v] < 0) continue;
      EXPECT_GE(mapped[ch][v], previous) << "channel " << ch << " level " << v;
      previous = mapped[ch][v];
    }
  }
  // Absurd exponents stay within the level range instead of converting infinities.
  Bitmap wild(entry);
  EqualizeHistogram(wild, 40.0f);
  EqualizeHistogram(wild, -40.0f);
  const Bitmap before(wild);
  EXPECT_THROW(EqualizeHistogram(wild, std::numeric_limits<float>::quiet_NaN()), ImageError);
  EXPECT_EQ(wild, before);
}

TEST(Hls, KnownColoursOnThe240Scale) {
  auto expect = [](Colour c, int h, int l, int s) {
    const Hls hls = ColorRGBToHLS(c);
    EXPECT_EQ(hls.hue, h) << std::hex << c;
    EXPECT_EQ(hls.luminance, l) << std::hex << c;
    EXPECT_EQ(hls.saturation, s) << std::hex << c;
  };
  expect(MakeColour(255, 0, 0), 0, 120, 240);
  expect(MakeColour(0, 255, 0), 80, 120, 240);
  expect(MakeColour(0, 0, 255), 160, 120, 240);
  expect(MakeColour(127, 127, 127), 160, 120, 0);  // greys get the undefined hue 160
  expect(kWhite, 160, 240, 0);
  expect(kBlack, 160, 0, 0);
  EXPECT_EQ(ColorHLSToRGB(160, 120, 0), MakeColour(127, 127, 127));
  EXPECT_EQ(ColorHLSToRGB(80, 120, 240), MakeColour(0, 255, 0));
  EXPECT_EQ(ColorHLSToRGB(-50, 999, 999), kWhite);  // outside the scale: its ends
}

TEST(Hls, RoundTripWithinOneLevel) {
  for (Colour c : {MakeColour(200, 50, 30), MakeColour(10, 100, 250), MakeColour(255, 255, 0),
                   MakeColour(34, 139, 34), MakeColour(240, 230, 140), MakeColour(1, 2, 3)}) {
    const Hls hls = ColorRGBToHLS(c);
    const Colour back = ColorHLSToRGB(hls.hue, hls.luminance, hls.saturation);
    EXPECT_LE(std::abs(RedOf(back) - RedOf(c)), 1) << std::hex << c;
    EXPECT_LE(std::abs(GreenOf(back) - GreenOf(c)), 1) << std::hex << c;
    EXPECT_LE(std::abs(BlueOf(back) - BlueOf(c)), 1) << std::hex << c;
  }
}

TEST(Hls, BoostSaturation) {
  Bitmap b(4, 1);
  b.SetPixel(0, 0, kBlack);
  b.SetPixel(1, 0, kWhite);
  b.SetPixel(2, 0, MakeColour(127, 127, 127));  // luminance 120
  b.SetPixel(3, 0, MakeColour(150, 100, 90));
  BoostSaturationHLS(b, b);
  EXPECT_EQ(b.Pixel(0, 0), kBlack);
  EXPECT_EQ(b.Pixel(1, 0), kWhite);
  // 120 * (135 div 28 + 100) div 100 = 124, which is grey 131 again.
  EXPECT_EQ(ColorRGBToHLS(b.Pixel(2, 0)).luminance, ColorRGBToHLS(ColorHLSToRGB(160, 124, 0)).luminance);
  EXPECT_EQ(b.Pixel(2, 0), ColorHLSToRGB(160, 124, 0));
  EXPECT_EQ(b.Pixel(2, 0), MakeColour(131, 131, 131));
  const Hls before = ColorRGBToHLS(MakeColour(150, 100, 90));
  const Hls after = ColorRGBToHLS(b.Pixel(3, 0));
  EXPECT_GT(after.saturation, before.saturation);
  EXPECT_NEAR(after.hue, before.hue, 1);

  Bitmap small(2, 2);
  EXPECT_THROW(BoostSaturationHLS(b, small), ImageError);
}

// The grey formulas read a pixel's bytes in blue, green, red order: a strongly red pixel tells a
// swap of red and blue apart, which a grey pixel never would.
TEST(GreyLevels, WeightedAndPencilGreysTakeRedFromTheThirdByte) {
  Bitmap b(3, 1);
  b.SetPixel(0, 0, MakeColour(200, 10, 40));
  b.SetPixel(2, 0, MakeColour(40, 10, 200));
  const std::uint8_t* red = b.ScanLine(0);
  const std::uint8_t* blue = b.ScanLine(0) + 6;
  EXPECT_EQ(WeightedGrey(red), 70);   // (30*200 + 59*10 + 11*40) / 100
  EXPECT_EQ(WeightedGrey(blue), 39);  // (30*40 + 59*10 + 11*200) / 100
  EXPECT_EQ(PencilGrey(red), 70);     // (3*200 + 6*10 + 40) / 10
  EXPECT_EQ(PencilGrey(blue), 38);
  EXPECT_EQ(MeanGrey(red), 83);
  EXPECT_EQ(WeightedGrey(255, 255, 255), 255);
  EXPECT_EQ(PencilGrey(255, 255, 255), 255);
}
