#include <gtest/gtest.h>

#include <cstdlib>

#include "effects/painting/ErrorSums.h"
#include "imaging/ParallelRows.h"
#include "imaging/Random.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

std::uint32_t SlowSum(const Bitmap& a, const Bitmap& b, int y, int first, int last) {
  std::uint32_t sum = 0;
  for (int x = first; x <= last; ++x)
    for (int c = 0; c < 3; ++c) sum += static_cast<std::uint32_t>(std::abs(a.ScanLine(y)[3 * x + c] - b.ScanLine(y)[3 * x + c]));
  return sum;
}

// A canvas far from the photograph everywhere, so that block sums come near their 16-bit limit.
Bitmap Opposite(const Bitmap& photo) {
  Bitmap out = photo;
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < 3 * out.Width(); ++x) out.ScanLine(y)[x] = out.ScanLine(y)[x] < 128 ? 255 : 0;
  return out;
}

}  // namespace

TEST(ErrorSums, StretchesMatchTheSumOverTheirPixelsAcrossBlocksAndAfterChanges) {
  // 201 pixels: three whole blocks of 64 and a part block; stretches that start and end on
  // either side of block edges, the first and last column, and runs longer than a block.
  const Bitmap photo = SyntheticPhoto(201, 7);
  Bitmap canvas = Opposite(photo);
  ErrorSums sums(photo, canvas);
  Random random(5);
  const auto checkAll = [&] {
    for (int y = 0; y < 7; ++y)
      for (const auto& [first, last] : {std::pair{0, 0}, {0, 200}, {63, 64}, {64, 127}, {1, 63}, {127, 129}, {200, 200}, {5, 190}})
        ASSERT_EQ(sums.Sum(y, first, last), SlowSum(photo, canvas, y, first, last)) << y << ": " << first << ".." << last;
    for (int k = 0; k < 300; ++k) {
      const int y = random.NextInt(7), a = random.NextInt(201), b = random.NextInt(201);
      ASSERT_EQ(sums.Sum(y, std::min(a, b), std::max(a, b)), SlowSum(photo, canvas, y, std::min(a, b), std::max(a, b)));
    }
  };
  checkAll();
  // Repaint stretches (inside a block, across blocks, at both ends of the row) and tell the sums.
  for (const auto& [y, first, last] : {std::tuple{0, 10, 20}, {3, 60, 130}, {6, 0, 200}, {2, 199, 200}, {4, 0, 0}, {5, 64, 64}}) {
    for (int x = first; x <= last; ++x)
      for (int c = 0; c < 3; ++c) canvas.ScanLine(y)[3 * x + c] = static_cast<std::uint8_t>(random.NextInt(256));
    sums.CanvasChanged(y, first, last, photo.ScanLine(y), canvas.ScanLine(y));
    checkAll();
  }
  // Bringing the canvas back to the photograph leaves no error.
  for (int x = 0; x < 201; ++x)
    for (int c = 0; c < 3; ++c) canvas.ScanLine(1)[3 * x + c] = photo.ScanLine(1)[3 * x + c];
  sums.CanvasChanged(1, 0, 200, photo.ScanLine(1), canvas.ScanLine(1));
  EXPECT_EQ(sums.Sum(1, 0, 200), 0u);
}

TEST(ErrorSums, OneThreadBuildsWhatSeveralBuildAndSizesMustAgree) {
  const Bitmap photo = SyntheticPhoto(131, 97);
  const Bitmap canvas = Opposite(photo);
  SetRowPassThreads(1);
  const ErrorSums one(photo, canvas);
  SetRowPassThreads(4);
  const ErrorSums several(photo, canvas);
  SetRowPassThreads(0);
  for (int y = 0; y < 97; ++y)
    for (int x = 0; x < 131; ++x) ASSERT_EQ(*one.At(x, y), *several.At(x, y));
  EXPECT_THROW(ErrorSums(photo, Bitmap(131, 96)), ImageError);
  const ErrorSums single(SyntheticPhoto(1, 1), Bitmap(1, 1));
  EXPECT_EQ(single.Sum(0, 0, 0), SlowSum(SyntheticPhoto(1, 1), Bitmap(1, 1), 0, 0, 0));
}
