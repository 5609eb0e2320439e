// Point operations on levels. Brightness and contrast are both c + m (c - q) div 100 for some
// factor m and reference q; for the everyday percentages every intermediate fits 16 bits and
// the loop runs eight levels per vector instruction. Larger percentages go through a table of
// the 256 results computed in 64 bits, which cannot overflow.

#include "imaging/Colour.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace brumeleaf {

namespace {

using LevelTable = std::array<std::uint8_t, 256>;

std::uint8_t Clamped(std::int64_t v) {
  return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Replaces every byte of every row through the same table.
void ApplyToEveryLevel(Bitmap& image, const LevelTable& table) {
  const std::size_t bytes = static_cast<std::size_t>(image.Width()) * 3;
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.ScanLine(y);
    for (std::size_t i = 0; i < bytes; ++i) row[i] = table[row[i]];
  }
}

// Largest |m| for which m (c - q) fits 16 bits for every level c and a reference 0..255.
constexpr int kLargestShortFactor = 128;

// Every level c becomes c + m (c - q) div 100, clamped to 0..255.
void ApplyScaledDifference(Bitmap& image, int m, int q) {
  if (m < -kLargestShortFactor || m > kLargestShortFactor || q < 0 || q > 255) {
    LevelTable table;
    for (int c = 0; c < 256; ++c) {
      const std::int64_t difference = c - static_cast<std::int64_t>(q);
      table[static_cast<std::size_t>(c)] = Clamped(c + m * difference / 100);
    }
    ApplyToEveryLevel(image, table);
    return;
  }
  const std::int16_t factor = static_cast<std::int16_t>(m);
  const std::int16_t reference = static_cast<std::int16_t>(q);
  const std::size_t bytes = static_cast<std::size_t>(image.Width()) * 3;
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.ScanLine(y);
    for (std::size_t i = 0; i < bytes; ++i) {
      const std::int16_t c = row[i];
      const std::int16_t product = static_cast<std::int16_t>(factor * static_cast<std::int16_t>(c - reference));
      const std::int16_t v = static_cast<std::int16_t>(c + product / 100);
      row[i] = static_cast<std::uint8_t>(std::min<std::int16_t>(std::max<std::int16_t>(v, 0), 255));
    }
  }
}

}  // namespace

void InvertColours(Bitmap& image) {
  const std::size_t bytes = static_cast<std::size_t>(image.Width()) * 3;
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.ScanLine(y);
    for (std::size_t i = 0; i < bytes; ++i) row[i] = static_cast<std::uint8_t>(255 - row[i]);
  }
}

void AdjustBrightness(Bitmap& image, int percent) {
  // p <= 0: c + p c div 100 (toward black). p > 0: c + p (255 - c) div 100 (toward white),
  // which is c + (-p)(c - 255) div 100.
  if (percent <= 0) {
    ApplyScaledDifference(image, percent, 0);
  } else {
    ApplyScaledDifference(image, -percent, 255);
  }
}

void AdjustContrast(Bitmap& image, int pivot, int percent) { ApplyScaledDifference(image, percent, pivot); }

void AdjustSaturation(Bitmap& image, int percent, RunContext* ctx) {
  // Output for every (level, pixel mean) pair.
  std::vector<std::uint8_t> table(256 * 256);
  for (int c = 0; c < 256; ++c) {
    for (int mean = 0; mean < 256; ++mean) {
      table[static_cast<std::size_t>(c * 256 + mean)] =
          Clamped(c + static_cast<std::int64_t>(c - mean) * percent / 100);
    }
  }
  const int width = image.Width();
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* p = image.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      const std::size_t mean = static_cast<std::size_t>((p[0] + p[1] + p[2]) / 3);
      p[0] = table[p[0] * 256u + mean];
      p[1] = table[p[1] * 256u + mean];
      p[2] = table[p[2] * 256u + mean];
    }
    if (ctx) {
      if (!ctx->preview) ctx->ProcessEvents();
      // Rows done so far stay changed: a stopped run shows how far it got.
      if (ctx->StopRequested()) return;
    }
  }
}

}  // namespace brumeleaf
