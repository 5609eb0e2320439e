#include <gtest/gtest.h>

#include <atomic>

#include "effects/EffectTable.h"
#include "effects/Frames.h"
#include "effects/painting/RandomStrokes.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "tests/core/PaintingTestSupport.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(15).s;

RandomStrokesSettings Small(int k = 30) {
  RandomStrokesSettings s;
  s.minimumBrush = 4;
  s.maximumBrush = 20;
  s.strokes = 20;
  s.edgeIntensity = k;
  return s;
}

Bitmap Paint(const Bitmap& picture, const RandomStrokesSettings& s, RunContext& ctx) {
  Bitmap source = picture, out;
  RandomStrokesPainting(source, out, s, ctx);
  return out;
}

}  // namespace

TEST(RandomStrokes, SameSettingsRepeatTheBytesAndLeaveTheSourceAlone) {
  const Bitmap photo = SyntheticPhoto(61, 47);
  const Bitmap copy = photo;
  const Bitmap a = RunPaintingFrame(FrameRandomStrokes, photo, PaintingParams(15, {5, 25, 40, 30, 190}), 1);
  const Bitmap b = RunPaintingFrame(FrameRandomStrokes, photo, PaintingParams(15, {5, 25, 40, 30, 190}), 99);
  EXPECT_EQ(a, b);  // reseeded with 1969, whatever the session's state
  EXPECT_EQ(photo, copy);
  ASSERT_EQ(a.Width(), 61);
  ASSERT_EQ(a.Height(), 47);
  EXPECT_NE(a, Uniform(61, 47, 0xFBFFFF));  // something was painted
}

TEST(RandomStrokes, PicturesWithoutAnOpenSpotFinish) {
  // A white or bright red picture matches the near-white canvas in red everywhere, so no spot
  // ever qualifies: every size level must end instead of searching for ever.
  Random random(3);
  RunContext ctx(PaintingParams(15, kDefaults), random);
  for (Colour c : {kWhite, MakeColour(255, 0, 0)}) {
    const Bitmap out = Paint(Uniform(40, 30, c), Small(), ctx);
    ASSERT_EQ(out.Width(), 40);
  }
  // With the strictest precision every spot qualifies (tolerance 0).
  RandomStrokesSettings strict = Small();
  strict.precision = 255;
  EXPECT_EQ(Paint(SyntheticPhoto(30, 20), strict, ctx).Height(), 20);
}

TEST(RandomStrokes, TinyPicturesGiveAPicture) {
  for (const auto& size : kTinySizes) {
    const Bitmap out = RunPaintingFrame(FrameRandomStrokes, SyntheticPhoto(size[0], size[1]),
                                        PaintingParams(15, {5, 20, 50, 30, 190}));
    EXPECT_EQ(out.Width(), size[0]);
    EXPECT_EQ(out.Height(), size[1]);
  }
}

TEST(RandomStrokes, AMinimumAboveTheMaximumIsPulledDownAndShown) {
  Random random(1);
  RunContext ctx(PaintingParams(15, {60, 20, 20, 30, 190}), random);
  Bitmap out;
  FrameRandomStrokes(SyntheticPhoto(30, 30), out, ctx);
  EXPECT_EQ(ctx.Params().s[0], 20);
  EXPECT_EQ(ctx.Params().s[1], 20);
}

TEST(RandomStrokes, TheOutlineOverlayOnlyDarkensAndSparesTheLastRowAndColumn) {
  const Bitmap photo = SyntheticPhoto(45, 33);
  Random random(1);
  RunContext ctx(PaintingParams(15, kDefaults), random);
  const Bitmap plain = Paint(photo, Small(0), ctx);
  const Bitmap outlined = Paint(photo, Small(255), ctx);
  bool darker = false;
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 45; ++x) {
      const Colour p = plain.Pixel(x, y), o = outlined.Pixel(x, y);
      if (x == 44 || y == 32) {
        EXPECT_EQ(p, o) << x << "," << y;
        continue;
      }
      EXPECT_LE(RedOf(o), RedOf(p));
      EXPECT_LE(BlueOf(o), BlueOf(p));
      darker = darker || o != p;
    }
  EXPECT_TRUE(darker);
}

TEST(RandomStrokes, AStopBeforeTheFirstStampLeavesTheBareCanvas) {
  Random random(1);
  RunContext ctx(PaintingParams(15, kDefaults), random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  RecordingSink sink;
  ctx.SetSink(&sink);
  const Bitmap out = Paint(SyntheticPhoto(30, 20), Small(), ctx);
  EXPECT_EQ(out, Uniform(30, 20, 0xFBFFFF));
  ASSERT_FALSE(sink.calls.empty());
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 1, 1}));
}

TEST(RandomStrokes, APreviewOfAFramePainterPaintsNothing) {
  Random random(1);
  RunContext ctx(PaintingParams(3, kDefaults), random);
  ctx.preview = true;
  ctx.silent = true;
  Bitmap source = SyntheticPhoto(20, 20), out = Uniform(5, 5, kBlack);
  RandomStrokesPainting(source, out, Small(), ctx);
  EXPECT_EQ(out, Uniform(5, 5, kBlack));
}

TEST(RandomStrokes, AFramePainterStartsFromItsOwnCanvasWithoutWarmUp) {
  Random random(1);
  RunContext ctx(PaintingParams(3, kDefaults), random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  RandomStrokesSettings s = Small();
  s.canvas = MakeColour(10, 200, 30);
  EXPECT_EQ(Paint(SyntheticPhoto(20, 20), s, ctx), Uniform(20, 20, MakeColour(10, 200, 30)));
  EXPECT_FALSE(RandomStrokesSettingsFrom(ctx).warmUp);
  ctx.MutableParams().code = 15;
  EXPECT_TRUE(RandomStrokesSettingsFrom(ctx).warmUp);
}

TEST(RandomStrokes, TheBudgetNeitherOverflowsNorPassesItsCap) {
  RandomStrokesSettings s;  // the defaults: lo 10, hi 200, n 50
  // (4000 * 3000 div 2) * 50 = 300000000, div (1 + 1) * 4: above 2^31 on the way in 32 bits.
  EXPECT_EQ(RandomStrokesBudget(4000, 3000, s), 600000000);
  EXPECT_EQ(RandomStrokesBudget(8000, 6000, s), 700000000);
  s.maxStrokes = true;
  EXPECT_EQ(RandomStrokesBudget(8000, 6000, s), 2100000000);
  s.minimumBrush = 250;  // pulled down to the maximum: one size band
  s.maxStrokes = false;
  EXPECT_EQ(RandomStrokesBudget(100, 100, s), 5000 * 50 * 4);
  EXPECT_EQ(RandomStrokesBudget(1, 1, s), 0);
}

TEST(RandomStrokes, TheUsersBrushReplacesTheTiles) {
  Bitmap brush = Uniform(30, 30, kWhite);
  brush.FillRect(10, 12, 20, 18, kBlack);
  ParameterSnapshot p = PaintingParams(15, {5, 25, 60, 30, 190});
  const Bitmap photo = SyntheticPhoto(50, 40);
  const Bitmap tiles = RunPaintingFrame(FrameRandomStrokes, photo, p);
  p.customBrush = true;
  p.customBrushPicture = &brush;
  const Bitmap own = RunPaintingFrame(FrameRandomStrokes, photo, p);
  EXPECT_NE(own, tiles);
  EXPECT_EQ(own, RunPaintingFrame(FrameRandomStrokes, photo, p));
}

TEST(RandomStrokes, OneThreadPaintsWhatSeveralPaintAndAStopKeepsTheCanvas) {
  // The painting is done on a working copy of both pictures that is built and written back on
  // several threads; a stop before the first stamp leaves the bare canvas.
  const Bitmap photo = SyntheticPhoto(83, 61);
  RandomStrokesSettings s = Small(60);
  s.maximumBrush = 40;
  Random random(1);
  RunContext ctx(PaintingParams(15, kDefaults), random);
  SetRowPassThreads(1);
  const Bitmap one = Paint(photo, s, ctx);
  SetRowPassThreads(4);
  const Bitmap several = Paint(photo, s, ctx);
  SetRowPassThreads(0);
  EXPECT_EQ(one, several);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  EXPECT_EQ(Paint(photo, s, ctx), Uniform(83, 61, 0xFBFFFF));
}
