#include "resources/PaintingTextures.h"

#include <algorithm>
#include <cmath>

#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

constexpr int kW = TextureMap::kWidth;
constexpr int kH = TextureMap::kHeight;

// Smooth value noise with a lattice of `cell` pixels, wrapping at the map's size so that the
// map repeats without a seam.
double ValueNoise(int x, int y, int cell, std::uint32_t salt) {
  const int columns = std::max(1, kW / cell), rows = std::max(1, kH / cell);
  const double fx = static_cast<double>(x) * columns / kW, fy = static_cast<double>(y) * rows / kH;
  const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  const double tx = fx - x0, ty = fy - y0;
  const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  auto at = [&](int i, int j) { return grain::Hash01(i % columns, j % rows, salt); };
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
  return top + (bottom - top) * sy;
}

TextureMap Finish(std::vector<double> field) {
  TextureMap map;
  map.values.resize(field.size());
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const int v = static_cast<int>(std::lround(std::clamp(field[i], 0.0, 255.0)));
    map.values[i] = static_cast<std::uint8_t>(v);
    sum += v;
  }
  map.mean = static_cast<int>(sum / (static_cast<std::int64_t>(kW) * kH));
  return map;
}

// Watercolour paper: broad soft blotches where the paper took more water, a medium mottle and
// the fine tooth of cold-pressed paper.
TextureMap MakeWatercolour() {
  std::vector<double> field(static_cast<std::size_t>(kW) * kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      double v = 150.0;
      v += 34.0 * (ValueNoise(x, y, 128, 0x3A1u) - 0.5);
      v += 30.0 * (ValueNoise(x, y, 32, 0x3A2u) - 0.5);
      v += 26.0 * (ValueNoise(x, y, 8, 0x3A3u) - 0.5);
      v += 22.0 * (grain::Soft01(x, y, kW, kH, 0x3A4u) - 0.5);
      field[static_cast<std::size_t>(y) * kW + x] = v;
    }
  }
  return Finish(std::move(field));
}

// Canvas: threads 8 pixels apart woven over and under; each thread's crest is lighter than its
// flanks, the threads vary in thickness, and a faint unevenness of priming lies over it.
TextureMap MakeImpasto() {
  constexpr int kPitch = 8;
  constexpr double kPi = 3.141592653589793;
  std::vector<double> field(static_cast<std::size_t>(kW) * kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const int cx = x / kPitch, cy = y / kPitch;
      const bool warpOnTop = ((cx + cy) & 1) == 0;
      // Thread thickness varies from thread to thread.
      const double warp = 0.8 + 0.4 * grain::Hash01(cx, 0, 0x4C1u);
      const double weft = 0.8 + 0.4 * grain::Hash01(0, cy, 0x4C2u);
      const double across = warpOnTop ? (x % kPitch + 0.5) / kPitch : (y % kPitch + 0.5) / kPitch;
      const double thickness = warpOnTop ? warp : weft;
      const double crest = std::pow(std::sin(kPi * across), 0.8 * thickness);
      double v = 95.0 + 100.0 * crest;
      v += 18.0 * (ValueNoise(x, y, 64, 0x4C3u) - 0.5);
      v += 14.0 * (grain::Hash01(x, y, 0x4C4u) - 0.5);
      field[static_cast<std::size_t>(y) * kW + x] = v;
    }
  }
  return Finish(std::move(field));
}

}  // namespace

const TextureMap& WatercolourTextureMap() {
  static const TextureMap map = MakeWatercolour();
  return map;
}

const TextureMap& ImpastoTextureMap() {
  static const TextureMap map = MakeImpasto();
  return map;
}

}  // namespace brumeleaf
