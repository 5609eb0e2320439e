#include "imaging/PenDisc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace brumeleaf {

void PenDisc::SetWidth(int width) {
  width = std::clamp(width, 1, kMaxWidth);
  if (width == width_) return;
  width_ = width;
  left_.resize(width);
  right_.resize(width);
  // Doubled coordinates relative to the disc centre: a pixel at offset o has its centre at
  // 2o - (w - 1), so the test u^2 + v^2 <= w^2 is exact in integers.
  const std::int64_t w = width, radiusSquared = w * w;
  for (int row = 0; row < width; ++row) {
    const std::int64_t u = 2 * static_cast<std::int64_t>(row) - (w - 1);
    const std::int64_t room = radiusSquared - u * u;
    // Largest v >= 0 of the right parity (v = 2p - (w - 1)) with v^2 <= room.
    std::int64_t v = static_cast<std::int64_t>(std::sqrt(static_cast<double>(room)));
    while (v * v > room) --v;
    while ((v + 1) * (v + 1) <= room) ++v;
    if ((v + w - 1) % 2 != 0) --v;  // v must have the parity of w - 1
    const int pMin = static_cast<int>(((w - 1) - v) / 2);
    const int pMax = static_cast<int>(((w - 1) + v) / 2);
    left_[row] = pMin - width / 2;
    right_[row] = pMax - width / 2;
  }
}

}  // namespace brumeleaf
