#pragma once
// Shared set-up of the painting effect tests: parameters of one effect and a run of its frame
// with a fixed seed.

#include <array>
#include <atomic>

#include "effects/EffectFrame.h"
#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf::testing {

inline ParameterSnapshot PaintingParams(int code, std::array<int, 5> s) {
  ParameterSnapshot p;
  p.code = code;
  p.s = s;
  return p;
}

// Runs `frame` on a copy of `source` with the generator seeded at `seed`.
inline Bitmap RunPaintingFrame(EffectFrame frame, const Bitmap& source, const ParameterSnapshot& p,
                               std::uint32_t seed = 7) {
  Random random(seed);
  RunContext ctx(p, random);
  Bitmap result;
  frame(source, result, ctx);
  return result;
}

// The sizes every effect must survive.
inline constexpr std::array<std::array<int, 2>, 6> kTinySizes{{{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 3}, {2, 9}}};

}  // namespace brumeleaf::testing
