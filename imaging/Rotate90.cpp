// Quarter turns. The picture is rebuilt row by row from a table of the old rows: a new row is
// an old column, and the next new row reads the bytes beside it, which are still in the cache.

#include <algorithm>
#include <utility>
#include <vector>

#include "imaging/Geometry.h"

namespace brumeleaf {

void RotateBitmap90(Bitmap& image, int angle) {
  const int width = image.Width();
  const int height = image.Height();
  // Throws before anything changes when the turned size is beyond the limits.
  Bitmap turned(height, width);
  std::vector<const std::uint8_t*> oldRows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) oldRows[static_cast<std::size_t>(y)] = image.ScanLine(y);
  const bool clockwise = angle == 90;
  for (int y = 0; y < width; ++y) {
    // New row y is old column y (clockwise, read bottom to top) or old column W-1-y
    // (counter-clockwise, read top to bottom).
    const std::size_t column = static_cast<std::size_t>(clockwise ? y : width - 1 - y) * 3;
    std::uint8_t* out = turned.ScanLine(y);
    for (int x = 0; x < height; ++x, out += 3) {
      const std::uint8_t* in = oldRows[static_cast<std::size_t>(clockwise ? height - 1 - x : x)] + column;
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  }
  image = std::move(turned);
}

}  // namespace brumeleaf
