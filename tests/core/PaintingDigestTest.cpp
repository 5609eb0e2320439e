// Regression net for the paintings: the bytes of each effect at its defaults on a small
// synthetic photograph, as a digest. A change here means the pictures changed; the behaviour
// itself is pinned by the effects' own tests.

#include <gtest/gtest.h>

#include <cstdint>

#include "effects/Frames.h"
#include "effects/ParameterModel.h"
#include "tests/core/PaintingTestSupport.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

std::uint64_t Digest(const Bitmap& b) {
  std::uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < 3 * b.Width(); ++i) h = (h ^ row[i]) * 1099511628211ull;
  }
  return h;
}

struct Expected {
  int code;
  std::uint64_t digest;
};

}  // namespace

TEST(PaintingDigest, EveryPaintingAtItsDefaults) {
  const Expected table[] = {
      {4, 0x57ea134e046431bbull},  {5, 0x10890578c14ab137ull},  {8, 0x5ec39fe17c701e6aull},
      {9, 0x9e40930a4c09bc1eull},  {15, 0xbe9f72003df5703aull}, {20, 0xc0c437c1d9dee2b7ull},
  };
  const Bitmap photo = SyntheticPhoto(96, 72);
  for (const Expected& e : table) {
    const ParameterSnapshot p = PaintingParams(e.code, ParameterModel::EffectDefaults()[static_cast<std::size_t>(e.code)]);
    const std::uint64_t digest = Digest(RunPaintingFrame(FrameForCode(e.code), photo, p, 1));
    EXPECT_EQ(digest, e.digest) << "code " << e.code << ": 0x" << std::hex << digest;
  }
}
