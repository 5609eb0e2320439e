#include <gtest/gtest.h>

#include <new>
#include <string>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/Catalogue.h"
#include "pipeline/RunEffect.h"
#include "pipeline/Finalize.h"
#include "finishing/PaperTexture.h"
#include "SyntheticPhoto.h"

using namespace brumeleaf;
using brumeleaf::testing::RecordingSink;
using brumeleaf::testing::SyntheticPhoto;
using brumeleaf::testing::Uniform;

namespace {

constexpr int kFinishingOnly = 14;
constexpr int kPencilSketch1 = 0;

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ImageError& e) {
    return e.what();
  }
  return "";
}

// Stops the run once the drawing pass (pass 2) has begun.
struct StopInPassTwo : RecordingSink {
  std::atomic<bool>* stop = nullptr;
  void ShowProgress(int step, int total, int pass, int passes) override {
    RecordingSink::ShowProgress(step, total, pass, passes);
    if (pass == 2 && step >= 5) stop->store(true);
  }
};

}  // namespace

TEST(RunEffect, FinishingOnlyWithoutOptionsCopiesTheSourceExactly) {
  Random random(3);
  RunContext ctx(ParameterSnapshot{}, random);
  const Bitmap source = SyntheticPhoto(64, 48);
  Bitmap result = Uniform(10, 10, kBlack);
  EXPECT_EQ(RunEffect(kFinishingOnly, source, result, ctx), RunOutcome::Completed);
  EXPECT_EQ(result, source);
  EXPECT_EQ(ctx.Params().code, kFinishingOnly);
}

TEST(RunEffect, FinishingOnlyTexturesACopy) {
  Random random(3);
  ParameterSnapshot p;
  p.texture = true;
  p.textureNumber = 2;
  p.textureStrength = 1;
  RunContext ctx(p, random);
  const Bitmap source = SyntheticPhoto(300, 40);
  Bitmap result;
  RunEffect(kFinishingOnly, source, result, ctx);
  Bitmap expected = source;
  PrintTexture(expected, PaperTextureTile(2), 1, 255, 255);
  EXPECT_EQ(result, expected);
}

TEST(RunEffect, UnavailableAndUnknownEffectsAreClearErrors) {
  Random random(3);
  RunContext ctx(ParameterSnapshot{}, random);
  const Bitmap source = SyntheticPhoto(16, 16);
  Bitmap result = Uniform(4, 4, kBlack);
  for (int code = 0; code < kEffectCount; ++code) {
    if (FrameForCode(code)) continue;
    EXPECT_EQ(MessageOf([&] { RunEffect(code, source, result, ctx); }),
              EffectNameForCode(code) + " is not available yet.");
  }
  EXPECT_EQ(MessageOf([&] { RunEffect(30, source, result, ctx); }),
            "There is no effect with code 30; the effect codes are 0 to 29.");
  EXPECT_THROW(RunEffect(-1, source, result, ctx), ImageError);
  EXPECT_THROW(RunEffect(kFinishingOnly, Bitmap(), result, ctx), ImageError);
  Bitmap same = source;
  EXPECT_THROW(RunEffect(kFinishingOnly, same, same, ctx), ImageError);
  EXPECT_EQ(result, Uniform(4, 4, kBlack));  // nothing was touched
}

TEST(RunEffect, TheTableNamesEveryCode) {
  EXPECT_EQ(EffectNameForCode(0), "Pencil sketch 1");
  EXPECT_EQ(EffectNameForCode(14), "Frame, texture and text only");
  EXPECT_EQ(EffectNameForCode(27), "Painting 9 (watercolor)");
  EXPECT_EQ(EffectNameForCode(28), "Painting 10 (brushstrokes)");
  EXPECT_EQ(EffectNameForCode(30), "");
  for (int code = 0; code < kEffectCount; ++code) EXPECT_NE(EffectNameForCode(code), "");
  EXPECT_NE(FrameForCode(kPencilSketch1), nullptr);
  EXPECT_NE(FrameForCode(kFinishingOnly), nullptr);
  EXPECT_EQ(FrameForCode(-1), nullptr);
}

TEST(RunEffect, AFrameRequestedWithoutItsStepFailsBeforeDrawing) {
  Random random(3);
  ParameterSnapshot p;
  p.addFrame = true;
  RunContext ctx(p, random);
  const Bitmap source = SyntheticPhoto(16, 16);
  Bitmap result = Uniform(4, 4, kBlack);
  EXPECT_THROW(RunEffect(kFinishingOnly, source, result, ctx, FinishingSteps{}), ImageError);
  EXPECT_EQ(result, Uniform(4, 4, kBlack));
  // The standard steps have it: the default margin of 150 is added.
  RunEffect(kFinishingOnly, source, result, ctx);
  EXPECT_EQ(result.Width(), 166);
}

TEST(RunEffect, AStopMidRunReturnsStoppedAndSkipsFrameAndText) {
  Random random(3);
  ParameterSnapshot p;
  p.addFrame = true;
  p.addText = true;
  p.s = {25, 100, 80, 160, 25};
  RunContext ctx(p, random);
  std::atomic<bool> stop{false};
  StopInPassTwo sink;
  sink.stop = &stop;
  ctx.SetStopFlag(&stop);
  ctx.SetSink(&sink);
  int finishingCalls = 0;
  FinishingSteps steps{[&](Bitmap&, RunContext&) { ++finishingCalls; },
                       [&](Bitmap&, RunContext&) { ++finishingCalls; }};
  const Bitmap source = SyntheticPhoto(120, 90);
  Bitmap result;
  EXPECT_EQ(RunEffect(kPencilSketch1, source, result, ctx, steps), RunOutcome::Stopped);
  EXPECT_EQ(finishingCalls, 0);
  EXPECT_EQ(result.Width(), 120);
  EXPECT_EQ(result.Height(), 90);
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{100, 100, 1, 1}));

  stop = false;
  ctx.SetSink(nullptr);
  EXPECT_EQ(RunEffect(kFinishingOnly, source, result, ctx, steps), RunOutcome::Completed);
  EXPECT_EQ(finishingCalls, 2);
}

TEST(FrameSteps, CutCentreTakesTheMiddle) {
  Bitmap big = Uniform(7, 6, kBlack);
  big.SetPixel(2, 2, MakeColour(1, 2, 3));  // offset ((7 - 3) div 2, (6 - 2) div 2) = (2, 2)
  CutCentre(big, 3, 2);
  EXPECT_EQ(big.Width(), 3);
  EXPECT_EQ(big.Height(), 2);
  EXPECT_EQ(big.Pixel(0, 0), MakeColour(1, 2, 3));
  EXPECT_EQ(big.Pixel(2, 1), kBlack);
  Bitmap empty;
  CutCentre(empty, 2, 2);  // nothing to cut from: white, never out of bounds
  EXPECT_EQ(empty, Uniform(2, 2, kWhite));
}

TEST(FrameSteps, AGuardedFailureRestoresTheSourceAndEndsTheProgress) {
  Random random(3);
  RunContext ctx(ParameterSnapshot{}, random);
  RecordingSink sink;
  ctx.SetSink(&sink);
  const Bitmap source = SyntheticPhoto(12, 10);
  Bitmap result = source;
  EXPECT_EQ(MessageOf([&] {
              RunGuarded(source, result, ctx, [&] {
                result = Uniform(40, 40, kBlack);
                throw std::bad_alloc();
              });
            }),
            kNotEnoughMemoryMessage);
  EXPECT_EQ(result, source);
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 3, 3}));
  EXPECT_EQ(MessageOf([&] {
              RunGuarded(source, result, ctx, [] { throw ImageError("Too big."); });
            }),
            "Too big.");
}

TEST(FrameSteps, WorkingPairDeliversTheSecondPicture) {
  Random random(3);
  ParameterSnapshot p;
  p.texture = true;
  RunContext ctx(p, random);
  const Bitmap source = SyntheticPhoto(20, 10);
  Bitmap result;
  WorkingPair pair;
  pair.secondFill = kBlack;
  pair.delivery = Delivery::PlainCopy;
  RunOnWorkingPair(source, result, ctx, pair, [&](Bitmap& w1, Bitmap& w2) {
    EXPECT_EQ(w1, source);
    EXPECT_EQ(w2, Uniform(20, 10, kBlack));
    EXPECT_TRUE(result.Empty());  // no copy of the source is held through the run
    w2.SetPixel(0, 0, kWhite);
  });
  Bitmap expected = Uniform(20, 10, kBlack);
  expected.SetPixel(0, 0, kWhite);
  EXPECT_EQ(result, expected);  // plain copy: no texture
  pair.delivery = Delivery::SurfaceFinish;
  RunOnWorkingPair(source, result, ctx, pair, [](Bitmap&, Bitmap&) {});
  PrintTexture(expected = Uniform(20, 10, kBlack), PaperTextureTile(0), 1, 255, 255);
  EXPECT_EQ(result, expected);

  // A failure leaves R as the copy of the source it starts as, or as it was when it does not.
  const auto fail = [](Bitmap&, Bitmap&) { throw ImageError("broken"); };
  EXPECT_THROW(RunOnWorkingPair(source, result, ctx, pair, fail), ImageError);
  EXPECT_EQ(result, source);
  pair.resultStartsAsSource = false;
  result = Uniform(3, 2, kBlack);
  EXPECT_THROW(RunOnWorkingPair(source, result, ctx, pair, fail), ImageError);
  EXPECT_EQ(result, Uniform(3, 2, kBlack));
}
