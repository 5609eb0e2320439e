#include "history/SourceMean.h"

#include <cstdint>

namespace brumeleaf {

SourceMean ComputeSourceMean(const Bitmap& source, const SourceMean& previous) {
  if (source.Empty()) return previous;
  std::int64_t red = 0, green = 0, blue = 0;
  for (int y = 0; y < source.Height(); ++y) {
    const std::uint8_t* p = source.ScanLine(y);
    // Per-row sums fit easily in 32 bits (32768 x 255); the totals need 64.
    std::uint32_t r = 0, g = 0, b = 0;
    for (int x = 0; x < source.Width(); ++x, p += 3) {
      b += p[0];
      g += p[1];
      r += p[2];
    }
    red += r;
    green += g;
    blue += b;
  }
  const std::int64_t pixels = static_cast<std::int64_t>(source.Width()) * source.Height();
  return {red / pixels, green / pixels, blue / pixels};
}

}  // namespace brumeleaf
