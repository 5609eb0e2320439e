#pragma once
// The grain of watercolour paper as a 1024 x 768 map of levels, made by our own code: soft
// blotches where the paper took more water, fine fibres and a pixel tooth. Effects use each
// value's difference from the map's mean, so the paper lightens and darkens the paint around
// its own level.

#include <cstdint>
#include <vector>

namespace brumeleaf {

inline constexpr int kWatercolourTextureWidth = 1024;
inline constexpr int kWatercolourTextureHeight = 768;

struct WatercolourTexture {
  std::vector<std::uint8_t> values;  // row by row, kWatercolourTextureWidth per row
  int mean = 0;                      // sum of all values div (1024 * 768)
  int At(int x, int y) const {
    return values[static_cast<std::size_t>(y) * kWatercolourTextureWidth + static_cast<std::size_t>(x)];
  }
};

// Made once per process.
const WatercolourTexture& WatercolourTextureMap();

}  // namespace brumeleaf
