#include <gtest/gtest.h>

#include "effects/Frames.h"
#include "effects/EffectTable.h"
#include "pipeline/RunEffect.h"
#include "tests/core/StylisedTestSupport.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

// The stylised effects with their default slider values.
struct Defaults {
  int code;
  std::array<int, 5> s;
};
constexpr Defaults kStylised[] = {
    {10, {65, 100, 55, 15, 180}}, {11, {65, 100, 55, 15, 180}}, {12, {35, 100, 55, 128, 20}},
    {13, {127, 0, 50, 0, 0}},     {18, {30, 30, 10, 127, 0}},   {19, {255, 127, 50, 220, 140}},
    {22, {100, 80, 30, 25, 130}}, {25, {130, 100, 10, 15, 180}}, {29, {150, 15, 55, 127, 127}},
};

}  // namespace

TEST(StylisedEffects, EveryPictureShapeGivesAPictureOfItsSize) {
  for (const Defaults& effect : kStylised) {
    ASSERT_NE(FrameForCode(effect.code), nullptr) << effect.code;
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{1, 7}, std::pair{7, 1}, std::pair{2, 2}, std::pair{3, 3},
                               std::pair{5, 2}}) {
      StylisedRun run(effect.s, effect.code);
      run.ctx.MutableParams().texture = true;
      run.ctx.MutableParams().softenEdges = true;
      const Bitmap source = SyntheticPhoto(w, h);
      Bitmap result = source;
      EXPECT_EQ(RunEffect(effect.code, source, result, run.ctx), RunOutcome::Completed) << effect.code;
      EXPECT_EQ(result.Width(), w) << effect.code;
      EXPECT_EQ(result.Height(), h) << effect.code;
      EXPECT_EQ(source, SyntheticPhoto(w, h));
    }
  }
}

TEST(StylisedEffects, TheSameRunRepeatsItsBytes) {
  // The mosaics continue the session's sequence, so they repeat from the same session seed;
  // the others do not depend on it at all.
  const Bitmap source = SyntheticPhoto(61, 47);
  for (const Defaults& effect : kStylised) {
    StylisedRun first(effect.s, effect.code, 1234), second(effect.s, effect.code, 1234);
    Bitmap a = source, b = source;
    RunEffect(effect.code, source, a, first.ctx);
    RunEffect(effect.code, source, b, second.ctx);
    EXPECT_EQ(a, b) << effect.code;
    EXPECT_NE(a, source) << effect.code << " changed nothing";
  }
}
