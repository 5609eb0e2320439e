#pragma once
// Deterministic per-pixel grain for the generated drawing resources. A hash of the pixel
// position (and a salt that tells the layers apart) stands in for the tooth of paper under
// pencil or pastel: it is identical on every machine and, being per pixel, tiles seamlessly
// whenever the caller indexes it by the position inside the tile.

#include <cstdint>

namespace brumeleaf::grain {

// 0 <= value < 1 for any position and salt.
inline double Hash01(int x, int y, std::uint32_t salt) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
                    salt * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return static_cast<double>(h) * (1.0 / 4294967296.0);
}

// Grain smoothed over a 2 x 2 neighbourhood, so single pixels do not flicker; still
// position-indexed, so a tile that wraps its coordinates before calling stays seamless.
inline double Soft01(int x, int y, int xPeriod, int yPeriod, std::uint32_t salt) {
  auto wrap = [](int v, int period) { return ((v % period) + period) % period; };
  const int x1 = wrap(x + 1, xPeriod);
  const int y1 = wrap(y + 1, yPeriod);
  return 0.25 * (Hash01(x, y, salt) + Hash01(x1, y, salt) + Hash01(x, y1, salt) + Hash01(x1, y1, salt));
}

}  // namespace brumeleaf::grain
