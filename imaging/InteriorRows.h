#pragma once
// Row walker for the 3x3 filters that work in place: every output must come from the
// neighbours as they were on entry, so the walker keeps copies of the two original rows that
// the in-place writes have already overwritten (the row above and the row itself) and hands
// the kernel the untouched row below straight from the picture.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf::detail {

// Calls kernel(above, centre, below, out, rowBytes) for rows 1..H-2. `above`, `centre` and
// `below` hold the entry levels; `out` is the picture's own row. The kernel writes bytes
// 3..rowBytes-4 only (interior columns), so the border columns keep their levels.
template <class Kernel>
void ForEachInteriorRow(Bitmap& image, Kernel&& kernel) {
  const int width = image.Width();
  const int height = image.Height();
  if (width < 3 || height < 3) return;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  std::vector<std::uint8_t> above(rowBytes), centre(rowBytes);
  std::memcpy(above.data(), image.ScanLine(0), rowBytes);
  for (int y = 1; y < height - 1; ++y) {
    std::uint8_t* row = image.ScanLine(y);
    std::memcpy(centre.data(), row, rowBytes);
    const std::uint8_t* below = image.ScanLine(y + 1);
    kernel(above.data(), centre.data(), below, row, rowBytes);
    above.swap(centre);
  }
}

}  // namespace brumeleaf::detail
