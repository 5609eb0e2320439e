#include <gtest/gtest.h>

#include "DrawingTestPictures.h"
#include "effects/drawing/Halftone.h"
#include "effects/Frames.h"
#include "effects/drawing/InkFrames.h"

using namespace brumeleaf;
using namespace brumeleaf::inktests;

namespace {

Bitmap Lines(const Bitmap& source, int abstraction, int colourIntensity) {
  Random random(1);
  RunContext ctx(Sliders(26, abstraction, 45, colourIntensity, 0, 0), random);
  Bitmap lines(source.Width(), source.Height());
  DrawHalftoneLines(source, lines, ctx);
  return lines;
}

Bitmap Halftone(const Bitmap& source, int abstraction, int angle, int colourIntensity) {
  Random random(1);
  RunContext ctx(Sliders(26, abstraction, angle, colourIntensity, 0, 0), random);
  Bitmap result;
  FrameHalfToneLines(source, result, ctx);
  return result;
}

}  // namespace

TEST(Halftone, WhiteStaysWhiteInFullColour) {
  EXPECT_EQ(Lines(Flat(80, 60, 255), 12, 100), Flat(80, 60, 255));
  EXPECT_EQ(Halftone(Flat(70, 50, 255), 12, 45, 100), Flat(70, 50, 255));
  EXPECT_EQ(Halftone(Flat(70, 50, 255), 12, 0, 100), Flat(70, 50, 255));
}

TEST(Halftone, WhiteInGreyGivesThinLightLinesOnEveryLineRow) {
  // Cell 10: line rows yc = y0 + 15. On white the thickness settles at 1.1: no body
  // (Floor(0.55) = 0), end pixels at rows yc - 1 and yc. Line level (255 * 100) div 165 = 154;
  // fractional part Floor(0.1 * 255) = 25 fades it to (25 * 154 + 230 * 255) div 255 = 245;
  // the end colour is (154 + 245 + 245) div 3 = 214 once the previous end is 245 too.
  const Bitmap lines = Lines(Flat(80, 60, 255), 12, 0);
  for (int y = 0; y < 60; ++y) {
    // Cell rows y0 = 0, 10, ..., 40 (the routine stops at y0 >= 60 - 10 - 5 - 1).
    const bool lineRow = y >= 14 && y <= 55 && (y % 10 == 4 || y % 10 == 5);
    for (int x = 2; x < 60; ++x) {
      const int expected = lineRow ? 214 : 255;
      ASSERT_EQ(lines.Pixel(x, y), MakeColour(expected, expected, expected)) << x << "," << y;
    }
  }
  // The very first column starts from thickness 0: (154 + 255 + 255) div 3 = 221.
  EXPECT_EQ(lines.Pixel(0, 15), MakeColour(221, 221, 221));
  EXPECT_EQ(lines.Pixel(1, 15), MakeColour(218, 218, 218));
}

TEST(Halftone, BlackThickensTowardsTheCellAndKeepsTheSourceColour) {
  // Cell 24 (abstraction 40) on a dark red picture: the line takes the cell-centre colour and
  // its thickness grows towards the cell size, limited to 22.5 (Floor(22.5 / 2) = 11 rows
  // either side of the line row).
  Bitmap red = Flat(200, 120, 0);
  red.Fill(MakeColour(40, 0, 0));
  const Bitmap lines = Lines(red, 40, 100);
  const int lineRow = 24 + 12;
  EXPECT_EQ(lines.Pixel(150, lineRow), MakeColour(40, 0, 0));
  EXPECT_EQ(lines.Pixel(150, lineRow - 11), MakeColour(40, 0, 0));
  EXPECT_EQ(lines.Pixel(150, lineRow + 10), MakeColour(40, 0, 0));
  EXPECT_NE(lines.Pixel(5, lineRow - 11), MakeColour(40, 0, 0));  // still swelling at the left
}

TEST(Halftone, NarrowTallPicturesAndThickLinesStayInside) {
  // Cell 131 (abstraction 255) on a black picture narrower than a cell and a half: reads and
  // the end pixels of the thick line are kept inside the picture.
  for (int width : {1, 20, 100, 145, 197}) {
    const Bitmap lines = Lines(Flat(width, 400, 0), 255, 100);
    EXPECT_EQ(lines.Width(), width);
    EXPECT_EQ(lines.Height(), 400);
  }
  const Bitmap lines = Lines(Flat(300, 200, 0), 255, 0);
  EXPECT_EQ(lines.Height(), 200);
}

TEST(Halftone, AnySizeAndAngleGivesAPictureOfTheSourceSize) {
  for (auto [w, h] : {std::pair{1, 1}, {1, 6}, {6, 1}, {2, 2}, {31, 17}}) {
    for (int angle : {0, 45, 90, 200, 360}) {
      const Bitmap result = Halftone(Scene(w, h), 0, angle, 50);
      EXPECT_EQ(result.Width(), w);
      EXPECT_EQ(result.Height(), h);
    }
  }
}

TEST(Halftone, PreviewMatchesTheRunWithoutReportingProgress) {
  const Bitmap crop = Scene(120, 90);
  Random random(1);
  RunContext ctx(Sliders(26, 12, 30, 70, 0, 0), random);
  StoppingSink sink;
  sink.Attach(ctx);
  ctx.preview = true;
  Bitmap preview;
  PreviewHalfToneLines(crop, preview, ctx);
  EXPECT_TRUE(sink.calls.empty());
  EXPECT_EQ(preview, Halftone(crop, 12, 30, 70));
}
