// Painting 2's stamp rows run eight, sixteen or thirty-two bytes at a time; each path must give
// the bytes of the literal formula, at every row length (the tails), both ends of the opacity
// and of the brush alpha, and must leave the bytes past the row alone.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/painting/BrushStampRow.h"
#include "imaging/Random.h"

using namespace brumeleaf;

namespace {

std::vector<std::uint8_t> Bytes(Random& random, int count, bool extremes) {
  std::vector<std::uint8_t> v(static_cast<std::size_t>(count));
  for (std::uint8_t& b : v) {
    const int pick = random.NextInt(extremes ? 4 : 1);
    b = static_cast<std::uint8_t>(pick == 1 ? 0 : pick == 2 ? 255 : random.NextInt(256));
  }
  return v;
}

}  // namespace

TEST(BrushStampRow, EveryPathEqualsTheFormulaAtEveryLengthAndOpacity) {
  Random random(17);
  int pathsRun = 0;
  for (int path = 1; path <= 3; ++path) {
    std::vector<std::uint8_t> probe(4, 9);
    if (!LayBrushRowWith(path, probe.data(), probe.data(), probe.data(), 0, 0)) continue;
    ++pathsRun;
    for (int bytes = 0; bytes <= 100; ++bytes) {
      for (const int op : {0, 1, 30, 127, 254, 255, random.NextInt(256)}) {
        const std::vector<std::uint8_t> canvas = Bytes(random, bytes + 40, true);
        const std::vector<std::uint8_t> alpha = Bytes(random, bytes + 40, true);
        const std::vector<std::uint8_t> colour = Bytes(random, bytes + 40, true);
        std::vector<std::uint8_t> expected = canvas, laid = canvas;
        // The row starts at an odd address and the bytes after it must stay as they were.
        LayBrushRowWith(0, expected.data() + 3, alpha.data() + 3, colour.data() + 3, bytes, op);
        LayBrushRowWith(path, laid.data() + 3, alpha.data() + 3, colour.data() + 3, bytes, op);
        ASSERT_EQ(laid, expected) << "path " << path << " bytes " << bytes << " op " << op;
      }
    }
  }
  EXPECT_GE(pathsRun, 1);
  // The formula itself: a full-alpha brush at full opacity lays its colour; alpha 0 or
  // opacity 0 keeps the canvas.
  std::vector<std::uint8_t> canvas = {10, 200, 255, 0}, alpha = {255, 255, 0, 255}, colour = {90, 0, 7, 255};
  LayBrushRow(canvas.data(), alpha.data(), colour.data(), 4, 255);
  EXPECT_EQ(canvas, (std::vector<std::uint8_t>{90, 0, 255, 255}));
  LayBrushRow(canvas.data(), alpha.data(), colour.data(), 4, 0);
  EXPECT_EQ(canvas, (std::vector<std::uint8_t>{90, 0, 255, 255}));
}

TEST(BrushStampRow, SumOfAbsoluteDifferencesCountsEveryByteOnce) {
  Random random(4);
  for (int bytes = 0; bytes <= 70; ++bytes) {
    const std::vector<std::uint8_t> a = Bytes(random, bytes + 1, true), b = Bytes(random, bytes + 1, true);
    std::int64_t expected = 0;
    for (int i = 0; i < bytes; ++i) expected += std::abs(a[i + 1] - b[i + 1]);
    EXPECT_EQ(SumOfAbsoluteDifferences(a.data() + 1, b.data() + 1, bytes), expected) << bytes;
  }
  const std::vector<std::uint8_t> black(3000, 0), white(3000, 255);
  EXPECT_EQ(SumOfAbsoluteDifferences(black.data(), white.data(), 3000), 3000 * 255);
}
