// Quarter turns: a new row is an old column. The picture is rebuilt in square tiles so that
// the old rows a tile reads and the new rows it writes both stay in the cache.

#include <algorithm>
#include <utility>
#include <vector>

#include "imaging/Geometry.h"

namespace brumeleaf {

namespace {

constexpr int kTile = 32;

}  // namespace

void RotateBitmap90(Bitmap& image, int angle) {
  const int width = image.Width();
  const int height = image.Height();
  // Throws before anything changes when the turned size is beyond the limits.
  Bitmap turned(height, width);
  std::vector<const std::uint8_t*> oldRows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) oldRows[static_cast<std::size_t>(y)] = image.ScanLine(y);
  std::vector<std::uint8_t*> newRows(static_cast<std::size_t>(width));
  for (int y = 0; y < width; ++y) newRows[static_cast<std::size_t>(y)] = turned.ScanLine(y);
  const bool clockwise = angle == 90;
  for (int y0 = 0; y0 < width; y0 += kTile) {
    for (int x0 = 0; x0 < height; x0 += kTile) {
      const int y1 = std::min(y0 + kTile, width), x1 = std::min(x0 + kTile, height);
      for (int y = y0; y < y1; ++y) {
        // Clockwise: new (x, y) = old (y, H-1-x). Otherwise: new (x, y) = old (W-1-y, x).
        const std::size_t column = static_cast<std::size_t>(clockwise ? y : width - 1 - y) * 3;
        std::uint8_t* out = newRows[static_cast<std::size_t>(y)] + static_cast<std::size_t>(x0) * 3;
        for (int x = x0; x < x1; ++x, out += 3) {
          const std::uint8_t* in = oldRows[static_cast<std::size_t>(clockwise ? height - 1 - x : x)] + column;
          out[0] = in[0];
          out[1] = in[1];
          out[2] = in[2];
        }
      }
    }
  }
  image = std::move(turned);
}

}  // namespace brumeleaf
