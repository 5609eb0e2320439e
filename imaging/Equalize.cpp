// Histogram equalisation with an exponent: each level is mapped through the running sum of
// its channel's counts raised to the exponent, in single precision as the look was tuned.

#include <cmath>

#include "imaging/Colour.h"

namespace brumeleaf {

void ChannelHistograms(const Bitmap& image, Histogram& red, Histogram& green, Histogram& blue) {
  red.fill(0);
  green.fill(0);
  blue.fill(0);
  const int width = image.Width();
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* p = image.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      ++blue[p[0]];
      ++green[p[1]];
      ++red[p[2]];
    }
  }
}

void CumulativeSum(std::array<float, 256>& table) {
  float running = 0.0f;
  for (float& entry : table) {
    running += entry;
    entry = running;
  }
}

namespace {

// The new level of every old level of one channel.
std::array<std::uint8_t, 256> EqualizingTable(const Histogram& counts, float exponent) {
  std::array<float, 256> weights{};
  float total = 0.0f;
  for (std::size_t v = 0; v < 256; ++v) {
    // 0 stays 0 whatever the exponent (0 to the power 0 would count an absent level).
    weights[v] = counts[v] == 0
                     ? 0.0f
                     : static_cast<float>(std::pow(static_cast<double>(counts[v]),
                                                   static_cast<double>(exponent)));
    total += weights[v];
  }
  CumulativeSum(weights);
  const double factor = 255.0 / static_cast<double>(total);
  std::array<std::uint8_t, 256> table{};
  for (std::size_t v = 0; v < 256; ++v) {
    const double level = std::trunc(static_cast<double>(weights[v]) * factor);
    // An exponent that overflows single precision gives infinities or NaN: keep in range
    // instead of converting a non-number.
    table[v] = level >= 0.0 ? (level <= 255.0 ? static_cast<std::uint8_t>(level) : 255) : 0;
  }
  return table;
}

}  // namespace

void EqualizeHistogram(Bitmap& image, float exponent) {
  if (!std::isfinite(exponent)) {
    throw ImageError("The equalisation exponent must be a finite number.");
  }
  if (image.Empty()) return;
  Histogram red, green, blue;
  ChannelHistograms(image, red, green, blue);
  const auto redTable = EqualizingTable(red, exponent);
  const auto greenTable = EqualizingTable(green, exponent);
  const auto blueTable = EqualizingTable(blue, exponent);
  const int width = image.Width();
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* p = image.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      p[0] = blueTable[p[0]];
      p[1] = greenTable[p[1]];
      p[2] = redTable[p[2]];
    }
  }
}

}  // namespace brumeleaf
