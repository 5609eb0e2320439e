#pragma once
// Integer line stepping with clipping. The pixels of a line are those of the classic
// incremental algorithm: one pixel per step along the longer axis, the other coordinate
// rounded to the nearest integer with exact halves kept toward the start. Clipping computes
// the first and last visible step directly, so a line with coordinates far outside the picture
// costs no more than its visible part and never hangs.

#include <algorithm>
#include <cstdint>

#include "imaging/RasterMath.h"

namespace brumeleaf::raster {

// Columns left..right-1 and rows top..bottom-1.
struct ClipBox {
  int left, top, right, bottom;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

namespace detail {

// The line in the frame of its longer axis: position a = a0 + sa * i on the longer axis and
// b = b0 + sb * k(i) on the shorter one, with k(i) = floor((2 i minor + major - 1) / (2 major)).
struct AxisLine {
  std::int64_t a0, sa, b0, sb, major, minor;
};

// Steps i of [lo, hi] whose longer-axis position lies in [boxLo, boxHi).
inline void ClipMajor(const AxisLine& l, std::int64_t boxLo, std::int64_t boxHi, std::int64_t& lo,
                      std::int64_t& hi) {
  if (l.sa > 0) {
    lo = std::max(lo, boxLo - l.a0);
    hi = std::min(hi, boxHi - 1 - l.a0);
  } else {
    lo = std::max(lo, l.a0 - boxHi + 1);
    hi = std::min(hi, l.a0 - boxLo);
  }
}

// Narrows [lo, hi] to the steps whose shorter-axis position lies in [boxLo, boxHi).
inline void ClipMinor(const AxisLine& l, std::int64_t boxLo, std::int64_t boxHi, std::int64_t& lo,
                      std::int64_t& hi) {
  if (l.minor == 0) {
    if (l.b0 < boxLo || l.b0 >= boxHi) hi = lo - 1;
    return;
  }
  std::int64_t kLo = l.sb > 0 ? boxLo - l.b0 : l.b0 - (boxHi - 1);
  std::int64_t kHi = l.sb > 0 ? boxHi - 1 - l.b0 : l.b0 - boxLo;
  if (kHi < 0) {
    hi = lo - 1;
    return;
  }
  kLo = std::max<std::int64_t>(kLo, 0);
  const Int128 twoMajor = 2 * static_cast<Int128>(l.major);
  const Int128 twoMinor = 2 * static_cast<Int128>(l.minor);
  const Int128 first = CeilDiv<Int128>(twoMajor * kLo - l.major + 1, twoMinor);
  const Int128 last = FloorDiv<Int128>(twoMajor * (static_cast<Int128>(kHi) + 1) - l.major, twoMinor);
  if (first > lo) lo = first > hi ? hi + 1 : static_cast<std::int64_t>(first);
  if (last < hi) hi = last < lo ? lo - 1 : static_cast<std::int64_t>(last);
}

}  // namespace detail

// Calls plot(x, y) for every pixel of the line from (x0, y0) to (x1, y1) that lies inside
// `box`, in order from the start. The end point is included only when `includeEnd`.
template <typename Plot>
void WalkLine(int x0, int y0, int x1, int y1, bool includeEnd, const ClipBox& box, Plot&& plot) {
  const std::int64_t dx = static_cast<std::int64_t>(x1) - x0;
  const std::int64_t dy = static_cast<std::int64_t>(y1) - y0;
  const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const std::int64_t steps = std::max(adx, ady);
  const std::int64_t lastStep = includeEnd ? steps : steps - 1;
  if (lastStep < 0) return;
  if (steps == 0) {
    if (box.Contains(x0, y0)) plot(x0, y0);
    return;
  }
  const bool xMajor = adx >= ady;
  const detail::AxisLine l{xMajor ? x0 : y0, (xMajor ? dx : dy) < 0 ? -1 : 1,
                           xMajor ? y0 : x0, (xMajor ? dy : dx) < 0 ? -1 : 1,
                           steps, xMajor ? ady : adx};
  std::int64_t lo = 0, hi = lastStep;
  std::int64_t k = 0, rest = l.major - 1;  // k(lo) and the numerator left over
  const bool wholeLineInside = box.Contains(x0, y0) && box.Contains(x1, y1);
  if (!wholeLineInside) {
    detail::ClipMajor(l, xMajor ? box.left : box.top, xMajor ? box.right : box.bottom, lo, hi);
    if (lo > hi) return;
    detail::ClipMinor(l, xMajor ? box.top : box.left, xMajor ? box.bottom : box.right, lo, hi);
    if (lo > hi) return;
    const Int128 numerator = 2 * static_cast<Int128>(lo) * l.minor + l.major - 1;
    k = static_cast<std::int64_t>(numerator / (2 * static_cast<Int128>(l.major)));
    rest = static_cast<std::int64_t>(numerator - static_cast<Int128>(k) * 2 * l.major);
  }
  const std::int64_t twoMajor = 2 * l.major, twoMinor = 2 * l.minor;
  int a = static_cast<int>(l.a0 + l.sa * lo);
  int b = static_cast<int>(l.b0 + l.sb * k);
  const int sa = static_cast<int>(l.sa), sb = static_cast<int>(l.sb);
  for (std::int64_t i = lo; i <= hi; ++i) {
    if (xMajor) {
      plot(a, b);
    } else {
      plot(b, a);
    }
    a += sa;
    rest += twoMinor;
    if (rest >= twoMajor) {
      rest -= twoMajor;
      b += sb;
    }
  }
}

}  // namespace brumeleaf::raster
