#include <gtest/gtest.h>

#include "effects/Frames.h"
#include "effects/stylised/Vintage.h"
#include "effects/stylised/Vivify.h"
#include "imaging/DivideBy.h"
#include "resources/OldPaper.h"
#include "tests/core/StylisedTestSupport.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

TEST(DivideBy, EqualsIntegerDivisionOverTheSoftenedSums) {
  for (std::uint32_t d = 1; d <= 300; ++d) {
    const DivideBy divide(d);
    for (std::uint32_t n = 0; n <= 70000; ++n) ASSERT_EQ(divide(n), n / d) << n << " div " << d;
  }
}

// ---- Vivify photo ----

TEST(Vivify, AFlatPictureHasNoEdgesAndKeepsItsLevels) {
  StylisedRun run({35, 100, 50, 127, 0});
  Bitmap source = Flat(9, 7, 100), output;
  const Bitmap expected = source;
  VivifyPhoto(source, output, VivifySettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(output, expected);
  EXPECT_EQ(run.sink.calls.front(), (std::array<int, 4>{0, 9, 1, 1}));
  EXPECT_EQ(run.sink.calls.back(), (std::array<int, 4>{100, 100, 1, 1}));
}

TEST(Vivify, EdgesAreDarkenedAndTheRestShifted) {
  // (0,0) = (200,100,50); right (100,100,100); below (200,40,50).
  // g = (100 + 0 + 0 + 60 + 50 + 0) div 4 = 52; e = 52 (256 - 116) div (256 - 0) = 28.
  const Bitmap picture = FromRows(2, 2, {MakeColour(200, 100, 50), Grey(100), MakeColour(200, 40, 50), Grey(30)});
  {
    StylisedRun run({28, 0, 50, 137, 0});
    Bitmap source = picture, output;
    VivifyPhoto(source, output, VivifySettingsFrom(run.ctx), run.ctx);
    EXPECT_EQ(output.Pixel(0, 0), MakeColour(178, 89, 44));  // 227 c div 255
    EXPECT_EQ(output.Pixel(1, 0), Grey(110));                // last column: brightness only
    EXPECT_EQ(output.Pixel(0, 1), MakeColour(210, 50, 60));  // last row
    EXPECT_EQ(output.Pixel(1, 1), Grey(40));
  }
  {
    StylisedRun run({29, 0, 50, 137, 0});  // just above e: not an edge
    Bitmap source = picture, output;
    VivifyPhoto(source, output, VivifySettingsFrom(run.ctx), run.ctx);
    EXPECT_EQ(output.Pixel(0, 0), MakeColour(210, 110, 60));
  }
  {
    StylisedRun run({29, 255, 50, 0, 0});  // T2 255: divisor 1, e = 52 x 140 = 7280 blackens
    Bitmap source = picture, output;
    VivifyPhoto(source, output, VivifySettingsFrom(run.ctx), run.ctx);
    EXPECT_EQ(output.Pixel(0, 0), kBlack);
    EXPECT_EQ(output.Pixel(1, 1), Grey(0));  // 30 - 127 clamps at 0
  }
}

TEST(Vivify, AStopLeavesTheColumnsNotReachedWhite) {
  StylisedRun run({35, 100, 60, 127, 20});
  StopAtReport sink;
  sink.stop = &run.stop;
  sink.at = 2;  // after the first block (column 0)
  run.ctx.SetSink(&sink);
  Bitmap source = SyntheticPhoto(61, 23), output;
  VivifyPhoto(source, output, VivifySettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{0, 61, 1, 1}));
  EXPECT_NE(output.Pixel(0, 5), kWhite);
  EXPECT_EQ(output.Pixel(1, 5), kWhite);
  EXPECT_EQ(output.Pixel(60, 22), kWhite);
}

// ---- Old paper and vintage photo ----

TEST(OldPaper, TileIsNeutralAtRed190AndCarriesDefects) {
  const Bitmap& tile = OldPaperTile();
  ASSERT_EQ(tile.Width(), 57);
  ASSERT_EQ(tile.Height(), 64);
  double sum = 0;
  int lowest = 255, highest = 0;
  for (int y = 0; y < 63; ++y)
    for (int x = 0; x < 56; ++x) {
      const int red = Red(tile, x, y);
      sum += red;
      lowest = std::min(lowest, red);
      highest = std::max(highest, red);
      EXPECT_GT(red, Blue(tile, x, y));  // yellowed paper
    }
  EXPECT_NEAR(sum / (56 * 63), 190.0, 0.5);
  EXPECT_LT(lowest, 165);
  EXPECT_GT(highest, 205);
  for (int y = 0; y < 64; ++y) EXPECT_EQ(tile.Pixel(56, y), tile.Pixel(0, y));  // wraps cleanly
}

TEST(Vintage, SofteningIsInPlaceAndCountsTheNeighboursInside) {
  Bitmap image = FromRows(4, 3, {Grey(10), Grey(20), Grey(30), Grey(40),  //
                                 Grey(50), Grey(0), Grey(70), Grey(80),   //
                                 Grey(90), Grey(100), Grey(110), Grey(120)});
  SoftenInPlace(image, 0);
  EXPECT_EQ(Red(image, 1, 1), 60);  // (10+20+30+50+70+90+100+110) div 8
  EXPECT_EQ(Red(image, 2, 1), 70);  // its left neighbour is already 60, not 0
  EXPECT_EQ(Red(image, 1, 0), 44);  // (10+30+50+60+70) div 5
  EXPECT_EQ(Red(image, 2, 0), 58);  // left neighbour already 44
  EXPECT_EQ(Red(image, 1, 2), 76);
  EXPECT_EQ(Red(image, 2, 2), 81);
  EXPECT_EQ(Red(image, 0, 1), 56);
  EXPECT_EQ(Red(image, 3, 1), 73);
  EXPECT_EQ(Red(image, 0, 0), 10);  // corners unchanged
  EXPECT_EQ(Red(image, 3, 2), 120);

  // A single row: the middle pixel has two neighbours, not five.
  Bitmap row = FromRows(3, 1, {Grey(10), Grey(80), Grey(90)});
  SoftenInPlace(row, 0);
  EXPECT_EQ(Red(row, 1, 0), 50);
  Bitmap column = FromRows(1, 3, {Grey(10), Grey(80), Grey(90)});
  SoftenInPlace(column, 255);
  EXPECT_EQ(Red(column, 0, 1), (100 + 80 * 255) / 257);
}

TEST(Vintage, VignetteDarkensTheCornersOnly) {
  Bitmap image = Flat(81, 61, 255);
  ApplyVignette(image);
  EXPECT_EQ(Red(image, 40, 30), 254);  // 255 x 255 shr 8 inside the inscribed ellipse
  EXPECT_EQ(Red(image, 40, 1), 254);
  EXPECT_LT(Red(image, 0, 0), 120);
  EXPECT_LT(Red(image, 0, 0), Red(image, 6, 5));
  // The 2-pixel pen sits half a pixel off the ring's centre line, so the opposite corners
  // differ a little.
  EXPECT_NEAR(Red(image, 0, 0), Red(image, 80, 60), 25);
  EXPECT_NEAR(Red(image, 80, 0), Red(image, 0, 60), 25);
  Bitmap dot = Flat(1, 1, 255);
  ApplyVignette(dot);  // half side 0: one ring at full level, no division by zero
  EXPECT_EQ(dot.Pixel(0, 0), Grey(254));
}

TEST(Vintage, WithoutStrengthAndColouringTheResultIsTheSoftenedSource) {
  StylisedRun run({0, 35, 50, 255, 127});
  run.ctx.preview = true;  // no vignette
  const Bitmap photo = SyntheticPhoto(37, 29);
  Bitmap source = photo, output;
  VintagePhoto(source, output, VintageSettingsFrom(run.ctx), run.ctx);
  Bitmap expected = photo;
  for (int pass = 0; pass < 4; ++pass) SoftenInPlace(expected, 255 - 35);
  EXPECT_EQ(output, expected);
  EXPECT_EQ(source, expected);
  EXPECT_TRUE(run.sink.calls.empty());  // the preview reports nothing
}

TEST(Vintage, SepiaRowsAndPaperPeriod) {
  {
    StylisedRun run({255, 0, 0, 255, 127});  // no paper: every pixel the sepia of grey 100
    run.ctx.preview = true;
    Bitmap source = Flat(12, 9, 100), output;
    VintagePhoto(source, output, VintageSettingsFrom(run.ctx), run.ctx);
    EXPECT_EQ(output, Uniform(12, 9, MakeColour(137, 120, 93)));  // 420 + 769 + 189 = 1378 etc.
  }
  StylisedRun run({255, 0, 50, 255, 127});
  run.ctx.preview = true;
  Bitmap source = Flat(130, 140, 100), output;
  VintagePhoto(source, output, VintageSettingsFrom(run.ctx), run.ctx);
  for (int y = 1; y < 70; y += 7)
    for (int x = 1; x < 70; x += 5) EXPECT_EQ(output.Pixel(x, y), output.Pixel(x + 56, y + 63));
  double sum = 0;
  for (int y = 1; y < 64; ++y)
    for (int x = 1; x < 57; ++x) sum += Red(output, x, y);
  EXPECT_NEAR(sum / (56 * 63), 137.0, 2.0);  // the paper's mean is neutral
}

TEST(Vintage, StopsBeforeTheNextPass) {
  StylisedRun run({255, 127, 50, 220, 140});
  StopAtReport sink;
  sink.stop = &run.stop;
  sink.at = 3;
  run.ctx.SetSink(&sink);
  Bitmap source = SyntheticPhoto(30, 20), output;
  VintagePhoto(source, output, VintageSettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(sink.calls.size(), 3u);
  EXPECT_EQ(output, Uniform(30, 20, kWhite));
}
