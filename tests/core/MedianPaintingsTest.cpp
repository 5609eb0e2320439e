#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "effects/Frames.h"
#include "effects/painting/BlockAveraging.h"
#include "effects/painting/PaddedCopy.h"
#include "effects/painting/Painting3.h"
#include "effects/painting/Painting4.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/MedianFilter.h"
#include "imaging/ParallelRows.h"
#include "pipeline/RunEffect.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

ParameterSnapshot Sliders(int code, std::array<int, 5> s) {
  ParameterSnapshot p;
  p.code = code;
  p.s = s;
  return p;
}

constexpr std::array<int, 5> kPainting3Defaults{35, 5, 30, 140, 0};
constexpr std::array<int, 5> kPainting4Defaults{5, 30, 60, 140, 0};

Bitmap RunFrame(EffectFrame frame, const Bitmap& source, const ParameterSnapshot& p, std::uint32_t seed = 7) {
  Random random(seed);
  RunContext ctx(p, random);
  Bitmap result;
  frame(source, result, ctx);
  return result;
}

// Raises the stop flag at the first report that matches.
struct StopAt : RecordingSink {
  std::atomic<bool>* flag = nullptr;
  int pass = 1;
  int step = 0;
  void ShowProgress(int s, int total, int p, int passes) override {
    RecordingSink::ShowProgress(s, total, p, passes);
    if (p == pass && s >= step) flag->store(true);
  }
};

bool AllWhite(const Bitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != kWhite) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------- padded copy

TEST(PaddedCopy, LeftAndTopMarginsRepeatTheFirstColumnsAndRowsTheOthersAreWhite) {
  const Bitmap image = Gradient(12, 10);
  const Bitmap p = PaddedCopy(image, 3);
  ASSERT_EQ(p.Width(), 18);
  ASSERT_EQ(p.Height(), 16);
  EXPECT_EQ(p.Pixel(3 + 5, 3 + 4), image.Pixel(5, 4));
  EXPECT_EQ(p.Pixel(1, 3 + 7), image.Pixel(1, 7));   // left margin: column 1 of the picture
  EXPECT_EQ(p.Pixel(3 + 9, 2), image.Pixel(9, 2));   // top margin: row 2 of the picture
  EXPECT_EQ(p.Pixel(0, 0), image.Pixel(0, 0));       // corner: the picture's own corner
  EXPECT_EQ(p.Pixel(3 + 12, 5), kWhite);             // right margin
  EXPECT_EQ(p.Pixel(4, 3 + 10 + 2), kWhite);         // bottom margin
}

TEST(PaddedCopy, PicturesSmallerThanTheMarginRepeatTheirEdges) {
  Bitmap image(2, 1);
  image.SetPixel(0, 0, MakeColour(10, 20, 30));
  image.SetPixel(1, 0, MakeColour(40, 50, 60));
  const Bitmap p = PaddedCopy(image, 4);
  for (int y = 0; y < p.Height(); ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(p.Pixel(x, y), image.Pixel(0, 0));
    for (int x = 6; x < p.Width(); ++x) EXPECT_EQ(p.Pixel(x, y), image.Pixel(1, 0));
  }
}

// ---------------------------------------------------------------- rank-order filter

TEST(OrderStatisticFilter, PicksTheRankFromTheWindowAroundEachPixel) {
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  const Bitmap image = Noise(21, 17, 3);
  const Bitmap padded2 = PaddedCopy(image, 2);
  const Bitmap padded3 = PaddedCopy(image, 3);
  Bitmap two, three;
  ASSERT_TRUE(OrderStatisticFilter(image, two, 2, 1, 1, ctx));
  ASSERT_TRUE(OrderStatisticFilter(image, three, 3, 1, 1, ctx));
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      for (int c = 0; c < 3; ++c) {
        // n = 2: the minimum of the window reaching one pixel back.
        int low = 255;
        for (int j = -1; j <= 0; ++j)
          for (int i = -1; i <= 0; ++i) low = std::min<int>(low, padded2.ScanLine(y + 2 + j)[3 * (x + 2 + i) + c]);
        EXPECT_EQ(two.ScanLine(y)[3 * x + c], low);
        // n = 3: the 4th smallest of the centred 3 x 3 window.
        std::vector<int> v;
        for (int j = -1; j <= 1; ++j)
          for (int i = -1; i <= 1; ++i) v.push_back(padded3.ScanLine(y + 3 + j)[3 * (x + 3 + i) + c]);
        std::sort(v.begin(), v.end());
        EXPECT_EQ(three.ScanLine(y)[3 * x + c], v[3]);
      }
    }
  }
}

TEST(OrderStatisticFilter, EveryWindowSizeGivesItsRankOfTheSortedWindow) {
  // Each window size runs its own loop; all of them against sorting the window, on a
  // coloured odd-sized picture with flat stretches (ties) and noise.
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  Bitmap image = Noise(23, 19, 8);
  image.FillRect(3, 2, 15, 9, MakeColour(200, 10, 90));
  image.FillRect(0, 12, 23, 14, MakeColour(0, 255, 0));
  for (int n = 2; n <= 11; ++n) {
    const Bitmap padded = PaddedCopy(image, n);
    Bitmap filtered;
    ASSERT_TRUE(OrderStatisticFilter(image, filtered, n, 1, 1, ctx));
    const int shift = n - n / 2, rank = (n * n - 1) / 2 - 1;
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x)
        for (int c = 0; c < 3; ++c) {
          std::vector<int> v;
          for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) v.push_back(padded.ScanLine(y + shift + j)[3 * (x + shift + i) + c]);
          std::nth_element(v.begin(), v.begin() + rank, v.end());
          ASSERT_EQ(filtered.ScanLine(y)[3 * x + c], v[static_cast<std::size_t>(rank)]) << n << " " << x << "," << y;
        }
  }
}

TEST(OrderStatisticFilter, SizesAreClampedAndOneThreadEqualsSeveral) {
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  const Bitmap image = Noise(40, 150, 5);
  Bitmap a, b;
  OrderStatisticFilter(image, a, 0, 1, 1, ctx);
  OrderStatisticFilter(image, b, 2, 1, 1, ctx);
  EXPECT_EQ(a, b);
  OrderStatisticFilter(image, a, 30, 1, 1, ctx);
  SetRowPassThreads(1);
  OrderStatisticFilter(image, b, 11, 1, 1, ctx);
  SetRowPassThreads(0);
  EXPECT_EQ(a, b);
}

TEST(OrderStatisticFilter, StopLeavesTheDestinationAndTinyPicturesKeepTheirColour) {
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  RecordingSink sink;
  ctx.SetSink(&sink);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  const Bitmap image = Noise(30, 30, 5);
  Bitmap destination = Uniform(3, 3, kBlack);
  EXPECT_FALSE(OrderStatisticFilter(image, destination, 6, 1, 2, ctx));
  EXPECT_EQ(destination, Uniform(3, 3, kBlack));
  stop = false;
  // A dark picture narrower or lower than the window's margin must not turn white, and a
  // picture n + 1 rows high reports a positive total.
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 9}, {9, 1}, {3, 3}, {20, 7}}) {
    sink.calls.clear();
    const Bitmap dark = Uniform(w, h, MakeColour(30, 60, 90));
    ASSERT_TRUE(OrderStatisticFilter(dark, destination, 6, 1, 1, ctx));
    EXPECT_EQ(destination.Pixel(0, 0), MakeColour(30, 60, 90)) << w << "x" << h;
    for (const auto& call : sink.calls) EXPECT_GT(call[1], 0);
  }
}

// ---------------------------------------------------------------- block averaging

TEST(BlockAveraging, MergesOnlyNeighboursBelowTheBrightnessThreshold) {
  // A = (100, 100, 100): t = 300 div 30 - 25 + 40 = 25 (odd). Red counts double, so a red step
  // of 12 (24 < 25) merges and one of 13 = (t + 1) div 2 does not.
  Bitmap b = Uniform(4, 4, MakeColour(100, 100, 100));
  b.SetPixel(1, 0, MakeColour(112, 100, 100));
  b.SetPixel(0, 1, MakeColour(113, 100, 100));
  b.SetPixel(1, 1, MakeColour(100, 124, 100));  // green 24 < 25 merges
  BlockAveragingPass(b, 0, 40);
  // Sum of red 100 + 112 + 100 = 312 over 3: 104; green 100 + 100 + 124 = 324: 108.
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(104, 108, 100));
  EXPECT_EQ(b.Pixel(1, 0), MakeColour(104, 108, 100));
  EXPECT_EQ(b.Pixel(1, 1), MakeColour(104, 108, 100));
  EXPECT_EQ(b.Pixel(0, 1), MakeColour(113, 100, 100));
}

TEST(BlockAveraging, MeanRoundsUpWhenTheRemainderExceedsHalfTheCount) {
  // Two pixels: sum 201 / 2 = 100 r 1; 1 > 2 div 2 is false, so 100. Four pixels with sum
  // 403: 100 r 3 > 2, so 101.
  Bitmap b = Uniform(4, 4, MakeColour(100, 100, 100));
  b.SetPixel(1, 0, MakeColour(100, 100, 101));
  b.SetPixel(0, 1, MakeColour(255, 255, 255));
  b.SetPixel(1, 1, MakeColour(255, 255, 255));
  BlockAveragingPass(b, 0, 40);
  EXPECT_EQ(BlueOf(b.Pixel(0, 0)), 100);
  Bitmap c = Uniform(4, 4, MakeColour(100, 100, 100));
  c.SetPixel(1, 1, MakeColour(103, 100, 100));
  BlockAveragingPass(c, 0, 40);
  EXPECT_EQ(RedOf(c.Pixel(0, 0)), 101);
}

TEST(BlockAveraging, OddPassesShiftTheGridAndThreadsAgree) {
  Bitmap b = Uniform(5, 5, MakeColour(100, 100, 100));
  b.SetPixel(0, 0, MakeColour(110, 100, 100));
  Bitmap shifted = b;
  BlockAveragingPass(shifted, 1, 40);
  EXPECT_EQ(shifted, b);  // (0, 0) is outside every block at offset 1
  const Bitmap photo = SyntheticPhoto(203, 301);
  Bitmap one = photo, several = photo;
  SetRowPassThreads(1);
  BlockAveraging(one, 6, 35, nullptr);
  SetRowPassThreads(3);
  BlockAveraging(several, 6, 35, nullptr);
  SetRowPassThreads(0);
  EXPECT_EQ(one, several);
  int calls = 0;
  EXPECT_FALSE(BlockAveraging(one, 6, 35, [&](int k) { return ++calls, k < 2; }));
  EXPECT_EQ(calls, 3);
}

// ---------------------------------------------------------------- selective contrast

TEST(SelectiveContrast, SmoothsSmallDeviationsAndSharpensLargeOnes) {
  const SourceMean mean;  // halves: red 58, green 74, blue 34
  Bitmap b = Uniform(21, 21, MakeColour(100, 100, 100));
  b.SetPixel(10, 10, MakeColour(110, 110, 110));  // d = 10 everywhere: smoothed by 10 * 30 div 100
  b.SetPixel(3, 10, MakeColour(100, 100, 150));   // blue d = 50 > 34: sharpened
  SelectiveContrast(b, 30, mean);
  EXPECT_EQ(b.Pixel(10, 10), MakeColour(107, 107, 107));
  EXPECT_EQ(b.Pixel(3, 10), MakeColour(100, 100, 165));
  const Bitmap flat = Uniform(13, 11, MakeColour(90, 140, 60));
  Bitmap same = flat;
  SelectiveContrast(same, 100, mean);
  // Uniform: unchanged away from the white right and bottom margins.
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(same.Pixel(x, y), flat.Pixel(x, y));
}

// ---------------------------------------------------------------- code 7

TEST(Painting4, WithoutRoundsOnlyColourBrightnessAndContrastApply) {
  const Bitmap photo = SyntheticPhoto(61, 43);
  const Bitmap result = RunFrame(FramePainting4, photo, Sliders(7, {0, 30, 60, 140, 0}));
  Bitmap expected = photo;
  AdjustSaturation(expected, 20);
  AdjustBrightness(expected, 13);
  SelectiveContrast(expected, 30, SourceMean{});
  EXPECT_EQ(result, expected);
}

TEST(Painting4, TheSixthRoundUsesTheFiveByFiveWindow) {
  const Bitmap photo = SyntheticPhoto(47, 39);
  const Bitmap result = RunFrame(FramePainting4, photo, Sliders(7, {6, 0, 50, 127, 0}));
  Bitmap expected = photo;
  for (int i = 1; i <= 6; ++i) {
    expected = MedianFilter(expected, i == 6 ? 5 : 3);
    Sharpen(expected);
    Sharpen(expected);
  }
  EXPECT_EQ(result, expected);
}

TEST(Painting4, AStopKeepsTheLastWholeRound) {
  const Bitmap photo = SyntheticPhoto(80, 600);
  Random random(1);
  RunContext ctx(Sliders(7, {5, 0, 50, 127, 0}), random);
  std::atomic<bool> stop{false};
  StopAt sink;
  sink.flag = &stop;
  sink.step = 2;  // stop once round 2 is reported
  ctx.SetSink(&sink);
  ctx.SetStopFlag(&stop);
  Bitmap result;
  FramePainting4(photo, result, ctx);
  Bitmap expected = photo;
  for (int i = 1; i <= 2; ++i) {
    expected = MedianFilter(expected, 3);
    Sharpen(expected);
    Sharpen(expected);
  }
  EXPECT_EQ(result, expected);
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 1, 1}));
}

// ---------------------------------------------------------------- code 6

TEST(Painting3, StoppedBilateralStageNeverShowsWhite) {
  Random random(1);
  RunContext ctx(Sliders(6, kPainting3Defaults), random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap working = SyntheticPhoto(30, 20);
  Bitmap destination = SyntheticPhoto(30, 20);
  EXPECT_FALSE(BilateralStage(working, destination, Painting3SettingsFrom(ctx), 2, 2, ctx));
  EXPECT_EQ(destination, SyntheticPhoto(30, 20));
  EXPECT_EQ(random.Seed(), kEffectSeed);

  // Stopped between averaging passes: a whole picture, not white.
  stop = false;
  StopAt sink;
  sink.flag = &stop;
  sink.pass = 2;
  sink.step = 3;
  ctx.SetSink(&sink);
  Bitmap result;
  FramePainting3(SyntheticPhoto(60, 50), result, ctx);
  EXPECT_EQ(result.Width(), 60);
  EXPECT_FALSE(AllWhite(result));
}

TEST(Painting3, RepeatsItsBytesKeepsTheSourceAndHandlesTinyPictures) {
  const Bitmap photo = SyntheticPhoto(71, 53);
  const Bitmap copy = photo;
  const Bitmap first = RunFrame(FramePainting3, photo, Sliders(6, kPainting3Defaults), 1);
  SetRowPassThreads(1);
  const Bitmap second = RunFrame(FramePainting3, photo, Sliders(6, kPainting3Defaults), 99);
  SetRowPassThreads(0);
  EXPECT_EQ(first, second);
  EXPECT_EQ(photo, copy);
  EXPECT_NE(first, photo);
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 7}, {7, 1}, {3, 3}, {2, 2}}) {
    for (int size : {1, 10}) {
      const Bitmap tiny = Uniform(w, h, MakeColour(40, 80, 120));
      const Bitmap out = RunFrame(FramePainting3, tiny, Sliders(6, {35, size, 30, 127, 0}));
      EXPECT_EQ(out.Width(), w);
      EXPECT_FALSE(AllWhite(out)) << w << "x" << h << " size " << size;
    }
    EXPECT_EQ(RunFrame(FramePainting4, Uniform(w, h, kBlack), Sliders(7, kPainting4Defaults)).Height(), h);
  }
}

TEST(Painting3, PreviewAndPatchMatchTheRun) {
  const Bitmap crop = SyntheticPhoto(50, 50);
  const Bitmap run = RunFrame(FramePainting3, crop, Sliders(6, kPainting3Defaults));
  Random random(5);
  RunContext ctx(Sliders(6, kPainting3Defaults), random);
  ctx.preview = true;
  Bitmap preview, patch;
  PreviewPainting3(crop, crop, preview, ctx);
  PatchPainting3(crop, patch, ctx);
  EXPECT_EQ(preview, run);
  EXPECT_EQ(patch, run);
}
