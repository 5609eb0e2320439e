#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>

#include "effects/painting/StrokeCanvas.h"
#include "effects/painting/StrokeWordBlend.h"
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

}  // namespace

TEST(StrokeCanvas, ErrorSumsMatchTheSumOverTheirPixelsAcrossBlocksAndAfterChanges) {
  // 201 pixels: three whole blocks of 64 and a part block. Black against a light photograph
  // brings the block sums near their 16-bit limit.
  const Bitmap photo = SyntheticPhoto(201, 7);
  StrokeCanvas strokes(photo, kBlack);
  Bitmap canvas = Uniform(201, 7, kBlack);
  Random random(5);
  const auto checkAll = [&] {
    for (int y = 0; y < 7; ++y)
      for (const auto& [first, last] : {std::pair{0, 0}, {0, 200}, {63, 64}, {64, 127}, {1, 63}, {127, 129}, {200, 200}, {5, 190}})
        ASSERT_EQ(strokes.ErrorSum(y, first, last), SlowSum(photo, canvas, y, first, last)) << y << ": " << first << ".." << last;
    for (int k = 0; k < 300; ++k) {
      const int y = random.NextInt(7), a = random.NextInt(201), b = random.NextInt(201);
      ASSERT_EQ(strokes.ErrorSum(y, std::min(a, b), std::max(a, b)), SlowSum(photo, canvas, y, std::min(a, b), std::max(a, b)));
    }
  };
  checkAll();
  // Repaint stretches (inside a block, across blocks, at both ends of the row) and tell it.
  for (const auto& [y, first, last] : {std::tuple{0, 10, 20}, {3, 60, 130}, {1, 63, 66}, {6, 0, 200}, {2, 199, 200}, {4, 0, 0}, {5, 64, 64}}) {
    for (int x = first; x <= last; ++x)
      for (int c = 0; c < 3; ++c) {
        const auto level = static_cast<std::uint8_t>(random.NextInt(256));
        canvas.ScanLine(y)[3 * x + c] = level;
        strokes.At(x, y)[StrokeCanvas::kCanvas + c] = level;
      }
    strokes.CanvasChanged(y, first, last);
    checkAll();
  }
  // The pictures come back out; a canvas equal to the photograph leaves no error.
  Bitmap out;
  strokes.CopyCanvas(out);
  EXPECT_EQ(out, canvas);
  strokes.CopyPhotograph(out);
  EXPECT_EQ(out, photo);
  for (int x = 0; x < 201; ++x)
    for (int c = 0; c < 3; ++c) strokes.At(x, 1)[StrokeCanvas::kCanvas + c] = photo.ScanLine(1)[3 * x + c];
  strokes.CanvasChanged(1, 0, 200);
  EXPECT_EQ(strokes.ErrorSum(1, 0, 200), 0u);
}

TEST(StrokeCanvas, OneThreadBuildsWhatSeveralBuildInAnyShape) {
  for (const auto& [w, h] : {std::pair{131, 97}, {1, 1}, {1, 40}, {70, 1}}) {
    const Bitmap photo = SyntheticPhoto(w, h);
    SetRowPassThreads(1);
    const StrokeCanvas one(photo, 0xFBFFFF);
    SetRowPassThreads(4);
    const StrokeCanvas several(photo, 0xFBFFFF);
    SetRowPassThreads(0);
    const Bitmap canvas = Uniform(w, h, 0xFBFFFF);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(std::memcmp(one.At(x, y), several.At(x, y), StrokeCanvas::kPixelBytes), 0);
        ASSERT_EQ(one.ErrorSum(y, 0, x), SlowSum(photo, canvas, y, 0, x));
      }
    Bitmap out;
    several.CopyCanvas(out);
    EXPECT_EQ(out, canvas);
  }
}

TEST(StrokeWordBlend, BlendAndItsErrorMatchThePixelFormulaAtEveryLengthAndLevel) {
  // Runs of 1 to 13 pixels cover the four-, two- and one-pixel steps; levels at both ends.
  Random random(11);
  constexpr int kWord = StrokeCanvas::kPixelBytes;
  for (int pixels = 1; pixels <= 13; ++pixels)
    for (int trial = 0; trial < 40; ++trial) {
      std::vector<std::uint8_t> words(kWord * pixels), level(kWord * pixels, 0), paint(kWord * pixels, 0);
      for (auto& byte : words) byte = static_cast<std::uint8_t>(random.NextInt(256));
      for (int i = 0; i < pixels; ++i) {
        const int l = trial == 0 ? 0 : trial == 1 ? 249 : random.NextInt(250);
        for (int c = 0; c < 3; ++c) {
          level[kWord * i + c] = static_cast<std::uint8_t>(l);
          paint[kWord * i + c] = static_cast<std::uint8_t>(255 - l);
        }
      }
      const std::uint8_t mean[3] = {static_cast<std::uint8_t>(random.NextInt(256)), static_cast<std::uint8_t>(trial % 2 ? 255 : 0),
                                    static_cast<std::uint8_t>(random.NextInt(256))};
      std::uint32_t expected = 0;
      std::vector<std::uint8_t> expectedBlend(kWord * pixels, 0), blend(kWord * pixels, 0xAA);
      for (int i = 0; i < pixels; ++i)
        for (int c = 0; c < 3; ++c) {
          const int l = level[kWord * i + c];
          const int blended = (words[kWord * i + StrokeCanvas::kCanvas + c] * l + mean[c] * (255 - l)) >> 8;
          expectedBlend[kWord * i + c] = static_cast<std::uint8_t>(blended);
          expected += static_cast<std::uint32_t>(std::abs(words[kWord * i + StrokeCanvas::kPhotograph + c] - blended));
        }
      const StrokeRun run{words.data(), level.data(), paint.data(), pixels};
      BlendRun(run, mean, blend.data());
      ASSERT_EQ(blend, expectedBlend) << pixels << " pixels, trial " << trial;
      ASSERT_EQ(BlendedRunErrorPlain(run, mean), expected) << pixels << " pixels, trial " << trial;
      ASSERT_EQ(BlendedRunError(run, mean), expected) << pixels << " pixels, trial " << trial;
    }
}
