#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>

#include "effects/painting/StrokeCanvas.h"
#include "effects/painting/StrokeRunBlend.h"
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

TEST(StrokeCanvas, ErrorSumsMatchTheSumOverTheirPixelsAfterChanges) {
  // Black against a light photograph gives large errors; odd width.
  const Bitmap photo = SyntheticPhoto(201, 7);
  StrokeCanvas strokes(photo, kBlack);
  Bitmap canvas = Uniform(201, 7, kBlack);
  Random random(5);
  const auto checkAll = [&] {
    for (int y = 0; y < 7; ++y)
      for (const auto& [first, last] : {std::pair{0, 0}, {0, 200}, {63, 64}, {1, 63}, {200, 200}, {5, 190}})
        ASSERT_EQ(strokes.ErrorSum(y, first, last), SlowSum(photo, canvas, y, first, last)) << y << ": " << first << ".." << last;
  };
  checkAll();
  // Repaint stretches, at both ends of rows too.
  for (const auto& [y, first, last] : {std::tuple{0, 10, 20}, {3, 60, 130}, {6, 0, 200}, {2, 199, 200}, {4, 0, 0}}) {
    for (int x = first; x <= last; ++x)
      for (int c = 0; c < 3; ++c) {
        const auto level = static_cast<std::uint8_t>(random.NextInt(256));
        canvas.ScanLine(y)[3 * x + c] = level;
        strokes.At(x, y)[StrokeCanvas::kCanvas + c] = level;
      }
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

TEST(StrokeRunBlend, MeasuresBlendsAndErrorsMatchThePixelFormulaAtEveryLengthAndLevel) {
  // Runs of 1 to 13 pixels cover the four-pixel steps and every end; 600 pixels pass the point
  // where the wide loop widens its sums. The buffers hold the run and nothing more, so that
  // AddressSanitizer sees any read past it.
  Random random(11);
  constexpr int kPixel = StrokeCanvas::kPixelBytes, kLanes = kStrokeBrushLanes;
  std::vector<int> lengths;
  for (int pixels = 1; pixels <= 13; ++pixels) lengths.push_back(pixels);
  lengths.push_back(600);
  for (int pixels : lengths)
    for (int trial = 0; trial < 40; ++trial) {
      std::vector<std::uint8_t> pixelBytes(static_cast<std::size_t>(kPixel * pixels));
      std::vector<std::uint16_t> level(static_cast<std::size_t>(kLanes * pixels), 0), paint(level.size(), 0);
      for (auto& byte : pixelBytes) byte = static_cast<std::uint8_t>(trial == 2 ? 255 : random.NextInt(256));
      for (int i = 0; i < pixels; ++i) {
        const int l = trial == 0 ? 0 : trial == 1 ? 249 : random.NextInt(250);
        for (int c = 0; c < 3; ++c) {
          level[static_cast<std::size_t>(kLanes * i + c)] = static_cast<std::uint16_t>(l);
          paint[static_cast<std::size_t>(kLanes * i + c)] = static_cast<std::uint16_t>(255 - l);
        }
      }
      const std::uint8_t mean[3] = {static_cast<std::uint8_t>(random.NextInt(256)), static_cast<std::uint8_t>(trial % 2 ? 255 : 0),
                                    static_cast<std::uint8_t>(random.NextInt(256))};
      RunMeasure expectedMeasure;
      std::uint32_t expected = 0;
      std::vector<std::uint8_t> expectedBlend(static_cast<std::size_t>(4 * pixels), 0), blend(expectedBlend.size(), 0xAA);
      for (int i = 0; i < pixels; ++i)
        for (int c = 0; c < 3; ++c) {
          const std::uint8_t* pixel = &pixelBytes[static_cast<std::size_t>(kPixel * i)];
          const int l = level[static_cast<std::size_t>(kLanes * i + c)];
          const int blended = (pixel[StrokeCanvas::kCanvas + c] * l + mean[c] * (255 - l)) >> 8;
          expectedBlend[static_cast<std::size_t>(4 * i + c)] = static_cast<std::uint8_t>(blended);
          expected += static_cast<std::uint32_t>(std::abs(pixel[StrokeCanvas::kPhotograph + c] - blended));
          expectedMeasure.colour[c] += pixel[StrokeCanvas::kPhotograph + c];
          expectedMeasure.error += static_cast<std::uint32_t>(std::abs(pixel[StrokeCanvas::kPhotograph + c] - pixel[StrokeCanvas::kCanvas + c]));
        }
      const StrokeRun run{pixelBytes.data(), level.data(), paint.data(), pixels};
      BlendRun(run, mean, blend.data());
      ASSERT_EQ(blend, expectedBlend) << pixels << " pixels, trial " << trial;
      ASSERT_EQ(BlendedRunsErrorPlain(&run, 1, mean, ~0ull), expected) << pixels << " pixels, trial " << trial;
      ASSERT_EQ(BlendedRunsError(&run, 1, mean, ~0ull), expected) << pixels << " pixels, trial " << trial;
      // Measures add on to what is there.
      RunMeasure plain, wide;
      plain.error = wide.error = 7;
      const PixelSpan span{pixelBytes.data(), pixels};
      MeasureSpansPlain(&span, 1, plain);
      MeasureSpans(&span, 1, wide);
      for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(plain.colour[c], expectedMeasure.colour[c]) << pixels << " pixels, trial " << trial;
        ASSERT_EQ(wide.colour[c], expectedMeasure.colour[c]) << pixels << " pixels, trial " << trial;
      }
      ASSERT_EQ(plain.error, expectedMeasure.error + 7);
      ASSERT_EQ(wide.error, expectedMeasure.error + 7) << pixels << " pixels, trial " << trial;
    }
}

TEST(StrokeRunBlend, SeveralRunsAddUpAndStopOnceTheirErrorReachesTheLimit) {
  constexpr int kPixel = StrokeCanvas::kPixelBytes, kLanes = kStrokeBrushLanes;
  const std::vector<int> lengths{5, 2, 17, 4, 9};
  Random random(3);
  std::vector<std::vector<std::uint8_t>> pixels;
  std::vector<std::vector<std::uint16_t>> levels, paints;
  for (int n : lengths) {
    pixels.emplace_back(static_cast<std::size_t>(kPixel * n));
    for (auto& byte : pixels.back()) byte = static_cast<std::uint8_t>(random.NextInt(256));
    levels.emplace_back(static_cast<std::size_t>(kLanes * n), 0);
    paints.emplace_back(static_cast<std::size_t>(kLanes * n), 0);
    for (int i = 0; i < n; ++i)
      for (int c = 0; c < 3; ++c) {
        const int l = random.NextInt(250);
        levels.back()[static_cast<std::size_t>(kLanes * i + c)] = static_cast<std::uint16_t>(l);
        paints.back()[static_cast<std::size_t>(kLanes * i + c)] = static_cast<std::uint16_t>(255 - l);
      }
  }
  const std::uint8_t mean[3] = {40, 200, 120};
  std::vector<StrokeRun> runs;
  std::vector<PixelSpan> spans;
  std::vector<std::uint64_t> errors;
  RunMeasure oneByOne;
  for (std::size_t k = 0; k < lengths.size(); ++k) {
    runs.push_back({pixels[k].data(), levels[k].data(), paints[k].data(), lengths[k]});
    spans.push_back({pixels[k].data(), lengths[k]});
    errors.push_back(BlendedRunsErrorPlain(&runs.back(), 1, mean, ~0ull));
    MeasureSpansPlain(&spans.back(), 1, oneByOne);
    ASSERT_GT(errors.back(), 0u);
  }
  RunMeasure together;
  MeasureSpans(spans.data(), spans.size(), together);
  EXPECT_EQ(together.error, oneByOne.error);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(together.colour[c], oneByOne.colour[c]);
  const std::uint64_t all = errors[0] + errors[1] + errors[2] + errors[3] + errors[4];
  for (auto* sum : {&BlendedRunsError, &BlendedRunsErrorPlain}) {
    EXPECT_EQ(sum(runs.data(), runs.size(), mean, ~0ull), all);
    EXPECT_EQ(sum(runs.data(), runs.size(), mean, all), all);
    // Once past the first run's error, the second run's is added and the sum stops there.
    EXPECT_EQ(sum(runs.data(), runs.size(), mean, errors[0] + 1), errors[0] + errors[1]);
    EXPECT_EQ(sum(runs.data(), runs.size(), mean, errors[0]), errors[0]);
    EXPECT_EQ(sum(runs.data(), 0, mean, 1), 0u);
  }
}
