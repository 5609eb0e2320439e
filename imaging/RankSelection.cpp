// Helpers of the median-style filters: selection by histogram instead of sorting.

#include "imaging/Filters.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace brumeleaf {

int HistogramRankValue(const std::uint8_t* levels, int lastIndex, int startLevel, int targetCount) {
  std::array<int, 256> bins{};
  for (int i = 0; i <= lastIndex; ++i) ++bins[levels[i]];
  // A start below 0 has no bins of its own to count; one above 255 never reaches the target.
  int running = 0;
  for (int level = std::max(startLevel, 0); level < 256; ++level) {
    running += bins[static_cast<std::size_t>(level)];
    if (running >= targetCount) return level;
  }
  return 0;
}

void CountingSortBytes(std::uint8_t* bytes, std::size_t count, bool ascending) {
  if (count == 0) return;  // an empty array may come with no storage at all
  std::array<std::size_t, 256> bins{};
  for (std::size_t i = 0; i < count; ++i) ++bins[bytes[i]];
  std::uint8_t* out = bytes;
  for (int step = 0; step < 256; ++step) {
    const int level = ascending ? step : 255 - step;
    const std::size_t n = bins[static_cast<std::size_t>(level)];
    std::memset(out, level, n);
    out += n;
  }
}

}  // namespace brumeleaf
