#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "effects/EffectTable.h"
#include "effects/Frames.h"
#include "effects/painting/Cartoon.h"
#include "imaging/ParallelRows.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(17).s;

ParameterSnapshot Cartoon(std::array<int, 5> s = kDefaults) {
  ParameterSnapshot p;
  p.code = 17;
  p.s = s;
  return p;
}

Bitmap Patches(const Bitmap& source, std::uint32_t seed = 1) {
  Random random(seed);
  RunContext ctx(Cartoon(), random);
  Bitmap destination;
  EXPECT_TRUE(PaintCartoonPatches(source, destination, CartoonSettingsFrom(ctx), ctx));
  return destination;
}

Bitmap RunCartoon(const Bitmap& source, std::array<int, 5> s = kDefaults, std::uint32_t seed = 1) {
  Random random(seed);
  RunContext ctx(Cartoon(s), random);
  Bitmap result;
  FrameCartoonify(source, result, ctx);
  return result;
}

int CountPixels(const Bitmap& b, Colour c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) == c;
  return n;
}

int Darker(const Bitmap& a, const Bitmap& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += RedOf(a.Pixel(x, y)) + 60 < RedOf(b.Pixel(x, y));
  return n;
}

}  // namespace

TEST(CartoonPatches, AFlatPhotographBecomesOnePatchOfItsCountedMean) {
  // Each channel's sum is divided by the pixel count plus one, so 100 over 1200 pixels gives
  // 100 * 1200 div 1201 = 99.
  const Bitmap patches = Patches(Uniform(40, 30, MakeColour(100, 150, 200)));
  EXPECT_EQ(CountPixels(patches, MakeColour(99, 149, 199)), 40 * 30);
}

TEST(CartoonPatches, SumsOfMillionsOfBrightPixelsDoNotOverflow) {
  // 249 * 9 000 000 exceeds 32 bits.
  const Bitmap patches = Patches(Uniform(3000, 3000, MakeColour(249, 249, 249)));
  EXPECT_EQ(patches.Pixel(0, 0), MakeColour(248, 248, 248));
  EXPECT_EQ(patches.Pixel(2999, 2999), MakeColour(248, 248, 248));
}

TEST(CartoonPatches, AMarkerColouredPhotographEndsAndNeverShowsTheMarker) {
  const Bitmap patches = Patches(Uniform(25, 20, kPatchMarker));
  EXPECT_EQ(CountPixels(patches, MakeColour(254, 126, 0)), 25 * 20);
  const Bitmap photo = Patches(SyntheticPhoto(90, 70));
  EXPECT_EQ(CountPixels(photo, kPatchMarker), 0);
  // Only the exact marker colour marks a patch; a leftover seed colour with green 127 does not.
  EXPECT_TRUE(IsPatchMarker(MakeColour(255, 127, 0)));
  EXPECT_FALSE(IsPatchMarker(MakeColour(30, 127, 200)));
  EXPECT_FALSE(IsPatchMarker(MakeColour(255, 126, 0)));
}

TEST(CartoonPatches, PaintedLevelsStayBelowWhiteAndPicturesUnder140PixelsWork) {
  const Bitmap photo = Patches(SyntheticPhoto(120, 80));
  int white = 0, painted = 0;
  for (int y = 0; y < photo.Height(); ++y)
    for (int x = 0; x < photo.Width(); ++x) {
      const Colour c = photo.Pixel(x, y);
      if (c == kWhite) {
        ++white;
      } else {
        ++painted;
        EXPECT_LE(RedOf(c), 254);
        EXPECT_LE(GreenOf(c), 254);
        EXPECT_LE(BlueOf(c), 254);
      }
    }
  EXPECT_GT(painted, white);
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 9}, {9, 1}, {3, 3}, {11, 12}}) {
    EXPECT_EQ(Patches(SyntheticPhoto(w, h)).Width(), w);
  }
}

TEST(TileContrast, StretchesWholeTilesAboutALaggingPivot) {
  // 12 x 12: one tile in the first pass, none in the shifted pass (lower than 15).
  Bitmap b(12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) b.SetPixel(x, y, MakeColour(60 + 10 * (x % 3), 100, 200));
  const Bitmap before = b;
  Random random(1);
  RunContext ctx(Cartoon(), random);
  TileContrast(b, 50, ctx);
  // Tile sums: red 10 rows of (60+70+80)*3 + 60 = 690 -> 6900; green 10000; blue 20000.
  // m = 36900 div 300 = 123; pivot = 127 + (123 - 127) div 2 = 125; 25 percent.
  for (int x = 0; x < 10; ++x) {
    const int r = 60 + 10 * (x % 3);
    EXPECT_EQ(b.Pixel(x, 4), MakeColour(r + 25 * (r - 125) / 100, 100 + 25 * (100 - 125) / 100, 200 + 25 * 75 / 100));
  }
  for (int y = 0; y < 12; ++y) {
    EXPECT_EQ(b.Pixel(10, y), before.Pixel(10, y));
    EXPECT_EQ(b.Pixel(11, y), before.Pixel(11, y));
  }
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{9, 40}, {40, 9}, {1, 1}}) {
    Bitmap small = Gradient(w, h);
    TileContrast(small, 50, ctx);
    EXPECT_EQ(small, Gradient(w, h));
  }
}

TEST(Cartoon1, RepeatsItsBytesOnEveryThreadCountAndKeepsTheSource) {
  const Bitmap photo = SyntheticPhoto(151, 97);
  const Bitmap copy = photo;
  SetRowPassThreads(1);
  const Bitmap one = RunCartoon(photo);
  SetRowPassThreads(4);
  const Bitmap four = RunCartoon(photo);
  SetRowPassThreads(0);
  EXPECT_EQ(one, four);
  EXPECT_EQ(photo, copy);
  EXPECT_NE(RunCartoon(photo, kDefaults, 2), one);  // the seeds follow the session's generator
}

TEST(Cartoon1, EdgeIntensityDrawsTheOutlines) {
  const Bitmap photo = SyntheticPhoto(120, 90);
  const Bitmap none = RunCartoon(photo, {225, 70, 55, 0, 127});
  const Bitmap strong = RunCartoon(photo, {225, 70, 55, 255, 127});
  EXPECT_GT(Darker(strong, none), 100);
  EXPECT_EQ(Darker(none, strong), 0);
}

TEST(Cartoon1, TinyPicturesAndStopsStillGiveAPicture) {
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 20}, {20, 1}, {3, 3}, {14, 14}}) {
    const Bitmap out = RunCartoon(SyntheticPhoto(w, h));
    EXPECT_EQ(out.Width(), w);
    EXPECT_EQ(out.Height(), h);
  }
  Random random(1);
  RunContext ctx(Cartoon(), random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap result;
  FrameCartoonify(SyntheticPhoto(200, 150), result, ctx);
  EXPECT_EQ(result.Width(), 200);
}
