#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
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

// The blot rows are laid with batched draws, vector weights and a vector blend; each must give
// what the plain per-pixel forms give.
TEST(Painting9, BlotRowHelpersMatchThePlainForms) {
  for (int count = 0; count <= 13; ++count) {
    Random batched(12345u + static_cast<std::uint32_t>(count)), plain = batched;
    std::vector<int> draws(static_cast<std::size_t>(count) + 1, -1);
    BlotDrawsOfFive(batched, draws.data(), count);
    for (int i = 0; i < count; ++i) ASSERT_EQ(draws[static_cast<std::size_t>(i)], plain.NextInt(5)) << count << " " << i;
    EXPECT_EQ(draws[static_cast<std::size_t>(count)], -1);
    EXPECT_EQ(batched.Seed(), plain.Seed()) << count;
  }

  Random random(99);
  for (int round = 0; round < 200; ++round) {
    const int width = 1 + random.NextInt(41);
    // Near the seed, far from it, and beyond the vector form's reach (the plain form then).
    const int reach = round % 20 == 19 ? 40000 : (round % 2 == 0 ? 30 : 3000);
    const int dy = random.NextInt(2 * reach + 1) - reach, dx0 = random.NextInt(2 * reach + 1) - reach;
    const int v = round % 3 == 0 ? 0 : (round % 3 == 1 ? 29 : random.NextInt(30));
    std::vector<int> draws(static_cast<std::size_t>(width));
    for (int& d : draws) d = random.NextInt(5);
    std::vector<std::uint8_t> weights(3 * static_cast<std::size_t>(width));
    BlotRowWeights(dy, dx0, v, draws.data(), width, weights.data());
    for (int i = 0; i < width; ++i) {
      const std::int64_t dx = dx0 + i;
      const int dist = static_cast<int>(std::floor(std::sqrt(static_cast<double>(static_cast<std::int64_t>(dy) * dy + dx * dx))));
      const int want = std::clamp(v + dist / 6 + 5 + draws[static_cast<std::size_t>(i)], 0, 90);
      for (int c = 0; c < 3; ++c)
        ASSERT_EQ(weights[3 * static_cast<std::size_t>(i) + static_cast<std::size_t>(c)], want) << round << " " << i;
    }

    const std::size_t n = 3 * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> d(n), b(n), w(n);
    for (std::size_t j = 0; j < n; ++j) {
      d[j] = static_cast<std::uint8_t>(round % 7 == 0 ? 255 : random.NextInt(256));
      b[j] = static_cast<std::uint8_t>(round % 5 == 0 ? 255 : random.NextInt(256));
      w[j] = static_cast<std::uint8_t>(j % 4 == 0 ? 90 : (j % 4 == 1 ? 0 : random.NextInt(91)));
    }
    std::vector<std::uint8_t> blended = d;
    BlendBlotRow(blended.data(), b.data(), w.data(), n);
    for (std::size_t j = 0; j < n; ++j) ASSERT_EQ(blended[j], (w[j] * d[j] + (100 - w[j]) * b[j]) / 100) << round << " " << j;
  }
}
