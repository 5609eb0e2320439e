#include "resources/PencilTileSheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// One layer of parallel hatching lines. Their phase a x / 256 + b y / 205 uses whole wave
// numbers, so the lines meet themselves across the tile's edges and the tile is seamless; so
// does the slow wobble that keeps the lines from looking ruled.
struct HatchLayer {
  int a, b;        // wave numbers across the lines
  double width;    // share of the line spacing the pencil covers
  double weight;   // how dark the layer is relative to the others
  int c, d;        // wave numbers of the pressure changing along the lines
  int e, f;        // wave numbers of the wobble
};

constexpr std::array<HatchLayer, 4> kLayers{{
    {36, 29, 0.55, 1.00, 7, -5, 2, 3},    // the main diagonal
    {34, -31, 0.50, 0.90, 5, 6, 3, -2},   // crossing it
    {4, 37, 0.45, 0.80, 9, 2, 1, 4},      // nearly horizontal, for the darker tones
    {41, 3, 0.45, 0.80, 3, 8, 4, 1},      // nearly vertical, for the darkest
}};

// Darker tiles lay more layers of hatching over each other.
constexpr std::array<int, kPencilTileCount> kLayersPerTile{4, 4, 3, 3, 2, 2, 2, 1, 1, 1};

double Phase(int x, int y, int a, int b) {
  return static_cast<double>(a) * x / kPencilTileWidth + static_cast<double>(b) * y / kPencilTileHeight;
}

// Where a pixel lies in one layer: how far from the nearest line's centre (0 .. 0.5 of the
// line spacing) and how much graphite the pencil leaves there (pressure times grain).
struct LayerSample {
  float fromCentre = 0;
  float graphite = 0;
};

LayerSample SampleLayer(const HatchLayer& layer, int x, int y, std::uint32_t salt) {
  const double wobble = 0.28 * std::sin(kTwoPi * Phase(x, y, layer.e, layer.f));
  const double phase = Phase(x, y, layer.a, layer.b) + wobble;
  const double t = phase - std::floor(phase);
  const double pressure = 0.68 + 0.32 * std::sin(kTwoPi * Phase(x, y, layer.c, layer.d));
  const double grain = 0.62 + 0.38 * grain::Hash01(x, y, salt);
  return {static_cast<float>(std::abs(t - 0.5)), static_cast<float>(pressure * grain)};
}

// Coverage 0..1 of one layer at a given pencil strength: a stronger pencil draws wider lines.
double Coverage(const HatchLayer& layer, const LayerSample& sample, double strength) {
  const double half = std::min(0.98, layer.width * (0.5 + 0.5 * strength)) / 2.0;
  if (sample.fromCentre >= half) return 0.0;
  return std::sqrt(1.0 - sample.fromCentre / half) * sample.graphite;
}

// What does not depend on the pencil strength: the paper and where each pixel lies in each
// layer laid on this tile.
struct TileLayout {
  std::vector<double> paper;
  std::vector<std::vector<LayerSample>> layers;
};

TileLayout LayoutTile(int tile) {
  const std::size_t pixels = static_cast<std::size_t>(kPencilTileWidth) * kPencilTileHeight;
  TileLayout layout;
  layout.paper.resize(pixels);
  layout.layers.assign(static_cast<std::size_t>(kLayersPerTile[static_cast<std::size_t>(tile)]),
                       std::vector<LayerSample>(pixels));
  for (int y = 0; y < kPencilTileHeight; ++y) {
    for (int x = 0; x < kPencilTileWidth; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * kPencilTileWidth + x;
      layout.paper[i] = 0.985 - 0.03 * grain::Soft01(x, y, kPencilTileWidth, kPencilTileHeight, 0x9A9Eu);
      for (std::size_t l = 0; l < layout.layers.size(); ++l)
        layout.layers[l][i] = SampleLayer(kLayers[l], x, y, 0x1000u + static_cast<std::uint32_t>(l));
    }
  }
  return layout;
}

// The tile's levels for a given overall pencil strength.
std::vector<double> TileLevels(const TileLayout& layout, double strength) {
  std::vector<double> levels(layout.paper.size());
  for (std::size_t i = 0; i < levels.size(); ++i) {
    double light = layout.paper[i];
    for (std::size_t l = 0; l < layout.layers.size(); ++l) {
      const double alpha = std::min(1.0, strength * kLayers[l].weight);
      light *= 1.0 - alpha * Coverage(kLayers[l], layout.layers[l][i], strength);
    }
    levels[i] = 255.0 * light;
  }
  return levels;
}

double Mean(const std::vector<double>& levels) {
  double sum = 0;
  for (double v : levels) sum += std::round(v);
  return sum / static_cast<double>(levels.size());
}

// Finds the pencil strength whose tile has the wanted mean level (the mean falls as the
// strength grows), so the ten tiles form an even ramp of tones.
std::vector<double> CalibratedTile(int tile) {
  const TileLayout layout = LayoutTile(tile);
  const double target = PencilTileMeanLevel(tile);
  double low = 0.0, high = 6.0;
  for (int step = 0; step < 16; ++step) {
    const double middle = 0.5 * (low + high);
    if (Mean(TileLevels(layout, middle)) > target) low = middle; else high = middle;
  }
  return TileLevels(layout, 0.5 * (low + high));
}

Bitmap DrawSheet() {
  Bitmap sheet(5 * kPencilTileWidth, 2 * kPencilTileHeight);
  for (int tile = 0; tile < kPencilTileCount; ++tile) {
    const std::vector<double> levels = CalibratedTile(tile);
    const int left = (tile % 5) * kPencilTileWidth;
    const int top = (tile / 5) * kPencilTileHeight;
    for (int y = 0; y < kPencilTileHeight; ++y) {
      std::uint8_t* row = sheet.ScanLine(top + y) + 3 * left;
      for (int x = 0; x < kPencilTileWidth; ++x) {
        const double v = levels[static_cast<std::size_t>(y) * kPencilTileWidth + x];
        const auto level = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::round(v)), 0, 255));
        row[3 * x] = level;
        row[3 * x + 1] = level;
        row[3 * x + 2] = level;
      }
    }
  }
  return sheet;
}

}  // namespace

const Bitmap& PencilTileSheet() {
  static const Bitmap sheet = DrawSheet();
  return sheet;
}

}  // namespace brumeleaf
