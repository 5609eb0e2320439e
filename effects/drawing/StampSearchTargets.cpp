#include "effects/drawing/StampSearchTargets.h"

#include <algorithm>
#include <cstdlib>

namespace brumeleaf {

StampSearchTargets::StampSearchTargets(const Bitmap& source, const Bitmap& drawing, int tolerance)
    : width_(source.Width()), height_(source.Height()), tolerance_(tolerance) {
  if (drawing.Width() != width_ || drawing.Height() != height_)
    throw ImageError("The drawing and its source differ in size.");
  sourceRows_ = source.RowTable();
  drawingRows_ = drawing.RowTable();
  count_ = CountIn(0, 0, width_, height_);
}

bool StampSearchTargets::Qualifies(int x, int y) const {
  const int red = sourceRows_[static_cast<std::size_t>(y)][3 * x + 2];
  const int drawn = drawingRows_[static_cast<std::size_t>(y)][3 * x + 2];
  return std::abs(red - drawn) >= tolerance_;
}

std::int64_t StampSearchTargets::CountIn(int left, int top, int right, int bottom) const {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  std::int64_t count = 0;
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* s = sourceRows_[static_cast<std::size_t>(y)] + 2;
    const std::uint8_t* d = drawingRows_[static_cast<std::size_t>(y)] + 2;
    for (int x = left; x < right; ++x) count += std::abs(s[3 * x] - d[3 * x]) >= tolerance_ ? 1 : 0;
  }
  return count;
}

}  // namespace brumeleaf
