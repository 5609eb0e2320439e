#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "effects/Frames.h"
#include "effects/stylised/Mosaic.h"
#include "imaging/Filters.h"
#include "tests/core/StylisedTestSupport.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

std::uint32_t SeedAfterDraws(std::uint32_t seed, int draws) {
  Random r(seed);
  for (int i = 0; i < draws; ++i) r.Next(1);
  return r.Seed();
}

std::set<Colour> ColoursOf(const Bitmap& b) {
  std::set<Colour> colours;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) colours.insert(b.Pixel(x, y));
  return colours;
}

}  // namespace

TEST(Mosaic, AttemptCounts) {
  // 4000 x 3000 at the defaults: size 39 of sizes 5..39 gets ((12e6 div 1521) div 35) = 225,
  // 225 x 100 div 255 = 88, x 300 = 26400, plus one.
  EXPECT_EQ(MosaicAttempts(4000, 3000, 39, 5, 39, 100, false), 26401);
  EXPECT_EQ(MosaicAttempts(4000, 3000, 5, 5, 39, 100, false), 100000);
  // T2 = 0: one attempt, three in the preview.
  EXPECT_EQ(MosaicAttempts(400, 300, 3, 2, 3, 0, false), 1);
  EXPECT_EQ(MosaicAttempts(400, 300, 3, 2, 3, 0, true), 3);
  EXPECT_EQ(MosaicAttempts(400, 300, 3, 2, 3, 255, true), 100000);
  // 8000 x 8000: (n T2) x 300 = 73142 x 300 passes 2^31; still the cap, never negative.
  EXPECT_EQ(MosaicAttempts(8000, 8000, 5, 5, 39, 255, false), 100000);
  EXPECT_EQ(MosaicAttempts(32768, 15001, 2, 2, 3, 255, false), 100000);
}

TEST(Mosaic, TwoAttemptsPerSizeWithoutIterationsAndTheSequenceContinues) {
  for (const bool preview : {false, true}) {
    StylisedRun run({65, 0, 50, 0, 0});  // sizes 3 and 2, c = 1 (3 in the preview)
    run.ctx.preview = preview;
    run.ctx.processing = !preview;
    const std::uint32_t seed = run.random.Seed();
    Bitmap output;
    PaintMosaic(SyntheticPhoto(40, 30), output, MosaicShape::Square, MosaicSettingsFrom(run.ctx), run.ctx);
    // Two sizes, c + 1 attempts each, two draws per attempt.
    EXPECT_EQ(run.random.Seed(), SeedAfterDraws(seed, preview ? 16 : 8));
  }
}

TEST(Mosaic, ABlankSpotIsPaintedWhateverTheTolerance) {
  const Colour colour = MakeColour(30, 60, 90);
  StylisedRun run({255, 0, 50, 0, 0});
  Random replay(run.random.Seed());
  const int cx = replay.NextInt(39), cy = replay.NextInt(29);
  Bitmap output;
  PaintMosaic(Uniform(40, 30, colour), output, MosaicShape::Square, MosaicSettingsFrom(run.ctx), run.ctx);
  // The first square of size 3 covers cx - 3 .. cx + 2 and cy - 3 .. cy + 2.
  ASSERT_TRUE(cx >= 3 && cy >= 3 && cx + 2 < 40 && cy + 2 < 30) << cx << "," << cy;
  EXPECT_EQ(output.Pixel(cx - 3, cy - 3), colour);
  EXPECT_EQ(output.Pixel(cx + 2, cy + 2), colour);
  EXPECT_EQ(ColoursOf(output), (std::set<Colour>{colour, kWhite}));
}

TEST(Mosaic, DiscsHaveADarkerRim) {
  StylisedRun run({65, 40, 50, 0, 0});
  Bitmap output;
  PaintMosaic(Uniform(30, 20, MakeColour(30, 5, 90)), output, MosaicShape::Disc, MosaicSettingsFrom(run.ctx), run.ctx);
  const std::set<Colour> colours = ColoursOf(output);
  EXPECT_TRUE(colours.count(MakeColour(30, 5, 90)));
  EXPECT_TRUE(colours.count(MakeColour(20, 0, 80)));  // each channel less 10, not below 0
  for (Colour c : colours) EXPECT_TRUE(c == kWhite || c == MakeColour(30, 5, 90) || c == MakeColour(20, 0, 80));
}

TEST(Mosaic, MinimumAboveMaximumIsPulledDown) {
  StylisedRun run({65, 0, 50, 200, 20});
  Bitmap output;
  const std::uint32_t seed = run.random.Seed();
  PaintMosaic(SyntheticPhoto(20, 20), output, MosaicShape::Square, MosaicSettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(run.ctx.S(4), 20);
  EXPECT_EQ(run.random.Seed(), SeedAfterDraws(seed, 8));  // sizes 7 and 6 only
}

TEST(Mosaic, ThinPicturesHaveNoWindowAndStayWhite) {
  for (const auto& [w, h] : {std::pair{1, 9}, std::pair{9, 1}, std::pair{1, 1}}) {
    StylisedRun run({65, 100, 55, 15, 180});
    Bitmap output;
    PaintMosaic(SyntheticPhoto(w, h), output, MosaicShape::Disc, MosaicSettingsFrom(run.ctx), run.ctx);
    EXPECT_EQ(output, Uniform(w, h, kWhite));
  }
}

TEST(Mosaic, AStopEndsBeforeTheSmallerSizesAndTheSaturation) {
  StylisedRun run({65, 100, 100, 15, 180});
  StopAtReport sink;
  sink.stop = &run.stop;
  sink.at = 2;  // the report of the first size
  run.ctx.SetSink(&sink);
  Bitmap output;
  PaintMosaic(SyntheticPhoto(90, 70), output, MosaicShape::Square, MosaicSettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{0, 34, 1, 1}));
  EXPECT_EQ(output, Uniform(90, 70, kWhite));  // stopped before the first attempt
}

TEST(Mosaic, FrameStartsFromBlackAndFinishesTheSurface) {
  StylisedRun run({65, 100, 55, 15, 180}, 10);
  run.ctx.MutableParams().softenEdges = true;
  const Bitmap source = SyntheticPhoto(50, 40);
  Bitmap result = Uniform(7, 7, kBlack), direct;
  Random again(run.random.Seed());
  FrameColouredSquares(source, result, run.ctx);
  RunContext ctx(run.ctx.Params(), again);
  PaintMosaic(source, direct, MosaicShape::Square, MosaicSettingsFrom(ctx), ctx);
  SoftBlur(direct);
  EXPECT_EQ(result, direct);
}

TEST(Mosaic, TheLargestSizesFitTheirWindows) {
  // T3 = T4 = 255: sizes 54 and 53, windows 55 pixels wide, the widest there are.
  for (const MosaicShape shape : {MosaicShape::Square, MosaicShape::Disc}) {
    StylisedRun run({65, 60, 50, 255, 255});
    Bitmap output;
    PaintMosaic(SyntheticPhoto(130, 120), output, shape, MosaicSettingsFrom(run.ctx), run.ctx);
    EXPECT_NE(output.Pixel(65, 60), kWhite);
  }
}

// The window row sums read whole 16-byte blocks and, for the last part of a row, the 16 bytes
// ending at the row's end with what lies before masked off: every length a window row can have
// and more, against the plain sums, with bright bytes before and after the row that must not
// count.
TEST(Mosaic, RowSumsMatchThePlainSums) {
  Random random(11);
  std::vector<std::uint8_t> s(16 + 200 + 16), d(s.size());
  for (int round = 0; round < 20; ++round) {
    for (std::size_t i = 0; i < s.size(); ++i) {
      s[i] = static_cast<std::uint8_t>(random.NextInt(256));
      d[i] = static_cast<std::uint8_t>(round % 5 == 0 ? 255 : random.NextInt(256));
    }
    for (std::size_t n = 1; n <= 200; ++n) {
      std::uint32_t now = 7, there = 9, wantNow = 7, wantThere = 9;
      for (std::size_t i = 16; i < 16 + n; ++i) {
        wantNow += static_cast<std::uint32_t>(std::abs(s[i] - d[i]));
        wantThere += d[i];
      }
      // Rows of exactly n bytes, so that a read outside them shows under AddressSanitizer.
      const std::vector<std::uint8_t> rowS(s.begin() + 16, s.begin() + 16 + static_cast<std::ptrdiff_t>(n));
      const std::vector<std::uint8_t> rowD(d.begin() + 16, d.begin() + 16 + static_cast<std::ptrdiff_t>(n));
      MosaicRowSums(rowS.data(), rowD.data(), n, now, there);
      ASSERT_EQ(now, wantNow) << n;
      ASSERT_EQ(there, wantThere) << n;
    }
  }
}
