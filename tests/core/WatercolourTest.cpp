#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

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

namespace {

// The walk step by step as it is defined, one draw at a time on plain rows, for comparison
// with the painting's own walk (which takes its draws several at once and keeps the picture in
// bands of four rows).
void WalkLiterally(Bitmap& d, const WatercolourSettings& s, Random& random) {
  const int w = d.Width(), h = d.Height();
  int x = 0, y = 0, dx = -100, dy = 0, best = 10000;
  for (int pass = 0; pass <= s.strength; ++pass) {
    dx = -100;
    for (long long j = 0; j <= static_cast<long long>(w) * h; ++j) {
      if (best < s.blending && best > 3) {
        x += dx, y += dy;
      } else {
        x = random.NextInt(w - 2) + 1, y = random.NextInt(h - 2) + 1;
      }
      if (x < 1 || x > w - 2 || y < 1 || y > h - 2) x = random.NextInt(w - 2) + 1, y = random.NextInt(h - 2) + 1;
      const Colour here = d.Pixel(x, y);
      int q[3] = {RedOf(here), GreenOf(here), BlueOf(here)};
      if (j % (s.strength / 2 + 210 - s.blending / 2) == 0) {
        const Hls hls = ColorRGBToHLS(here);
        const Colour lifted = ColorHLSToRGB(hls.hue, hls.luminance, std::min(240, hls.saturation * 102 / 100));
        q[0] = RedOf(lifted), q[1] = GreenOf(lifted), q[2] = BlueOf(lifted);
      }
      best = 500, dx = -100;
      for (int l = -1; l <= 1; ++l)
        for (int m = -1; m <= 1; ++m) {
          if (l == 0 && m == 0) continue;
          const Colour there = d.Pixel(x + l, y + m);
          const int diff = std::abs(RedOf(there) - RedOf(here)) + std::abs(GreenOf(there) - GreenOf(here)) +
                           std::abs(BlueOf(there) - BlueOf(here));
          const int r = random.NextInt(3);
          if (best - r >= diff && diff > 3) best = diff, dx = l, dy = m;
        }
      if (best > s.blending + 15) continue;
      const Colour there = d.Pixel(x + dx, y + dy);
      if (best > s.blending / 5 + 5) {
        const int n[3] = {RedOf(there), GreenOf(there), BlueOf(there)};
        for (int c = 0; c < 3; ++c) q[c] = std::min(255, (q[c] + n[c]) / 2 + static_cast<int>(j % 8) / 5);
        d.SetPixel(x, y, MakeColour(q[0], q[1], q[2]));
      }
      d.SetPixel(x + dx, y + dy, MakeColour(q[0], q[1], q[2]));
    }
  }
}

}  // namespace

TEST(Watercolour, TheWalkFollowsItsStepByStepDefinition) {
  // Heights of every remainder by 4 (the walk's bands) and the smallest walkable pictures;
  // blending 0 only ever jumps, 255 smears almost everything.
  const int sizes[][2] = {{37, 29}, {23, 30}, {16, 31}, {41, 28}, {3, 3}, {4, 9}, {9, 4}};
  const WatercolourSettings settings[] = {{90, 0, 3, 140, 50}, {0, 0, 1, 100, 0}, {255, 0, 2, 200, 255}, {40, 5, 0, 127, 20}};
  for (const auto& size : sizes)
    for (const WatercolourSettings& s : settings) {
      const Bitmap photo = SyntheticPhoto(size[0], size[1]);
      Bitmap walked = photo;
      Random random(77);
      WalkLiterally(walked, s, random);
      EXPECT_EQ(Paint(photo, s, 77), FinishedOnly(walked, s, SourceMean{})) << size[0] << "x" << size[1] << " s1 " << s.blending;
    }
}
