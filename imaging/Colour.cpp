// Point operations on levels. Each one's formula depends on the level alone (or on the level
// and its pixel's mean), so it is evaluated once per possible input into a table and the
// pixels only look their result up; 64-bit arithmetic keeps large percentages from
// overflowing without costing anything per pixel.

#include "imaging/Colour.h"

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

}  // namespace

void InvertColours(Bitmap& image) {
  const std::size_t bytes = static_cast<std::size_t>(image.Width()) * 3;
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.ScanLine(y);
    for (std::size_t i = 0; i < bytes; ++i) row[i] = static_cast<std::uint8_t>(255 - row[i]);
  }
}

void AdjustBrightness(Bitmap& image, int percent) {
  LevelTable table;
  const std::int64_t p = percent;
  for (int c = 0; c < 256; ++c) {
    table[static_cast<std::size_t>(c)] = Clamped(p <= 0 ? c + p * c / 100 : c + p * (255 - c) / 100);
  }
  ApplyToEveryLevel(image, table);
}

void AdjustContrast(Bitmap& image, int pivot, int percent) {
  LevelTable table;
  for (int c = 0; c < 256; ++c) {
    table[static_cast<std::size_t>(c)] =
        Clamped(c + (static_cast<std::int64_t>(c) - pivot) * percent / 100);
  }
  ApplyToEveryLevel(image, table);
}

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
