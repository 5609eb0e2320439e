#include "resources/WatercolourTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

// Smooth value noise: hashed lattice values at `cell` pixel spacing, blended with a cosine
// ease, wrapping with the map so that the paper tiles.
double ValueNoise(int x, int y, int cell, std::uint32_t salt) {
  const int columns = kWatercolourTextureWidth / cell;
  const int rows = kWatercolourTextureHeight / cell;
  const int cx = x / cell, cy = y / cell;
  const double fx = static_cast<double>(x % cell) / cell;
  const double fy = static_cast<double>(y % cell) / cell;
  auto ease = [](double t) { return 0.5 - 0.5 * std::cos(t * 3.141592653589793); };
  auto lattice = [&](int i, int j) { return grain::Hash01(i % columns, j % rows, salt); };
  const double top = lattice(cx, cy) + (lattice(cx + 1, cy) - lattice(cx, cy)) * ease(fx);
  const double bottom = lattice(cx, cy + 1) + (lattice(cx + 1, cy + 1) - lattice(cx, cy + 1)) * ease(fx);
  return top + (bottom - top) * ease(fy);
}

WatercolourTexture Make() {
  WatercolourTexture texture;
  texture.values.resize(static_cast<std::size_t>(kWatercolourTextureWidth) * kWatercolourTextureHeight);
  std::int64_t sum = 0;
  for (int y = 0; y < kWatercolourTextureHeight; ++y) {
    for (int x = 0; x < kWatercolourTextureWidth; ++x) {
      // Blotches of a few dozen pixels, a finer cloud, fibres running mostly along the rows,
      // and single-pixel tooth.
      const double blotch = ValueNoise(x, y, 64, 0x3A7Eu) * 0.6 + ValueNoise(x, y, 32, 0x51C3u) * 0.4;
      const double cloud = ValueNoise(x, y, 8, 0x0C10u);
      const double fibre = ValueNoise(x, y, 16, 0xF1B2u) > 0.8 ? grain::Soft01(x / 4, y, 256, 768, 0xF1B3u) : 0.5;
      const double tooth = grain::Hash01(x, y, 0x7007u);
      const double level = 128.0 + 70.0 * (blotch - 0.5) + 34.0 * (cloud - 0.5) + 30.0 * (fibre - 0.5) +
                           26.0 * (tooth - 0.5);
      const auto v = static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
      texture.values[static_cast<std::size_t>(y) * kWatercolourTextureWidth + static_cast<std::size_t>(x)] = v;
      sum += v;
    }
  }
  texture.mean = static_cast<int>(sum / (static_cast<std::int64_t>(kWatercolourTextureWidth) * kWatercolourTextureHeight));
  return texture;
}

}  // namespace

const WatercolourTexture& WatercolourTextureMap() {
  static const WatercolourTexture texture = Make();
  return texture;
}

}  // namespace brumeleaf
