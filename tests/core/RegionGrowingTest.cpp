#include <gtest/gtest.h>

#include <atomic>

#include "effects/Frames.h"
#include "effects/painting/RegionGrowing.h"
#include "resources/PaintingTextures.h"
#include "tests/core/PaintingTestSupport.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

Bitmap Paint(const Bitmap& source, std::string_view mode, const RegionGrowingSettings& s, bool processing = true,
             std::uint32_t seed = 11) {
  Random random(seed);
  RunContext ctx(PaintingParams(9, {s.coverage, s.simplification, s.colour, s.darkenLighten, s.texture}), random);
  ctx.processing = processing;
  Bitmap out;
  RegionGrowingPainting(source, out, mode, s, ctx);
  return out;
}

}  // namespace

TEST(RegionGrowing, AWhiteSourceIsOnlyTextured) {
  // No seed qualifies (every channel 250 or more): every pixel takes white plus the canvas,
  // at most 254. Brightness offset 0, saturation 0 and a flat source leave that as it is.
  const RegionGrowingSettings s{200, 10, 50, 127, 40};
  const Bitmap out = Paint(Uniform(31, 23, kWhite), kImpastoMode, s);
  const TextureMap& map = ImpastoTextureMap();
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 31; ++x) {
      const int level = std::clamp(255 + ((map.mean - map.At(x, y)) * 80) / 255, 0, 254);
      ASSERT_EQ(out.Pixel(x, y), MakeColour(level, level, level)) << x << "," << y;
    }
}

TEST(RegionGrowing, AnUnknownModeIsImpasto) {
  const Bitmap photo = SyntheticPhoto(57, 41);
  const RegionGrowingSettings s{200, 10, 60, 140, 50};
  const Bitmap impasto = Paint(photo, kImpastoMode, s);
  EXPECT_EQ(Paint(photo, "oil", s), impasto);
  EXPECT_EQ(Paint(photo, "watercolor", s), impasto);  // the comparison is exact
  EXPECT_NE(Paint(photo, kWatercolourMode, s), impasto);
}

TEST(RegionGrowing, PatchesNeverComeOutWhite) {
  // Seeds only land on white pixels, so a patch that came out white would be painted over.
  const RegionGrowingSettings s{255, 40, 50, 127, 0};
  const Bitmap out = Paint(Uniform(40, 30, MakeColour(249, 255, 255)), kImpastoMode, s);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_NE(out.Pixel(x, y), kWhite);
}

TEST(RegionGrowing, ASeedOfTheMarkerColourFinishesAndIsPaintedWithIt) {
  const Colour marker = MakeColour(255, 127, 0);
  const RegionGrowingSettings s{200, 10, 50, 127, 0};
  const Bitmap out = Paint(Uniform(30, 30, marker), kImpastoMode, s);
  // Texture depth 0, no glow, no edges, no saturation change: patches keep the colour up to
  // their random shift of -8..15 and the cap of 254.
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const Colour c = out.Pixel(x, y);
      ASSERT_GE(RedOf(c), 247);
      ASSERT_NEAR(GreenOf(c), 127, 15);
      ASSERT_LE(BlueOf(c), 15);
    }
}

TEST(RegionGrowing, TinyPicturesGiveAPicture) {
  const RegionGrowingSettings s{200, 10, 60, 160, 70};
  for (const auto& size : kTinySizes)
    for (std::string_view mode : {kWatercolourMode, kImpastoMode}) {
      const Bitmap out = Paint(SyntheticPhoto(size[0], size[1]), mode, s);
      EXPECT_EQ(out.Width(), size[0]);
      EXPECT_EQ(out.Height(), size[1]);
    }
  // Fewer than 140 pixels: the coverage divisor would be 0.
  EXPECT_EQ(Paint(SyntheticPhoto(11, 12), kImpastoMode, s).Width(), 11);
}

TEST(RegionGrowing, ThePreviewGrowsMoreTolerantRegions) {
  const Bitmap photo = SyntheticPhoto(80, 60);
  const RegionGrowingSettings s{200, 10, 60, 140, 50};
  EXPECT_EQ(Paint(photo, kImpastoMode, s, true, 3), Paint(photo, kImpastoMode, s, true, 3));
  EXPECT_NE(Paint(photo, kImpastoMode, s, false, 3), Paint(photo, kImpastoMode, s, true, 3));
}

TEST(RegionGrowing, AStopLeavesThePatchesUnfinished) {
  Random random(2);
  RunContext ctx(PaintingParams(8, {200, 10, 60, 160, 70}), random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap out;
  const Bitmap photo = SyntheticPhoto(40, 30);
  RegionGrowingPainting(photo, out, kWatercolourMode, RegionGrowingSettingsFrom(ctx), ctx);
  int white = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) white += out.Pixel(x, y) == kWhite;
  EXPECT_GT(white, 40 * 30 / 2);  // one seed at most, and no filling of the rest
}

TEST(RegionGrowing, TheFrameChoosesTheModeByCode) {
  const Bitmap photo = SyntheticPhoto(50, 40);
  const std::array<int, 5> s{200, 10, 60, 140, 50};
  EXPECT_EQ(RunPaintingFrame(FrameRegionGrowing, photo, PaintingParams(9, s)),
            Paint(photo, kImpastoMode, RegionGrowingSettings{200, 10, 60, 140, 50}, true, 7));
  EXPECT_NE(RunPaintingFrame(FrameRegionGrowing, photo, PaintingParams(8, s)),
            RunPaintingFrame(FrameRegionGrowing, photo, PaintingParams(9, s)));
}

TEST(RegionGrowing, RegionsThatStopBelowRingFourStayUnpainted) {
  // Noise with no tolerance: no ring ever finds runs of similar colour, every growth stops at
  // ring 1, and the whole picture comes from the unpainted rule, then the edge darkening.
  const Bitmap noise = Noise(23, 19, 5);
  const RegionGrowingSettings s{200, 0, 50, 127, 60};
  const Bitmap out = Paint(noise, kImpastoMode, s);
  const TextureMap& map = ImpastoTextureMap();
  Bitmap expected(23, 19);
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 23; ++x)
      for (int c = 0; c < 3; ++c) {
        const int shift = ((map.mean - map.At(x, y)) * 120) / 255;
        expected.ScanLine(y)[3 * x + c] = static_cast<std::uint8_t>(std::clamp(noise.ScanLine(y)[3 * x + c] + shift, 0, 254));
      }
  for (int y = 0; y + 1 < 19; ++y)
    for (int x = 0; x + 1 < 23; ++x) {
      const std::uint8_t* p = noise.ScanLine(y) + 3 * x;
      const std::uint8_t* below = noise.ScanLine(y + 1) + 3 * x;
      int e = 0;
      for (int c = 0; c < 3; ++c) e += std::abs(p[c] - p[c + 3]) + std::abs(p[c] - below[c]);
      const int o = std::min(65, (e / 4) * (356 - (p[0] + p[1] + p[2]) / 3) / 256);
      if (o < 5) continue;
      for (int c = 0; c < 3; ++c) {
        std::uint8_t& d = expected.ScanLine(y)[3 * x + c];
        d = static_cast<std::uint8_t>(std::max(0, d - o));
      }
    }
  EXPECT_EQ(out, expected);
}
