// One tile of a sheet of equally sized pictures (brush shapes, strokes, paper patterns).

#include <algorithm>
#include <cstring>

#include "imaging/Geometry.h"

namespace brumeleaf {

void CopyTile(const Bitmap& sheet, Bitmap& destination, int tileWidth, int tileHeight, int column,
              int row) {
  if (&sheet == &destination) {
    const Bitmap entry(sheet);
    CopyTile(entry, destination, tileWidth, tileHeight, column, row);
    return;
  }
  // Only the part of the tile that lies inside both the sheet and the destination is copied;
  // 64-bit corners keep a large column or row from wrapping into the sheet.
  const std::int64_t left = static_cast<std::int64_t>(column) * tileWidth;
  const std::int64_t top = static_cast<std::int64_t>(row) * tileHeight;
  const std::int64_t width = std::min<std::int64_t>({tileWidth, sheet.Width() - left, destination.Width()});
  const std::int64_t height = std::min<std::int64_t>({tileHeight, sheet.Height() - top, destination.Height()});
  if (left < 0 || top < 0 || width <= 0 || height <= 0) return;
  const std::size_t bytes = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = sheet.ScanLine(static_cast<int>(top) + y) + static_cast<std::size_t>(left) * 3;
    std::memcpy(destination.ScanLine(y), in, bytes);
  }
}

}  // namespace brumeleaf
