#pragma once
// Round as the algorithms use it: to the nearest integer, halves to the even neighbour.

#include <cmath>

namespace brumeleaf {

// Equal to std::nearbyint under the default rounding mode, without its library call: adding
// and removing 1.5 * 2^52 leaves no fraction bits, so the addition itself rounds to nearest
// even. Exact for |v| < 2^51; larger values are integers already.
inline double RoundHalfEven(double v) {
  constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
  if (!(std::fabs(v) < 2251799813685248.0)) return v;  // 2^51, and NaN as it is
  return (v + kShift) - kShift;
}

}  // namespace brumeleaf
