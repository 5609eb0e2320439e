#include "effects/drawing/StampSearchTargets.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace brumeleaf {

StampSearchTargets::StampSearchTargets(const Bitmap& source, const Bitmap& drawing, int tolerance)
    : width_(source.Width()), height_(source.Height()), tolerance_(tolerance) {
  if (drawing.Width() != width_ || drawing.Height() != height_)
    throw ImageError("The drawing and its source differ in size.");
  sourceRows_ = source.RowTable();
  drawingRows_ = drawing.RowTable();
  bits_ = BitGrid(width_, height_, false);
  distance_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  Refresh(0, 0, width_, height_);
}

void StampSearchTargets::FetchDistances(int left, int top, int size) const {
  const int first = std::max(top, 0), last = std::min(top + size, height_);
  const int from = std::clamp(left, 0, width_ - 1), to = std::clamp(left + size - 1, 0, width_ - 1);
  for (int y = first; y < last; ++y) {
    const std::uint8_t* row = distance_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    __builtin_prefetch(row + from);
    __builtin_prefetch(row + to);
  }
}

void StampSearchTargets::Refresh(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* source = sourceRows_[static_cast<std::size_t>(y)];
    const std::uint8_t* drawn = drawingRows_[static_cast<std::size_t>(y)];
    std::uint8_t* distance = distance_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    std::uint64_t* row = bits_.Row(y);
    for (int x = left; x < right;) {
      // One word at a time: the bits of [x, end) are rebuilt and the count follows their change.
      const int word = x >> 6;
      const int end = std::min(right, (word + 1) * 64);
      std::uint64_t fresh = 0, span = 0;
      for (int u = x; u < end; ++u) {
        const std::uint8_t* s = source + 3 * u;
        const std::uint8_t* d = drawn + 3 * u;
        const int red = std::abs(s[2] - d[2]);
        const int sum = std::abs(s[0] - d[0]) + std::abs(s[1] - d[1]) + red;
        distance[u] = static_cast<std::uint8_t>(std::min(sum, kDistanceCap));
        const std::uint64_t bit = std::uint64_t{1} << (u & 63);
        span |= bit;
        if (red >= tolerance_) fresh |= bit;
      }
      std::uint64_t& bits = row[word];
      count_ += std::popcount(fresh) - std::popcount(bits & span);
      bits = (bits & ~span) | fresh;
      x = end;
    }
  }
}

}  // namespace brumeleaf
