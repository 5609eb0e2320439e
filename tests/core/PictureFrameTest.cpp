#include "pipeline/PictureFrame.h"

#include <gtest/gtest.h>

#include <atomic>

#include "pipeline/Finalize.h"
#include "resources/FramePhotographs.h"
#include "SyntheticPhoto.h"
#include "TestPictures.h"

namespace brumeleaf {
namespace {

using testing::Flat;
using testing::SyntheticPhoto;

constexpr Colour kFill = MakeColour(200, 10, 60);  // red, green, blue all different
constexpr Colour kLine = MakeColour(20, 230, 140);

PictureFrameOptions Options(int style, int margin, int spacing = 75) {
  PictureFrameOptions o;
  o.style = style;
  o.marginText = std::to_string(margin);
  o.spacingText = std::to_string(spacing);
  o.fillColour = static_cast<int>(kFill);
  o.lineColour = static_cast<int>(kLine);
  return o;
}

// A photograph of w x h with a dark border of `border` pixels around a white opening.
Bitmap BorderedPhotograph(int w, int h, int border) {
  Bitmap b(w, h);
  b.Fill(MakeColour(90, 60, 30));
  b.FillRect(border, border, w - border, h - border, kWhite);
  return b;
}

TEST(PictureFrame, MarginsPutThePictureInTheMiddleWithTwoRingsInTheFill) {
  Random random(1);
  RunContext ctx({}, random);
  const Bitmap photo = SyntheticPhoto(400, 300);
  Bitmap result = photo;
  ASSERT_EQ(AddPictureFrame(result, Options(0, 150), ctx), "");
  ASSERT_EQ(result.Width(), 550);
  ASSERT_EQ(result.Height(), 450);
  EXPECT_EQ(result.Pixel(74, 200), kFill);
  EXPECT_EQ(result.Pixel(75, 200), kFill);   // outermost ring of the picture
  EXPECT_EQ(result.Pixel(76, 200), kFill);   // second ring
  EXPECT_EQ(result.Pixel(77, 200), photo.Pixel(2, 125));
  EXPECT_EQ(result.Pixel(474, 374), kFill);
  EXPECT_EQ(result.Pixel(472, 372), photo.Pixel(397, 297));
  EXPECT_EQ(result.Pixel(549, 449), kFill);

  // Odd margins: 75 on the left and top, 76 on the right and bottom.
  result = photo;
  ASSERT_EQ(AddPictureFrame(result, Options(0, 151), ctx), "");
  EXPECT_EQ(result.Width(), 551);
  EXPECT_EQ(result.Pixel(77, 77), photo.Pixel(2, 2));
  EXPECT_EQ(result.Pixel(75 + 397, 75 + 297), photo.Pixel(397, 297));

  // No margin: the picture keeps its size and only its two outer rings change.
  result = photo;
  ASSERT_EQ(AddPictureFrame(result, Options(0, 0), ctx), "");
  EXPECT_EQ(result, photo);
}

TEST(PictureFrame, TheLineOfTheLinedFrameRunsTwoPixelsOutsideTheMargin) {
  Random random(1);
  RunContext ctx({}, random);
  Bitmap result = SyntheticPhoto(400, 300);
  ASSERT_EQ(AddPictureFrame(result, Options(1, 150), ctx), "");
  for (int y : {72, 200, 377}) {
    EXPECT_EQ(result.Pixel(72, y), kLine) << y;
    EXPECT_EQ(result.Pixel(477, y), kLine) << y;
  }
  for (int x : {72, 300, 477}) {
    EXPECT_EQ(result.Pixel(x, 72), kLine) << x;
    EXPECT_EQ(result.Pixel(x, 377), kLine) << x;
  }
  EXPECT_EQ(result.Pixel(71, 200), kFill);
  EXPECT_EQ(result.Pixel(73, 200), kFill);
  EXPECT_EQ(result.Pixel(478, 200), kFill);
  // A margin below 5 puts the line partly outside the picture, without harm.
  result = SyntheticPhoto(40, 30);
  ASSERT_EQ(AddPictureFrame(result, Options(1, 2), ctx), "");
  EXPECT_EQ(result.Width(), 42);
}

TEST(PictureFrame, InnerShadowFadesOverTenPixelsAndStaysInsideThePicture) {
  Bitmap b = Flat(30, 30, 200);
  AddInnerShadow(b, 0, 0, 30, 30);
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(120, 120, 120));   // 80 at the edge
  EXPECT_EQ(b.Pixel(9, 20), MakeColour(192, 192, 192));  // 8 at distance 9
  EXPECT_EQ(b.Pixel(10, 20), MakeColour(200, 200, 200));
  EXPECT_EQ(b.Pixel(20, 5), MakeColour(160, 160, 160));  // the row band
  EXPECT_EQ(b.Pixel(3, 5), MakeColour(144, 144, 144));   // the nearer edge wins
  // Dark pixels stop at 0; a rectangle reaching past the picture touches only the picture.
  Bitmap dark = Flat(5, 4, 30);
  AddInnerShadow(dark, 2, 1, 40, 40);
  EXPECT_EQ(dark.Pixel(2, 1), kBlack);
  EXPECT_EQ(dark.Pixel(1, 1), MakeColour(30, 30, 30));
  EXPECT_EQ(dark.Pixel(4, 0), MakeColour(30, 30, 30));
  AddInnerShadow(dark, -20, -20, 3, 3);
  SmoothShadowCorner(dark);
  Bitmap one = Flat(1, 1, 100);
  SmoothShadowCorner(one);
  EXPECT_EQ(one.Pixel(0, 0), MakeColour(100, 100, 100));
}

TEST(PictureFrame, TriptychPanelsFollowTheWidthAndSpacing) {
  const Bitmap photo = SyntheticPhoto(300, 200);
  Bitmap t = photo;
  ASSERT_TRUE(MakeTriptych(t, 0, 0, kFill));
  ASSERT_EQ(t.Width(), 299);
  ASSERT_EQ(t.Height(), 200);
  EXPECT_EQ(t.Pixel(15, 15), photo.Pixel(15, 15));
  EXPECT_EQ(t.Pixel(115, 15), photo.Pixel(115, 15));
  EXPECT_EQ(t.Pixel(215, 198), photo.Pixel(215, 198));
  EXPECT_EQ(t.Pixel(298, 100), photo.Pixel(298, 100));  // the third panel is cut to 99 columns
  EXPECT_EQ(t.Pixel(50, 199), kFill);                    // panels have 199 rows

  t = photo;
  ASSERT_TRUE(MakeTriptych(t, 150, 75, kFill));
  ASSERT_EQ(t.Width(), 599);
  ASSERT_EQ(t.Height(), 350);
  for (int k = 0; k < 3; ++k) {
    const int xk = 75 + k * 175;
    EXPECT_EQ(t.Pixel(xk + 15, 90), photo.Pixel(k * 100 + 15, 15)) << k;
    EXPECT_EQ(t.Pixel(xk + 99, 75 + 198), photo.Pixel(k * 100 + 99, 198)) << k;
    EXPECT_EQ(t.Pixel(xk + 100, 150), kFill) << k;
    EXPECT_EQ(t.Pixel(xk + 50, 75 + 199), kFill) << k;
    EXPECT_EQ(t.Pixel(xk + 50, 74), kFill) << k;
  }
  // A picture one pixel wide without margin would give nothing: it is kept.
  Bitmap thin = SyntheticPhoto(1, 7);
  EXPECT_FALSE(MakeTriptych(thin, 0, 0, kFill));
  EXPECT_EQ(thin, SyntheticPhoto(1, 7));
}

TEST(PictureFrame, OpeningIsFoundByItsPackedThreshold) {
  EXPECT_TRUE(IsFrameOpening(0xD2F000));
  EXPECT_FALSE(IsFrameOpening(0xD2EFFF));
  EXPECT_TRUE(IsFrameOpening(MakeColour(0, 0, 0xD3)));   // blue is the high byte
  EXPECT_FALSE(IsFrameOpening(MakeColour(255, 255, 0xD1)));
  const FrameOpening o = FindFrameOpening(BorderedPhotograph(100, 80, 10));
  EXPECT_EQ(o.left, 10);
  EXPECT_EQ(o.right, 8);
  EXPECT_EQ(o.top, 10);
  EXPECT_EQ(o.bottom, 8);
  // No opening at the quarter points: the whole photograph counts.
  const FrameOpening none = FindFrameOpening(Flat(50, 40, 20));
  EXPECT_EQ(none.left + none.right + none.top + none.bottom, 0);
}

TEST(PictureFrame, PhotographIsScaledAroundThePictureAndTurnedForPortraits) {
  const Bitmap frame = BorderedPhotograph(100, 80, 10);
  const Bitmap photo = SyntheticPhoto(40, 32);
  Bitmap p = photo;
  ASSERT_TRUE(AddPhotographFrame(p, frame, false, 0, 0, 0));
  // sx = 40 * 20000 / 82 = 9756, sy = 32 * 20000 / 62 = 10322.
  ASSERT_EQ(p.Width(), 48);
  ASSERT_EQ(p.Height(), 40);
  EXPECT_EQ(p.Pixel(4, 5), photo.Pixel(0, 0));
  EXPECT_EQ(p.Pixel(43, 36), photo.Pixel(39, 31));
  EXPECT_EQ(p.Pixel(0, 0), MakeColour(90, 60, 30));

  Bitmap portrait = SyntheticPhoto(32, 40);
  ASSERT_TRUE(AddPhotographFrame(portrait, frame, false, 0, 0, 0));
  EXPECT_LT(portrait.Width(), portrait.Height());

  // The tint is added to the photograph, clamped.
  Bitmap tinted = photo;
  ASSERT_TRUE(AddPhotographFrame(tinted, frame, true, 255, -255, 10));
  EXPECT_EQ(tinted.Pixel(0, 0), MakeColour(255, 0, 40));

  // A picture one pixel high would give a frame of no height: kept as it is.
  Bitmap line = SyntheticPhoto(30, 1);
  EXPECT_FALSE(AddPhotographFrame(line, frame, false, 0, 0, 0));
  EXPECT_EQ(line, SyntheticPhoto(30, 1));
}

TEST(PictureFrame, FailuresKeepTheDrawingAndSaySo) {
  Random random(1);
  RunContext ctx({}, random);
  // The margin canvas would pass the width limit.
  Bitmap wide(kMaxWidth - 5, 2);
  wide.Fill(kWhite);
  const Bitmap before = wide;
  EXPECT_NE(AddPictureFrame(wide, Options(0, 150), ctx), "");
  EXPECT_EQ(wide, before);
  // A realistic frame round a picture one pixel high without margin.
  Bitmap line = SyntheticPhoto(30, 1);
  EXPECT_NE(AddPictureFrame(line, Options(2, 0), ctx), "");
  EXPECT_EQ(line, SyntheticPhoto(30, 1));
  // Tiny pictures still get every style.
  for (int style = 0; style <= 5; ++style) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 6}, {6, 1}, {3, 3}}) {
      Bitmap tiny = SyntheticPhoto(w, h);
      AddPictureFrame(tiny, Options(style, 12, 3), ctx);
      EXPECT_FALSE(tiny.Empty()) << style << " " << w << "x" << h;
    }
  }
}

TEST(PictureFrame, MarginAndSpacingAreReadLikeTheirEditBoxes) {
  PictureFrameOptions o;
  EXPECT_EQ(o.Margin(), 150);
  EXPECT_EQ(o.Spacing(), 75);
  EXPECT_EQ(o.realisticFrame, 1);
  EXPECT_EQ(o.colouredFrame, 1);
  for (auto [text, value] : {std::pair<const char*, int>{"151", 151}, {"", 0}, {"abc", 0}, {"-3", 0},
                             {"99999999999999", 1000}, {" 12px", 12}}) {
    o.marginText = text;
    EXPECT_EQ(o.Margin(), value) << text;
  }
  o.spacingText = "800";
  EXPECT_EQ(o.Spacing(), 500);
  EXPECT_EQ(RealisticFramePhotograph(8), 10);
  EXPECT_EQ(RealisticFramePhotograph(12), 14);
  EXPECT_EQ(RealisticFramePhotograph(13), 1);
  EXPECT_EQ(ColouredFramePhotograph(3), 8);
  EXPECT_EQ(ColouredFramePhotograph(5), 7);
  EXPECT_EQ(ColouredFramePhotograph(0), 1);
}

TEST(PictureFrame, BrushstrokeBandsCoverOnlyTheMarginSide) {
  Random random(1);
  ParameterSnapshot params;
  params.code = 3;
  RunContext ctx(params, random);
  const Bitmap photo = SyntheticPhoto(61, 43);
  Bitmap plain = photo;
  ASSERT_EQ(AddPictureFrame(plain, Options(0, 11), ctx), "");
  Bitmap painted = photo;
  ASSERT_EQ(AddPictureFrame(painted, Options(5, 11), ctx), "");
  ASSERT_EQ(painted.Width(), 72);
  // Band size 10: rows and columns 10 and beyond (from each side) are the simple frame's.
  for (int y = 10; y < painted.Height() - 10; ++y) {
    for (int x = 10; x < painted.Width() - 10; ++x) ASSERT_EQ(painted.Pixel(x, y), plain.Pixel(x, y)) << x << "," << y;
  }
  EXPECT_NE(painted, plain);
  // The same bytes whichever effect is selected.
  ParameterSnapshot other = params;
  other.code = 15;
  other.customBrush = true;
  other.doubleRow2 = true;
  Random random2(77);
  RunContext ctx2(other, random2);
  Bitmap again = photo;
  ASSERT_EQ(AddPictureFrame(again, Options(5, 11), ctx2), "");
  EXPECT_EQ(again, painted);
}

TEST(PictureFrame, AStoppedRunGetsNoFrame) {
  Random random(1);
  ParameterSnapshot params;
  params.addFrame = true;
  RunContext ctx(params, random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  const Bitmap source = SyntheticPhoto(40, 30);
  Bitmap result = source;
  FinishingOptions finishing;
  const FinalizeOutcome outcome = Finalize(source, result, ctx, StandardFinishingSteps(finishing));
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(result, source);
  stop = false;
  Finalize(source, result, ctx, StandardFinishingSteps(finishing));
  EXPECT_EQ(result.Width(), 190);
}

TEST(FramePhotographs, EveryPhotographHasAFindableNearWhiteOpening) {
  for (int number : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14}) {
    const Bitmap& f = FramePhotograph(number);
    EXPECT_EQ(f.Width(), FramePhotographWidth(number));
    EXPECT_EQ(f.Height(), FramePhotographHeight(number));
    EXPECT_LT(f.Height(), f.Width());
    const FrameOpening o = FindFrameOpening(f);
    EXPECT_GT(o.left, 0) << number;
    EXPECT_GT(o.top, 0) << number;
    // Centred, within a pixel or two (right and bottom count two pixels less).
    EXPECT_NEAR(o.left, o.right + 2, 2) << number;
    EXPECT_NEAR(o.top, o.bottom + 2, 2) << number;
    // The small preview scans from 180 of 700 on both axes.
    EXPECT_TRUE(IsFrameOpening(f.Pixel(f.Width() * 180 / 700, f.Height() * 180 / 700))) << number;
    // The moulding at the edges is not opening.
    EXPECT_FALSE(IsFrameOpening(f.Pixel(f.Width() / 2, 2))) << number;
    EXPECT_FALSE(IsFrameOpening(f.Pixel(f.Width() - 3, f.Height() / 2))) << number;
  }
  EXPECT_FALSE(IsFramePhotograph(9));
  EXPECT_THROW(FramePhotograph(9), ImageError);
  EXPECT_EQ(&FramePhotograph(7), &FramePhotograph(7));
}

}  // namespace
}  // namespace brumeleaf

namespace brumeleaf {
namespace {

TEST(FramePreview, ShowsTheCornerOfEachStyle) {
  Random random(1);
  RunContext ctx({}, random);
  const Bitmap photo = testing::SyntheticPhoto(300, 200);
  Bitmap p = FramePreview(photo, Options(1, 40, 10), ctx);
  ASSERT_EQ(p.Width(), 200);
  EXPECT_EQ(p.Pixel(1, 1), MakeColour(128, 128, 128));
  EXPECT_EQ(p.Pixel(10, 100), kFill);
  EXPECT_EQ(p.Pixel(18, 100), kLine);
  EXPECT_EQ(p.Pixel(100, 18), kLine);
  EXPECT_EQ(p.Pixel(20, 20), photo.Pixel(0, 0));
  EXPECT_EQ(p.Pixel(199, 199), photo.Pixel(179, 179));
  // The triptych letterboxed: Wt = 300 + 80 + 20 = 400, Ht = 280, k = 140 / 2 = 70.
  p = FramePreview(photo, Options(4, 40, 10), ctx);
  EXPECT_EQ(p.Pixel(100, 29), kWhite);
  EXPECT_EQ(p.Pixel(1, 31), kFill);
  EXPECT_EQ(p.Pixel(100, 171), kWhite);
  // Photographed frames: the source sits in the opening, off the corner.
  for (int style : {2, 3, 5}) {
    p = FramePreview(photo, Options(style, 20), ctx);
    EXPECT_EQ(p.Width(), 200) << style;
    EXPECT_NE(p.Pixel(0, 0), photo.Pixel(0, 0)) << style;
  }
}

}  // namespace
}  // namespace brumeleaf
