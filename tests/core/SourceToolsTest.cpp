#include <gtest/gtest.h>

#include <atomic>

#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "imaging/MedianFilter.h"
#include "script/ScriptRunner.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"
#include "tools/SourceTools.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

ModifySettings Only(int ModifySettings::*field, int value) {
  ModifySettings s;
  s.*field = value;
  return s;
}

Bitmap Modified(Bitmap picture, const ModifySettings& s, const SourceMean& mean = {}) {
  EXPECT_TRUE(ModifySourceImage(picture, s, mean));
  return picture;
}

Bitmap Crop(const Bitmap& b, int x0, int y0, int w, int h) {
  Bitmap c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.SetPixel(x, y, b.Pixel(x0 + x, y0 + y));
  return c;
}

}  // namespace

TEST(ModifySource, NeutralSettingsChangeNothing) {
  const Bitmap photo = SyntheticPhoto(61, 47);
  EXPECT_EQ(Modified(photo, ModifySettings{}), photo);
  Bitmap tiny(1, 1);
  EXPECT_TRUE(ModifySourceImage(tiny, ModifySettings{}, SourceMean{}));
}

TEST(ModifySource, BlurAndSharpenPassesFollowTheirCount) {
  const Bitmap photo = SyntheticPhoto(53, 41);
  // -4: i = -4 is a box blur, -3..-1 are softenings.
  Bitmap expected = photo;
  BoxBlur3(expected);
  for (int i = 0; i < 3; ++i) SoftBlur(expected);
  EXPECT_EQ(Modified(photo, Only(&ModifySettings::blurSharpen, -4)), expected);
  // -5: two box blurs then three softenings.
  expected = photo;
  BoxBlur3(expected);
  BoxBlur3(expected);
  for (int i = 0; i < 3; ++i) SoftBlur(expected);
  EXPECT_EQ(Modified(photo, Only(&ModifySettings::blurSharpen, -5)), expected);
  // -2: two softenings, no box blur.
  expected = photo;
  SoftBlur(expected);
  SoftBlur(expected);
  EXPECT_EQ(Modified(photo, Only(&ModifySettings::blurSharpen, -2)), expected);
  // +3: three sharpenings; out-of-range values act as the slider's end.
  expected = photo;
  for (int i = 0; i < 5; ++i) Sharpen(expected);
  EXPECT_EQ(Modified(photo, Only(&ModifySettings::blurSharpen, 9)), expected);
}

TEST(ModifySource, SimplificationIsTheMedianOfSizePlusTwo) {
  const Bitmap photo = Noise(37, 29, 11);
  // T5 = 2 and 3 give sizes 4 and 5: both the 5 x 5 window.
  const Bitmap two = Modified(photo, Only(&ModifySettings::simplify, 2));
  EXPECT_EQ(two, Modified(photo, Only(&ModifySettings::simplify, 3)));
  EXPECT_EQ(two, MedianFilter(photo, 5));
  EXPECT_EQ(Modified(photo, Only(&ModifySettings::simplify, 1)), MedianFilter(photo, 3));
  EXPECT_EQ(Modified(photo, Only(&ModifySettings::simplify, 9)), MedianFilter(photo, 11));
}

TEST(ModifySource, ContrastBelowZeroPivotsAt127AboveZeroUsesTheSourceMean) {
  const Bitmap photo = SyntheticPhoto(45, 38);
  Bitmap expected = photo;
  AdjustContrast(expected, 127, -40);
  EXPECT_EQ(Modified(photo, Only(&ModifySettings::contrast, -40)), expected);

  const SourceMean dark{20, 30, 40};
  const SourceMean light{200, 210, 220};
  expected = photo;
  EnhanceLocalContrast(expected, 60, dark);
  EXPECT_EQ(Modified(photo, Only(&ModifySettings::contrast, 30), dark), expected);
  EXPECT_NE(Modified(photo, Only(&ModifySettings::contrast, 30), light), expected);
}

TEST(ModifySource, TheChainRunsInItsOrder) {
  const Bitmap photo = SyntheticPhoto(57, 43);
  const SourceMean mean{120, 90, 60};
  const ModifySettings s{25, 35, -30, -1, 1};
  Bitmap expected = MedianFilter(photo, 3);
  AdjustBrightness(expected, 25);
  EnhanceLocalContrast(expected, 70, mean);
  AdjustSaturation(expected, -30);
  SoftBlur(expected);
  EXPECT_EQ(Modified(photo, s, mean), expected);
}

TEST(ModifySource, AStopLeavesThePictureWhole) {
  const Bitmap photo = SyntheticPhoto(80, 600);
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap picture = photo;
  EXPECT_FALSE(ModifySourceImage(picture, ModifySettings{10, 10, 50, 2, 4}, SourceMean{}, &ctx));
  EXPECT_EQ(picture, photo);
  stop = false;
  EXPECT_TRUE(ModifySourceImage(picture, ModifySettings{10, 10, 50, 2, 4}, SourceMean{}, &ctx));
  EXPECT_EQ(picture, Modified(photo, ModifySettings{10, 10, 50, 2, 4}));
}

TEST(ModifySource, TinyPicturesGiveAPictureAtEverySliderEnd) {
  for (const Bitmap& picture : {Noise(1, 1, 1), Noise(1, 7, 2), Noise(7, 1, 3), Noise(3, 3, 4)}) {
    for (const ModifySettings& s : {ModifySettings{100, 100, 100, 5, 9}, ModifySettings{-100, -100, -100, -5, 9}}) {
      const Bitmap out = Modified(picture, s);
      EXPECT_EQ(out.Width(), picture.Width());
      EXPECT_EQ(out.Height(), picture.Height());
    }
  }
}

TEST(ModifyPreview, OffsetStaysInsideTheSource) {
  EXPECT_EQ(ClampPreviewOffset(110, 1000), 110);
  EXPECT_EQ(ClampPreviewOffset(110, 200), 50);   // narrower than 260: 0..W-150
  EXPECT_EQ(ClampPreviewOffset(110, 120), 0);    // narrower than the preview
  EXPECT_EQ(ClampPreviewOffset(-30, 1000), 0);
  EXPECT_EQ(ClampPreviewOffset(900, 1000), 850);
}

TEST(ModifyPreview, ShowsTheChainOnTheCropWithTheWholeSourcesMean) {
  const Bitmap photo = SyntheticPhoto(400, 300);
  const SourceMean mean{140, 100, 70};
  const ModifySettings s{10, 40, 20, 1, 0};
  const Bitmap preview = ModifyPreview(photo, 110, 0, s, mean);
  EXPECT_EQ(preview, Modified(Crop(photo, 110, 0, 150, 150), s, mean));
  // Dragged past the corner: the last 150 x 150 of the picture.
  EXPECT_EQ(ModifyPreview(photo, 5000, 5000, s, mean), Modified(Crop(photo, 250, 150, 150, 150), s, mean));
}

TEST(ModifyPreview, ASmallSourceLeavesTheRestNeutral) {
  const Bitmap photo = Noise(90, 170, 5);
  const Bitmap preview = ModifyPreview(photo, 110, 0, ModifySettings{}, SourceMean{});
  EXPECT_EQ(preview.Width(), 150);
  EXPECT_EQ(preview.Height(), 150);
  EXPECT_EQ(preview.Pixel(0, 0), photo.Pixel(0, 0));
  EXPECT_EQ(preview.Pixel(89, 149), photo.Pixel(89, 149));
  EXPECT_EQ(preview.Pixel(90, 0), MakeColour(128, 128, 128));
  EXPECT_EQ(preview.Pixel(149, 149), MakeColour(128, 128, 128));
}

TEST(AutomaticContrast, MenuCommandAndScriptStepKeepTheirOwnConstants) {
  const Bitmap photo = SyntheticPhoto(71, 53);
  Bitmap menu = photo;
  AutomaticContrast(menu);
  Bitmap expected = photo;
  EqualizeHistogram(expected, 0.2f);
  EnhanceDetail(expected, expected, 20);
  BoostSaturationHLS(expected, expected);
  EXPECT_EQ(menu, expected);

  Bitmap script = photo;
  ScriptAutomaticContrast(script);
  expected = photo;
  EqualizeHistogram(expected, 0.23f);
  EnhanceDetail(expected, expected, 25);
  EXPECT_EQ(script, expected);
  EXPECT_NE(script, menu);
  // The script runner's step is this very function.
  Bitmap viaScript = photo;
  AutomaticContrastStep(viaScript);
  EXPECT_EQ(viaScript, script);
  Bitmap one(1, 1);
  AutomaticContrast(one);
  EXPECT_EQ(one.Width(), 1);
}

TEST(ResizeSource, EachPanelIsResampledFromItsOwnPicture) {
  Bitmap source = SyntheticPhoto(120, 80);
  Bitmap result = Quadrants(60, 90);  // another size and shape
  const Bitmap oldSource = source;
  const Bitmap oldResult = result;
  EXPECT_EQ(ResizeSource(source, result, 250, 170), ResizeOutcome::Resized);
  Bitmap expected(250, 170);
  StretchBilinear(oldSource, expected);
  EXPECT_EQ(source, expected);
  StretchBilinear(oldResult, expected);
  EXPECT_EQ(result, expected);
}

TEST(ResizeSource, RefusedSizesChangeNothing) {
  Bitmap source = SyntheticPhoto(40, 30);
  Bitmap result = Noise(40, 30, 2);
  const Bitmap s0 = source, r0 = result;
  EXPECT_EQ(ResizeSource(source, result, 1, 300), ResizeOutcome::TooSmall);
  EXPECT_EQ(ResizeSource(source, result, 300, 0), ResizeOutcome::TooSmall);
  EXPECT_EQ(ResizeSource(source, result, -5, -5), ResizeOutcome::TooSmall);
  EXPECT_THROW(ResizeSource(source, result, kMaxWidth + 1, 100), ImageError);
  EXPECT_THROW(ResizeSource(source, result, 100, kMaxHeight + 1), ImageError);
  EXPECT_EQ(source, s0);
  EXPECT_EQ(result, r0);
  Bitmap none, alsoNone;
  EXPECT_THROW(ResizeSource(none, alsoNone, 100, 100), ImageError);
  // Down to the smallest size allowed, and from a single pixel.
  EXPECT_EQ(ResizeSource(source, result, 2, 2), ResizeOutcome::Resized);
  EXPECT_EQ(source.Width(), 2);
  Bitmap dot = Noise(1, 1, 3), dotResult;
  EXPECT_EQ(ResizeSource(dot, dotResult, 5, 4), ResizeOutcome::Resized);
  EXPECT_EQ(dotResult, dot);
}
