#pragma once
// Walker for the 3x3 filters that work in place. Every output must come from the neighbours
// as they were on entry, so the walker keeps copies of the two original rows that in-place
// writes have already overwritten (the row above and the row itself) and reads the untouched
// row below straight from the picture.
//
// Channels are independent and share one formula, so a row is handled as bytes with the same
// channel of the next pixel three bytes on. The 3x3 sum is taken in two steps, three rows
// down and then three columns across, in 16 bits (at most 9 * 255) over a slice of the row
// that stays in the first-level cache: few additions, eight levels per vector instruction.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf::detail {

inline constexpr std::size_t kNextPixel = 3;

// Calls perLevel(windowSum, centreLevel) for every channel of every interior pixel (rows and
// columns 1..size-2) and writes the byte it returns; border pixels keep their levels.
template <class PerLevel>
void ForEachWindowSum(Bitmap& image, PerLevel&& perLevel) {
  const int width = image.Width();
  const int height = image.Height();
  if (width < 3 || height < 3) return;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  std::vector<std::uint8_t> above(rowBytes), centre(rowBytes);
  constexpr std::size_t kSlice = 2048;
  std::array<std::uint16_t, kSlice + 2 * kNextPixel> columnSums;
  std::memcpy(above.data(), image.ScanLine(0), rowBytes);
  for (int y = 1; y < height - 1; ++y) {
    std::uint8_t* out = image.ScanLine(y);
    std::memcpy(centre.data(), out, rowBytes);
    const std::uint8_t* a = above.data();
    const std::uint8_t* c = centre.data();
    const std::uint8_t* b = image.ScanLine(y + 1);
    for (std::size_t start = kNextPixel; start + kNextPixel < rowBytes; start += kSlice) {
      const std::size_t end = std::min(start + kSlice, rowBytes - kNextPixel);
      // columnSums[j] is the vertical sum at byte start - 3 + j.
      const std::size_t first = start - kNextPixel;
      const std::size_t count = end - start + 2 * kNextPixel;
      for (std::size_t j = 0; j < count; ++j) {
        columnSums[j] = static_cast<std::uint16_t>(a[first + j] + c[first + j] + b[first + j]);
      }
      for (std::size_t i = start; i < end; ++i) {
        const std::size_t j = i - first;
        const std::uint16_t sum = static_cast<std::uint16_t>(
            columnSums[j - kNextPixel] + columnSums[j] + columnSums[j + kNextPixel]);
        out[i] = perLevel(sum, c[i]);
      }
    }
    above.swap(centre);
  }
}

}  // namespace brumeleaf::detail
