// The five paintings through the run pipeline at their catalogue defaults: odd tiny pictures
// come back whole, and a small photograph keeps the bytes it had when the effects were checked
// by eye (a regression net: a change here must be a deliberate one).

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "effects/ParameterModel.h"
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
  params.s = ParameterModel::EffectDefaults()[static_cast<std::size_t>(code)];
  Random random(1);
  RunContext ctx(params, random);
  Bitmap result;
  EXPECT_EQ(RunEffect(code, source, result, ctx), RunOutcome::Completed) << code;
  return result;
}

std::uint64_t Digest(const Bitmap& b) {
  std::uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < 3 * b.Width(); ++i) h = (h ^ row[i]) * 1099511628211ull;
  }
  return h;
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

TEST(Painting2Run, DigestsAtDefaults) {
  const Bitmap photo = SyntheticPhoto(97, 61);
  const std::uint64_t expected[] = {5530091990952278740ull, 5128043583245560416ull, 4605883815491669955ull,
                                    13081186575893580633ull, 1611821814841113692ull};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Digest(RunAtDefaults(kCodes[i], photo)), expected[i]) << "code " << kCodes[i];
}
