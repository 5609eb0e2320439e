#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <vector>

#include "effects/EffectTable.h"
#include "effects/Frames.h"
#include "effects/painting/Painting9.h"
#include "resources/PaintingTextures.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(27).s;

Bitmap Paint(const Bitmap& source, std::array<int, 5> s, std::uint32_t sessionSeed = 1) {
  ParameterSnapshot p;
  p.code = 27;
  p.s = s;
  Random random(sessionSeed);
  RunContext ctx(p, random);
  Bitmap out;
  BlotPainting(source, out, Painting9SettingsFrom(ctx), ctx);
  return out;
}

}  // namespace

TEST(WatercolourTexture, AGrainyMapAroundItsMean) {
  const TextureMap& t = WatercolourTextureMap();
  ASSERT_EQ(t.values.size(), 1024u * 768u);
  std::int64_t sum = 0;
  double squares = 0;
  for (std::uint8_t v : t.values) sum += v;
  EXPECT_EQ(t.mean, sum / (1024 * 768));
  for (std::uint8_t v : t.values) squares += (v - t.mean) * (v - t.mean);
  const double deviation = std::sqrt(squares / t.values.size());
  EXPECT_GT(deviation, 8);   // visible grain
  EXPECT_LT(deviation, 40);  // but paper, not noise
  EXPECT_GT(t.mean, 100);
  EXPECT_LT(t.mean, 160);
}

TEST(Painting9, StepCostDoublesAndQuadruplesAndNeverFallsBelowOne) {
  EXPECT_EQ(BlotStepCost(120, 0), 120);
  EXPECT_EQ(BlotStepCost(121, 0), 242);
  EXPECT_EQ(BlotStepCost(300, 0), 600);
  EXPECT_EQ(BlotStepCost(301, 0), 1204);
  EXPECT_EQ(BlotStepCost(40, 190), 30);  // the canvas far from the seed colour costs less
  EXPECT_EQ(BlotStepCost(0, 0), 1);      // a flat area
  EXPECT_EQ(BlotStepCost(0, 765), 1);    // unpainted paper no longer adds budget
}

TEST(Painting9, RepeatsItsBytesWhateverTheSessionSeedAndKeepsTheSource) {
  const Bitmap photo = SyntheticPhoto(90, 70);
  const Bitmap copy = photo;
  const Bitmap first = Paint(photo, {2, 170, 90, 127, 10}, 1);
  EXPECT_EQ(Paint(photo, {2, 170, 90, 127, 10}, 4242), first);
  EXPECT_EQ(photo, copy);
  EXPECT_NE(first, photo);
}

TEST(Painting9, OutlinesOnlyDarkenAndSpareTheLastRowAndColumn) {
  const Bitmap photo = SyntheticPhoto(80, 60);
  const Bitmap plain = Paint(photo, {1, 170, 90, 0, 10});
  const Bitmap outlined = Paint(photo, {1, 170, 90, 255, 10});
  int darker = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) {
      const Colour a = plain.Pixel(x, y), b = outlined.Pixel(x, y);
      EXPECT_LE(RedOf(b), RedOf(a));
      EXPECT_LE(GreenOf(b), GreenOf(a));
      EXPECT_LE(BlueOf(b), BlueOf(a));
      darker += b != a;
      if (x == 79 || y == 59) {
        EXPECT_EQ(a, b);
      }
    }
  }
  EXPECT_GT(darker, 50);
}

TEST(Painting9, FlatAndTinyPicturesFinishWithAPicture) {
  // A flat picture: every ray spends its budget at the floor cost instead of running forever.
  const Bitmap flat = Paint(Uniform(120, 100, MakeColour(90, 120, 60)), {1, 255, 90, 127, 0});
  EXPECT_EQ(flat.Width(), 120);
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 3}}) {
    const Bitmap out = Paint(SyntheticPhoto(w, h), {1, 170, 90, 127, 10});
    EXPECT_EQ(out.Width(), w);
    EXPECT_EQ(out.Height(), h);
  }
}

TEST(Painting9, AStopReturnsTheBlotsSoFarWithoutFinishing) {
  ParameterSnapshot p;
  p.code = 27;
  p.s = kDefaults;
  Random random(1);
  RunContext ctx(p, random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  RecordingSink sink;
  ctx.SetSink(&sink);
  Bitmap result;
  FramePainting9(SyntheticPhoto(120, 90), result, ctx);
  EXPECT_EQ(result.Width(), 120);
  int white = 0;
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) white += result.Pixel(x, y) == kWhite;
  EXPECT_GT(white, 120 * 90 / 2);  // one blot on white paper, no lightening
  EXPECT_LT(white, 120 * 90);
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 1, 1}));
}
