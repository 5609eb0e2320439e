#include "resources/PencilToneStrip.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "resources/Hatching.h"

namespace brumeleaf {

namespace {

constexpr int kWidth = kPencilToneStripWidth;
constexpr int kHeight = kPencilToneStripHeight;
// How strongly the hatching varies the cover around a column's own level.
constexpr double kContrast = 0.6;

// The grey level a column must average: column 2g is level g.
double TargetLevel(int x) { return std::min(255.0, x / 2.0); }

// 0 below `from`, 1 above `to`, smooth between.
double Ramp(double v, double from, double to) {
  const double t = std::clamp((v - from) / (to - from), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// Graphite cover pattern: one hatching direction for light tones, crossed by a second, third and
// fourth direction as the tone darkens, the whole grained by the paper's tooth.
TileField GraphitePattern() {
  Random random(1969);
  const std::array<HatchingStyle, 4> layers{{
      {0.55, -0.84, 4.0, 12, 30, 1.0},
      {0.84, 0.55, 4.5, 12, 28, 1.0},
      {0.26, -0.97, 5.0, 10, 24, 0.9},
      {0.98, -0.17, 5.0, 10, 24, 0.9},
  }};
  const std::array<std::array<double, 2>, 4> onset{{{-1.0, 0.0}, {0.3, 0.6}, {0.5, 0.8}, {0.7, 0.95}}};
  std::vector<TileField> fields;
  for (const HatchingStyle& style : layers) fields.push_back(Hatching(kWidth, kHeight, style, random));
  const TileField tooth = BoxBlur(PixelNoise(kWidth, kHeight, random), 1);
  const TileField speckle = PixelNoise(kWidth, kHeight, random);
  TileField pattern(kWidth, kHeight);
  for (int x = 0; x < kWidth; ++x) {
    const double darkness = 1.0 - TargetLevel(x) / 255.0;
    std::array<double, 4> weight{};
    for (std::size_t i = 0; i < weight.size(); ++i) weight[i] = Ramp(darkness, onset[i][0], onset[i][1]);
    for (int y = 0; y < kHeight; ++y) {
      double bare = 1.0;
      for (std::size_t i = 0; i < fields.size(); ++i) bare *= 1.0 - weight[i] * fields[i].At(x, y);
      const double grain = 0.8 + 0.6 * tooth.At(x, y);
      pattern.At(x, y) = (1.0 - bare) * grain + 0.06 * speckle.At(x, y);
    }
  }
  return pattern;
}

double CoverToLevel(double cover) { return 255.0 * (1.0 - std::clamp(cover, 0.0, 1.0)); }

double ColumnMean(const TileField& pattern, int x, double offset) {
  double sum = 0;
  for (int y = 0; y < kHeight; ++y) sum += CoverToLevel(offset + kContrast * pattern.At(x, y));
  return sum / kHeight;
}

// The cover offset at which column x averages its target level (the mean falls as it grows).
double CalibrateOffset(const TileField& pattern, int x, double low, double high) {
  const double target = TargetLevel(x);
  for (int step = 0; step < 60; ++step) {
    const double middle = (low + high) / 2.0;
    if (ColumnMean(pattern, x, middle) > target) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return (low + high) / 2.0;
}

// Rounds a column to levels whose sum is the nearest integer to the target sum, moving the
// pixels that were closest to rounding the other way.
std::vector<int> RoundColumn(const std::vector<double>& exact, double target) {
  std::vector<int> levels(exact.size());
  long sum = 0;
  for (std::size_t i = 0; i < exact.size(); ++i) {
    levels[i] = static_cast<int>(std::nearbyint(exact[i]));
    sum += levels[i];
  }
  long missing = std::lround(target * static_cast<double>(exact.size())) - sum;
  std::vector<std::size_t> order(exact.size());
  std::iota(order.begin(), order.end(), 0);
  // Most rounded-down first when levels are missing, most rounded-up first when in excess.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const double ra = exact[a] - levels[a], rb = exact[b] - levels[b];
    return missing > 0 ? ra > rb : ra < rb;
  });
  for (std::size_t i : order) {
    if (missing == 0) break;
    const int step = missing > 0 ? 1 : -1;
    if (levels[i] + step < 0 || levels[i] + step > 255) continue;
    levels[i] += step;
    missing -= step;
  }
  return levels;
}

}  // namespace

Bitmap MakePencilToneStrip() {
  const TileField pattern = GraphitePattern();
  double lowest = 0, highest = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      lowest = std::min(lowest, pattern.At(x, y));
      highest = std::max(highest, pattern.At(x, y));
    }
  }
  // Offsets from "no pixel covered" to "every pixel covered".
  const double low = -kContrast * highest - 0.01, high = 1.01 - kContrast * lowest;
  Bitmap strip(kWidth, kHeight);
  std::vector<double> exact(kHeight);
  for (int x = 0; x < kWidth; ++x) {
    const double offset = CalibrateOffset(pattern, x, low, high);
    for (int y = 0; y < kHeight; ++y) exact[y] = CoverToLevel(offset + kContrast * pattern.At(x, y));
    const std::vector<int> levels = RoundColumn(exact, TargetLevel(x));
    for (int y = 0; y < kHeight; ++y) std::memset(strip.ScanLine(y) + 3 * x, levels[y], 3);
  }
  return strip;
}

const Bitmap& PencilToneStrip() {
  static const Bitmap strip = MakePencilToneStrip();
  return strip;
}

}  // namespace brumeleaf
