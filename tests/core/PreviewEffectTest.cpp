#include <gtest/gtest.h>

#include "effects/PreviewEffect.h"
#include "effects/drawing/PencilSketch1.h"
#include "effects/EffectSettings.h"
#include "finishing/SurfaceFinish.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "SyntheticPhoto.h"

using namespace brumeleaf;
using brumeleaf::testing::SyntheticPhoto;
using brumeleaf::testing::Uniform;

namespace {

ParameterSnapshot DefaultsOf(int code) {
  ParameterSnapshot params;
  params.code = code;
  params.s = EffectSettings::Defaults()[static_cast<std::size_t>(code)];
  return params;
}

bool OutlinedAt(const Bitmap& b, int inset) {
  const int last = kPreviewSize - 1 - inset;
  for (int i = inset; i <= last; ++i) {
    if (b.Pixel(i, inset) != kBlack || b.Pixel(i, last) != kBlack) return false;
    if (b.Pixel(inset, i) != kBlack || b.Pixel(last, i) != kBlack) return false;
  }
  return true;
}

}  // namespace

TEST(PreviewCropTest, SizeFollowsTheZoomSlider) {
  PreviewCrop crop;
  EXPECT_EQ(crop.Size(), 200);
  crop.zoom = PreviewCrop::ZoomOfSlider(100);  // the slider's bottom
  EXPECT_EQ(crop.zoom, 25);
  EXPECT_EQ(crop.Size(), 800);
  EXPECT_EQ(PreviewCrop::ZoomOfSlider(25), 100);
  crop.zoom = 30;
  EXPECT_EQ(crop.Size(), 666);  // 20000 div 30
}

TEST(PreviewCropTest, ResetCentresOnLargeSourcesAndPinsSmallOnes) {
  PreviewCrop crop;
  crop.Reset(1000, 700);
  EXPECT_EQ(crop.x0, 400);
  EXPECT_EQ(crop.y0, 250);
  crop.Reset(200, 150);
  EXPECT_EQ(crop.x0, 0);
  EXPECT_EQ(crop.y0, 0);
  crop.Reset(201, 201);
  EXPECT_EQ(crop.x0, 0);  // 201 div 2 - 100
}

TEST(PreviewCropTest, DraggingMovesAgainstTheMouseAndStaysInside) {
  PreviewCrop crop;
  crop.Reset(1000, 700);
  crop.Drag(-40, 30, 1000, 700);
  EXPECT_EQ(crop.x0, 440);
  EXPECT_EQ(crop.y0, 220);
  crop.Drag(-5000, 5000, 1000, 700);
  EXPECT_EQ(crop.x0, 800);  // width - 200
  EXPECT_EQ(crop.y0, 0);
  // At 50 % a mouse step covers two source pixels.
  crop.zoom = 50;
  crop.x0 = 100;
  crop.Drag(10, 0, 1000, 700);
  EXPECT_EQ(crop.x0, 80);
}

TEST(PreviewCropTest, SmallSourceDoesNotMove) {
  PreviewCrop crop;
  crop.Reset(150, 120);
  crop.Drag(-60, -60, 150, 120);
  EXPECT_EQ(crop.x0, 0);
  EXPECT_EQ(crop.y0, 0);
}

TEST(PreviewCropTest, ZoomKeepsTheCropCentred) {
  PreviewCrop crop;
  crop.Reset(2000, 2000);  // (900, 900)
  crop.SetZoom(25, 2000, 2000);
  EXPECT_EQ(crop.x0, 600);  // 900 + (200 - 800) div 2
  EXPECT_EQ(crop.y0, 600);
  crop.SetZoom(100, 2000, 2000);
  EXPECT_EQ(crop.x0, 900);
  // Zooming out near the edge clamps the larger crop into the source.
  crop.x0 = 0;
  crop.SetZoom(25, 2000, 2000);
  EXPECT_EQ(crop.x0, 0);
}

TEST(PreviewCropTest, CropPicturePadsOutsideWithWhite) {
  const Bitmap source = SyntheticPhoto(120, 90);
  const Bitmap crop = CropForPreview(source, 50, 40, 200);
  ASSERT_EQ(crop.Width(), 200);
  ASSERT_EQ(crop.Height(), 200);
  EXPECT_EQ(crop.Pixel(0, 0), source.Pixel(50, 40));
  EXPECT_EQ(crop.Pixel(69, 49), source.Pixel(119, 89));
  EXPECT_EQ(crop.Pixel(70, 0), kWhite);
  EXPECT_EQ(crop.Pixel(0, 50), kWhite);
  // Entirely outside: all white, nothing read out of bounds.
  EXPECT_EQ(CropForPreview(source, 500, 500, 200), Uniform(200, 200, kWhite));
}

TEST(PreviewDisplayTest, FullZoomCopiesTheInnerPartInsideTwoOutlines) {
  const Bitmap O = SyntheticPhoto(200, 200);
  const Bitmap shown = PreviewDisplay(O, 100, 14);
  ASSERT_EQ(shown.Width(), kPreviewSize);
  EXPECT_TRUE(OutlinedAt(shown, 0));
  EXPECT_TRUE(OutlinedAt(shown, 1));
  for (int y = 2; y < 198; y += 13)
    for (int x = 2; x < 198; x += 11) EXPECT_EQ(shown.Pixel(x, y), O.Pixel(x, y));
}

TEST(PreviewDisplayTest, ZoomedOutPreviewIsResampledAndSharpened) {
  const Bitmap O = SyntheticPhoto(800, 800);
  Bitmap expected(kPreviewSize, kPreviewSize);
  StretchBilinearFast(O, expected);
  Sharpen(expected);
  const Bitmap shown = PreviewDisplay(O, 25, 14);
  EXPECT_EQ(shown.Pixel(100, 100), expected.Pixel(100, 100));
  EXPECT_EQ(shown.Pixel(2, 197), expected.Pixel(2, 197));
  EXPECT_TRUE(OutlinedAt(shown, 0));
}

TEST(PreviewDisplayTest, PencilSketchIsSoftenedForDisplay) {
  const Bitmap O = SyntheticPhoto(200, 200);
  Bitmap expected(kPreviewSize, kPreviewSize);
  for (int y = 1; y < 199; ++y)
    for (int x = 1; x < 199; ++x) expected.SetPixel(x, y, O.Pixel(x, y));
  SoftBlur(expected);
  const Bitmap shown = PreviewDisplay(O, 100, 0);
  EXPECT_EQ(shown.Pixel(50, 60), expected.Pixel(50, 60));
  EXPECT_NE(shown.Pixel(50, 60), PreviewDisplay(O, 100, 14).Pixel(50, 60));
}

TEST(PreviewDisplayTest, RawCropIsScaledInsideAnOutline) {
  Bitmap preview;
  ShowRawCrop(Uniform(400, 400, MakeColour(10, 200, 30)), preview);
  EXPECT_TRUE(OutlinedAt(preview, 0));
  EXPECT_EQ(preview.Pixel(1, 1), MakeColour(10, 200, 30));
  EXPECT_EQ(preview.Pixel(198, 198), MakeColour(10, 200, 30));
}

TEST(ComputePreviewTest, PencilSketchUsesItsPreviewVariant) {
  const Bitmap K = SyntheticPhoto(200, 200);
  Random a, b;
  RunContext ctxA(DefaultsOf(0), a);
  RunContext ctxB(DefaultsOf(0), b);
  ctxA.preview = ctxB.preview = true;
  Bitmap viaPreview, direct;
  ComputePreview(0, K, Bitmap(), viaPreview, ctxA);
  PreviewPencilSketch(K, direct, ctxB);
  EXPECT_EQ(viaPreview, direct);
  EXPECT_EQ(viaPreview.Width(), 200);
}

TEST(ComputePreviewTest, FrameOnlyIsTheSurfaceStageOfTheCrop) {
  const Bitmap K = SyntheticPhoto(200, 200);
  ParameterSnapshot params = DefaultsOf(14);
  params.softenEdges = true;
  params.texture = true;
  params.textureNumber = 3;
  Random random;
  RunContext ctx(params, random);
  Bitmap O, expected;
  ComputePreview(14, K, Bitmap(), O, ctx);
  ApplySurfaceFinish(K, expected, ctx);
  EXPECT_EQ(O, expected);
}

TEST(ComputePreviewTest, UnknownCodeGivesWhiteAndMissingEffectsShowTheCrop) {
  const Bitmap K = SyntheticPhoto(200, 200);
  Random random;
  RunContext ctx(DefaultsOf(0), random);
  Bitmap O;
  ComputePreview(31, K, Bitmap(), O, ctx);
  EXPECT_EQ(O, Uniform(200, 200, kWhite));
  for (int code = 0; code < 30; ++code) {
    if (PreviewAvailable(code)) continue;
    ComputePreview(code, K, Bitmap(), O, ctx);
    EXPECT_EQ(O, K) << "code " << code;
  }
}

TEST(ComputePreviewTest, StopLeavesAPictureOfTheCropSize) {
  const Bitmap K = SyntheticPhoto(200, 200);
  Random random;
  std::atomic<bool> stop{true};
  RunContext ctx(DefaultsOf(0), random);
  ctx.SetStopFlag(&stop);
  Bitmap O;
  ComputePreview(0, K, Bitmap(), O, ctx);
  EXPECT_EQ(O.Width(), 200);
  EXPECT_EQ(O.Height(), 200);
}
