#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/painting/StrokeStamps.h"
#include "imaging/CpuFeatures.h"
#include "imaging/Random.h"

using namespace brumeleaf;

namespace {

// A picture as padded planes, a brush with its tables, and a straight stroke across them, all
// random: alphas on both sides of 15, dark stroke colours (many bad pixels), centres running
// in every direction and over the picture's edges.
struct Scene {
  int width, height, brushWidth, brushHeight, hh;
  std::vector<std::uint8_t> photo[3], canvas[3], alpha;
  std::vector<std::uint16_t> strength, paint;
  std::vector<int> cx, cy, lo, hi;
  StampPaint colour;
  std::int64_t budget = 0;

  Scene(Random& random, int trial) {
    width = 1 + random.NextInt(90);
    height = 1 + random.NextInt(70);
    brushWidth = 2 + random.NextInt(trial % 7 == 0 ? 150 : 60);
    brushHeight = 2 + random.NextInt(60);
    const std::size_t pixels = static_cast<std::size_t>(width) * height + kStampPadding;
    for (int c = 0; c < 3; ++c) {
      photo[c].resize(pixels), canvas[c].resize(pixels);
      for (std::size_t i = 0; i < pixels; ++i) {
        photo[c][i] = static_cast<std::uint8_t>(random.Next(256));
        canvas[c][i] = static_cast<std::uint8_t>(random.Next(256));
      }
    }
    const std::size_t brushPixels = static_cast<std::size_t>(brushWidth) * brushHeight + kStampPadding;
    alpha.resize(brushPixels), strength.resize(brushPixels), paint.resize(brushPixels);
    const int q = random.NextInt(6);
    for (std::size_t i = 0; i < brushPixels; ++i) {
      alpha[i] = static_cast<std::uint8_t>(random.Next(4) == 0 ? random.Next(20) : random.Next(256));
      strength[i] = static_cast<std::uint16_t>(q == 0 ? alpha[i] * 10 / 15 : alpha[i] / q);
      paint[i] = static_cast<std::uint16_t>(random.Next(256));
    }
    hh = 1 + random.NextInt(brushHeight / 2);
    const int hw = 1 + random.NextInt(brushWidth / 2);
    const int reachOf = 1 + random.NextInt(hh + hw);
    for (int r = -hh; r < hh; ++r) {
      const int reach = r * r > reachOf * reachOf ? -1 : static_cast<int>(std::sqrt(reachOf * reachOf - r * r));
      int first = std::max(-hw, -reach), last = std::min(hw - 1, reach);
      if (reach < 0 || random.Next(9) == 0) first = 1, last = 0;
      lo.push_back(first), hi.push_back(last);
    }
    const int x0 = random.NextInt(width + 40) - 20, y0 = random.NextInt(height + 40) - 20;
    const int x1 = random.NextInt(width + 40) - 20, y1 = random.NextInt(height + 40) - 20;
    const int n = static_cast<int>(std::floor(std::hypot(x1 - x0, y1 - y0)));
    for (int s = 1; s <= n; ++s) {
      cx.push_back(static_cast<int>(std::floor(x0 + static_cast<double>(x1 - x0) * s / n)));
      cy.push_back(static_cast<int>(std::floor(y0 + static_cast<double>(y1 - y0) * s / n)));
    }
    colour.divisor = static_cast<StampDivisor>(random.Next(3));
    colour.close = 1 + random.NextInt(86);
    for (int c = 0; c < 3; ++c) {
      colour.k[c] = random.NextInt(trial % 2 ? 256 : 40);
      colour.light[c] = std::min(255, 2 * colour.k[c]);
    }
    budget = random.Next(3) == 0 ? 1000000 : random.NextInt(3 * n + 1);
    abandonAtOnce = random.Next(2) == 0;
  }
  bool abandonAtOnce = false;

  StrokeStamps Stroke(std::vector<std::uint8_t> (&onto)[3], std::vector<int>& first, std::vector<int>& last) {
    StrokeStamps st;
    st.width = width, st.height = height;
    for (int c = 0; c < 3; ++c) st.photo[c] = photo[c].data(), st.canvas[c] = onto[c].data();
    st.brushWidth = brushWidth, st.brushHeight = brushHeight;
    st.alpha = alpha.data(), st.strength = strength.data(), st.paint = paint.data();
    st.cx = cx.data(), st.cy = cy.data(), st.count = static_cast<int>(cx.size());
    st.hh = hh, st.lo = lo.data(), st.hi = hi.data();
    st.budget = budget;
    st.abandonAtOnce = abandonAtOnce;
    first.assign(static_cast<std::size_t>(height), width);
    last.assign(static_cast<std::size_t>(height), -1);
    st.changedFirst = first.data(), st.changedLast = last.data();
    return st;
  }
};

}  // namespace

TEST(StrokeStamps, TheSweepEqualsLayingStampAfterStampPixelByPixel) {
  Random random(29);
  int swept = 0, cut = 0, declined = 0;
  for (int trial = 0; trial < 1500; ++trial) {
    Scene scene(random, trial);
    std::vector<std::uint8_t> expected[3] = {scene.canvas[0], scene.canvas[1], scene.canvas[2]};
    std::vector<std::uint8_t> actual[3] = {scene.canvas[0], scene.canvas[1], scene.canvas[2]};
    std::vector<int> firstExpected, lastExpected, firstActual, lastActual;
    const StrokeStamps reference = scene.Stroke(expected, firstExpected, lastExpected);
    const bool whole = LayStrokeStampByStamp(reference, scene.colour, true);
    cut += !whole;
    // The dispatching form, on a scratch that has served other strokes, lays the same.
    {
      std::vector<std::uint8_t> again[3] = {scene.canvas[0], scene.canvas[1], scene.canvas[2]};
      std::vector<int> first, last;
      static StrokeSweepScratch shared;
      ASSERT_EQ(LayStrokeStamps(scene.Stroke(again, first, last), scene.colour, shared), whole) << "trial " << trial;
      for (int c = 0; c < 3; ++c) ASSERT_EQ(again[c], expected[c]) << "trial " << trial << " channel " << c;
      ASSERT_EQ(first, firstExpected) << "trial " << trial;
      ASSERT_EQ(last, lastExpected) << "trial " << trial;
    }
    StrokeSweepScratch scratch;
    bool available = false;
    const StrokeStamps sweep = scene.Stroke(actual, firstActual, lastActual);
    const bool sweptWhole = LayStrokeSweep(sweep, scene.colour, scratch, available);
    if (!HasAvx512()) GTEST_SKIP() << "no AVX-512 on this processor";
    if (!available) {
      // Declined only a stroke that ends at its bad pixel, inside a stamp, and untouched.
      ++declined;
      ASSERT_TRUE(scene.abandonAtOnce && !whole) << "trial " << trial;
      for (int c = 0; c < 3; ++c) ASSERT_EQ(actual[c], scene.canvas[c]) << "trial " << trial;
      continue;
    }
    ++swept;
    ASSERT_EQ(sweptWhole, whole) << "trial " << trial;
    for (int c = 0; c < 3; ++c) ASSERT_EQ(actual[c], expected[c]) << "trial " << trial << " channel " << c;
    ASSERT_EQ(firstActual, firstExpected) << "trial " << trial;
    ASSERT_EQ(lastActual, lastExpected) << "trial " << trial;
  }
  // Every kind of stroke was met: ended by their bad pixels after a stamp or inside one, and
  // laid whole.
  EXPECT_GT(cut - declined, 50);
  EXPECT_GT(declined, 50);
  EXPECT_LT(cut, swept - 50);
}
