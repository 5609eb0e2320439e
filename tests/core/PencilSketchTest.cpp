#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "effects/Frames.h"
#include "pipeline/RunEffect.h"
#include "effects/drawing/PencilSketch1.h"
#include "resources/PencilToneStrip.h"
#include "SyntheticPhoto.h"

using namespace brumeleaf;
using brumeleaf::testing::RecordingSink;
using brumeleaf::testing::SyntheticPhoto;
using brumeleaf::testing::Uniform;

namespace {

ParameterSnapshot Settings(int t, int e, int ci, int l, int k) {
  ParameterSnapshot p;
  p.s = {t, e, ci, l, k};
  return p;
}

const ParameterSnapshot kDefaults = Settings(25, 100, 80, 160, 25);

Bitmap Draw(const Bitmap& source, const ParameterSnapshot& p, std::uint32_t sessionSeed = 77) {
  Random random(sessionSeed);
  RunContext ctx(p, random);
  Bitmap drawing;
  DrawPencilSketch(source, drawing, ctx);
  return drawing;
}

bool IsGrey(Colour c) { return RedOf(c) == GreenOf(c) && GreenOf(c) == BlueOf(c); }

// The last two rows and columns are never written by the drawing pass.
void ExpectWhiteMargin(const Bitmap& d) {
  for (int y = 0; y < d.Height(); ++y)
    for (int x = d.Width() - 2; x < d.Width(); ++x) EXPECT_EQ(d.Pixel(x, y), kWhite);
  for (int y = d.Height() - 2; y < d.Height(); ++y)
    for (int x = 0; x < d.Width(); ++x) EXPECT_EQ(d.Pixel(x, y), kWhite);
}

}  // namespace

TEST(DrawPencilSketch, ThresholdZeroDarkensTheLeftNeighbour) {
  // Every pixel is an edge: e = clamp(c - 2E + 255 - 0 - 0), mixed with the mean of e by CI.
  const Bitmap source = Uniform(12, 9, MakeColour(200, 120, 40));
  const Bitmap d = Draw(source, Settings(0, 100, 80, 160, 25));
  const int er = 200 - 200 + 255, eg = 120 - 200 + 255, eb = 40 - 200 + 255;  // 255, 175, 95
  const int m = (20 * (er + eg + eb)) / 3;
  const Colour expected = MakeColour((80 * er + m) / 100, (80 * eg + m) / 100, (80 * eb + m) / 100);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(d.Pixel(x, y), expected) << x << "," << y;
  ExpectWhiteMargin(d);
}

TEST(DrawPencilSketch, RunsRepeatWhateverTheSessionSeed) {
  const Bitmap photo = SyntheticPhoto(90, 70);
  const Bitmap first = Draw(photo, kDefaults, 1);
  EXPECT_EQ(Draw(photo, kDefaults, 123456), first);
  EXPECT_NE(first, Uniform(90, 70, kWhite));
  ExpectWhiteMargin(first);
}

TEST(DrawPencilSketch, ColourIntensityZeroDrawsGrey) {
  const Bitmap photo = SyntheticPhoto(80, 60);
  const Bitmap d = Draw(photo, Settings(25, 100, 0, 160, 25));
  for (int y = 0; y < d.Height(); ++y)
    for (int x = 0; x < d.Width(); ++x) ASSERT_TRUE(IsGrey(d.Pixel(x, y))) << x << "," << y;
  // Full colour intensity keeps the channels apart.
  const Bitmap coloured = Draw(photo, Settings(25, 100, 100, 160, 25));
  EXPECT_FALSE(IsGrey(coloured.Pixel(25, 29)));  // inside the red disc
}

TEST(DrawPencilSketch, FlatAreasAreHatchingFromTheToneStrip) {
  // Uniform grey 150, L = 127, K = 0, soft edges on (no g div 2), CI = 100: each pixel is
  // clamp(150 + g - t) with g = 150 and t the strip's mean level at column 300 of some row.
  const Bitmap& strip = PencilToneStrip();
  std::set<int> possible;
  for (int r = 1; r < strip.Height() - 1; ++r) {
    const Colour t = strip.Pixel(300, r);
    possible.insert(std::clamp(150 + 150 - (RedOf(t) + GreenOf(t) + BlueOf(t)) / 3, 0, 255));
  }
  ParameterSnapshot p = Settings(25, 100, 100, 127, 0);
  p.softenEdges = true;
  const Bitmap d = Draw(Uniform(40, 30, MakeColour(150, 150, 150)), p);
  std::set<int> seen;
  for (int y = 1; y < 27; ++y) {
    for (int x = 1; x < 37; ++x) {
      const Colour c = d.Pixel(x, y);
      ASSERT_TRUE(IsGrey(c));
      EXPECT_TRUE(possible.count(RedOf(c))) << x << "," << y << " " << RedOf(c);
      seen.insert(RedOf(c));
    }
  }
  EXPECT_GT(seen.size(), 1u);  // hatching, not a flat tone
}

TEST(DrawPencilSketch, TinyPicturesDrawWhite) {
  for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {2, 7}, {9, 1}}) {
    const Bitmap d = Draw(SyntheticPhoto(w, h), kDefaults);
    EXPECT_EQ(d, Uniform(w, h, kWhite)) << w << "x" << h;
  }
}

TEST(DrawPencilSketch, AStopKeepsTheRowsDone) {
  const Bitmap photo = SyntheticPhoto(60, 40);
  const Bitmap full = Draw(photo, kDefaults);
  Random random(1);
  RunContext ctx(kDefaults, random);
  std::atomic<bool> stop{false};
  struct StopAtRow : RecordingSink {
    std::atomic<bool>* stop;
    void ShowProgress(int step, int total, int pass, int passes) override {
      RecordingSink::ShowProgress(step, total, pass, passes);
      if (step == 10) stop->store(true);
    }
  } sink;
  sink.stop = &stop;
  ctx.SetStopFlag(&stop);
  ctx.SetSink(&sink);
  Bitmap d;
  DrawPencilSketch(photo, d, ctx);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(d.Pixel(x, y), full.Pixel(x, y));
  for (int y = 10; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(d.Pixel(x, y), kWhite);
  EXPECT_EQ(sink.calls.front(), (std::array<int, 4>{0, 37, 2, 3}));
}

TEST(PencilSketchRun, DrawsAtTheSourceSizeAndEndsTheProgress) {
  Random random(1);
  RunContext ctx(kDefaults, random);
  RecordingSink sink;
  ctx.SetSink(&sink);
  const Bitmap photo = SyntheticPhoto(150, 100);
  Bitmap result;
  EXPECT_EQ(RunEffect(0, photo, result, ctx), RunOutcome::Completed);
  EXPECT_EQ(result.Width(), 150);
  EXPECT_EQ(result.Height(), 100);
  EXPECT_EQ(sink.calls.front(), (std::array<int, 4>{0, 100, 1, 3}));
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{100, 100, 3, 3}));
  // The dark box of the photograph stays dark, the light background light.
  EXPECT_LT(GreenOf(result.Pixel(130, 50)), 100);
  EXPECT_GT(GreenOf(result.Pixel(110, 5)), 120);
  Bitmap again;
  RunEffect(0, photo, again, ctx);
  EXPECT_EQ(again, result);
}

TEST(PencilSketchRun, TinySourcesDrawWhiteWithoutError) {
  // 2 x 2 rotates to 3 x 3: one row to draw, reported as a one-unit pass instead of a division
  // by zero, and nothing of it lands inside the cut-out.
  Random random(1);
  RunContext ctx(kDefaults, random);
  RecordingSink sink;
  ctx.SetSink(&sink);
  for (auto [w, h] : {std::pair{2, 2}, {1, 1}, {3, 1}, {1, 3}}) {
    Bitmap result;
    EXPECT_EQ(RunEffect(0, SyntheticPhoto(w, h), result, ctx), RunOutcome::Completed);
    EXPECT_EQ(result, Uniform(w, h, kWhite)) << w << "x" << h;
  }
  for (const auto& call : sink.calls) EXPECT_GT(call[1], 0);
}

TEST(PencilSketchRun, AStopShowsWhatWasDrawnNotTheRotatedSource) {
  // Stopped before the first drawn row: the drawing is still blank, so is the result.
  Random random(1);
  RunContext ctx(kDefaults, random);
  std::atomic<bool> stop{false};
  struct StopWhenDrawingStarts : RecordingSink {
    std::atomic<bool>* stop;
    void ShowProgress(int step, int total, int pass, int passes) override {
      RecordingSink::ShowProgress(step, total, pass, passes);
      if (pass == 2) stop->store(true);
    }
  } sink;
  sink.stop = &stop;
  ctx.SetStopFlag(&stop);
  ctx.SetSink(&sink);
  Bitmap result;
  EXPECT_EQ(RunEffect(0, SyntheticPhoto(80, 60), result, ctx), RunOutcome::Stopped);
  EXPECT_EQ(result, Uniform(80, 60, kWhite));
}

TEST(PencilSketchRun, ACanvasTooLargeToRotateFailsClearlyAndKeepsTheSource) {
  // 32768 x 100 turned by 40 degrees would need about 21000 rows, over the row limit.
  Random random(1);
  RunContext ctx(kDefaults, random);
  std::atomic<bool> stop{false}, cancelled{false};
  ctx.SetStopFlag(&stop);
  ctx.SetCancelFlag(&cancelled);
  RecordingSink sink;
  ctx.SetSink(&sink);
  const Bitmap wide = Uniform(32768, 100, MakeColour(90, 120, 150));
  Bitmap result;
  try {
    RunEffect(0, wide, result, ctx);
    ADD_FAILURE() << "the run should have failed";
  } catch (const ImageError& e) {
    EXPECT_STREQ(e.what(),
                 "Sorry, not enough memory to proceed. Try decreasing the size of the source image.");
  }
  EXPECT_EQ(result, wide);
  EXPECT_TRUE(cancelled.load());
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 3, 3}));
}

TEST(PencilSketchRun, PreviewKeepsTheCropSize) {
  Random random(1);
  RunContext ctx(kDefaults, random);
  ctx.preview = true;
  ctx.processing = false;
  const Bitmap crop = SyntheticPhoto(200, 200);
  Bitmap out;
  PreviewPencilSketch(crop, out, ctx);
  EXPECT_EQ(out.Width(), 200);
  EXPECT_EQ(out.Height(), 200);
  Bitmap again;
  PreviewPencilSketch(crop, again, ctx);
  EXPECT_EQ(again, out);
  EXPECT_LT(GreenOf(out.Pixel(170, 100)), 100);
}
