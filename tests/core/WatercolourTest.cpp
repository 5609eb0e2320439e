#include <gtest/gtest.h>

#include <atomic>

#include "effects/EffectTable.h"
#include "effects/Frames.h"
#include "effects/painting/Watercolour.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintingTextures.h"
#include "tests/core/PaintingTestSupport.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(4).s;

// The finishing steps alone, written out from their formulas: brightness, the saturation lift,
// local contrast and the paper.
Bitmap FinishedOnly(const Bitmap& picture, const WatercolourSettings& s, const SourceMean& mean) {
  Bitmap out = picture;
  AdjustBrightness(out, (s.darkenLighten - 127) / 3);
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      std::uint8_t* p = out.ScanLine(y) + 3 * x;
      const int avg = (p[0] + p[1] + p[2]) / 3;
      for (int c = 0; c < 3; ++c) p[c] = ClampLevel(p[c] + ((p[c] - avg) * 12) / 100);
    }
  EnhanceLocalContrast(out, 25, mean);
  const TextureMap& map = WatercolourTextureMap();
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      std::uint8_t* p = out.ScanLine(y) + 3 * x;
      const int shift = ((map.mean - map.At(x % 1023, y % 767)) * s.paperDepth) / 255;
      for (int c = 0; c < 3; ++c) p[c] = ClampLevel(p[c] + shift);
    }
  return out;
}

Bitmap Paint(const Bitmap& source, const WatercolourSettings& s, std::uint32_t seed = 4) {
  Random random(seed);
  RunContext ctx(PaintingParams(4, {s.blending, s.edgeIntensity, s.strength, s.darkenLighten, s.paperDepth}), random);
  Bitmap out;
  WatercolourPainting(source, out, s, ctx);
  return out;
}

}  // namespace

TEST(Watercolour, AUniformPictureGetsOnlyTheFinishingSteps) {
  // No neighbour differs by more than 3, so no walker ever smears anything.
  const WatercolourSettings s{90, 0, 3, 180, 70};
  const Bitmap flat = Uniform(37, 29, MakeColour(150, 90, 60));
  EXPECT_EQ(Paint(flat, s), FinishedOnly(flat, s, SourceMean{}));
}

TEST(Watercolour, PicturesWithoutInteriorGetTheFinishingStepsOnly) {
  const WatercolourSettings s{90, 0, 2, 127, 50};
  for (const auto& size : kTinySizes) {
    const Bitmap photo = SyntheticPhoto(size[0], size[1]);
    const Bitmap out = Paint(photo, s);
    if (size[0] < 3 || size[1] < 3) {
      EXPECT_EQ(out, FinishedOnly(photo, s, SourceMean{}));
    }
    EXPECT_EQ(out.Width(), size[0]);
    EXPECT_EQ(out.Height(), size[1]);
  }
  EXPECT_EQ(RunPaintingFrame(FramePainting, SyntheticPhoto(3, 3), PaintingParams(4, kDefaults)).Width(), 3);
}

TEST(Watercolour, WithTheStrokeLayerTheRunRepeats) {
  // The strokes reseed the generator, so the walk starts from the same state every time.
  const Bitmap photo = SyntheticPhoto(64, 48);
  const Bitmap copy = photo;
  const WatercolourSettings s{90, 110, 4, 140, 50};
  const Bitmap a = Paint(photo, s, 1);
  EXPECT_EQ(a, Paint(photo, s, 2));
  EXPECT_EQ(photo, copy);
  // Without it the walk continues the session's sequence.
  const WatercolourSettings plain{90, 0, 4, 140, 50};
  EXPECT_NE(Paint(photo, plain, 1), Paint(photo, plain, 2));
  EXPECT_NE(a, Paint(photo, plain, 1));
}

TEST(Watercolour, WalkersSmearColourInsideRegionsButEdgesHold) {
  // Two flat halves with a faint noise: the washes flatten each half, the strong edge between
  // them stays where it was.
  Bitmap photo(40, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const int n = ((x * 7 + y * 13) % 5) * 2;
      photo.SetPixel(x, y, x < 20 ? MakeColour(200 + n, 60, 50) : MakeColour(40, 60 + n, 190));
    }
  const WatercolourSettings s{90, 0, 6, 127, 0};
  const Bitmap out = Paint(photo, s);
  for (int y = 3; y < 27; ++y) {
    EXPECT_GT(RedOf(out.Pixel(17, y)), BlueOf(out.Pixel(17, y))) << y;
    EXPECT_GT(BlueOf(out.Pixel(22, y)), RedOf(out.Pixel(22, y))) << y;
  }
}

TEST(Watercolour, AStopLeavesThePartialWashesUnfinished) {
  const Bitmap photo = SyntheticPhoto(50, 40);
  Random random(4);
  RunContext ctx(PaintingParams(4, kDefaults), random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  RecordingSink sink;
  ctx.SetSink(&sink);
  Bitmap out;
  WatercolourPainting(photo, out, WatercolourSettings{90, 0, 25, 140, 50}, ctx);
  // One walker step at most: two pixels may have changed, nothing was finished.
  int changed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) changed += out.Pixel(x, y) != photo.Pixel(x, y);
  EXPECT_LE(changed, 2);
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 4, 4}));
}

TEST(Watercolour, OneThreadEqualsSeveral) {
  const Bitmap photo = SyntheticPhoto(90, 70);
  SetRowPassThreads(1);
  const Bitmap one = RunPaintingFrame(FramePainting, photo, PaintingParams(4, {90, 110, 2, 140, 50}));
  SetRowPassThreads(3);
  const Bitmap three = RunPaintingFrame(FramePainting, photo, PaintingParams(4, {90, 110, 2, 140, 50}));
  SetRowPassThreads(0);
  EXPECT_EQ(one, three);
}

TEST(Watercolour, AnEdgeIntensityOfTenOrLessBuildsNoStrokeLayer) {
  // Without the layer nothing reseeds: the same session state gives the same walk, and the
  // overlay is skipped, so 0 and 10 paint alike; 11 lays the strokes.
  const Bitmap photo = SyntheticPhoto(48, 36);
  EXPECT_EQ(Paint(photo, WatercolourSettings{90, 0, 3, 140, 50}, 8), Paint(photo, WatercolourSettings{90, 10, 3, 140, 50}, 8));
  EXPECT_NE(Paint(photo, WatercolourSettings{90, 10, 3, 140, 50}, 8), Paint(photo, WatercolourSettings{90, 11, 3, 140, 50}, 8));
}
