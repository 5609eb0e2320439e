#include "effects/painting/PaddedCopy.h"

#include <cstring>
#include <vector>

namespace brumeleaf {

namespace {

// The picture index that padded index p shows, or -1 for white.
int SourceIndex(int p, int size, int margin) {
  if (p >= margin && p < margin + size) return p - margin;
  const bool narrow = size < margin;
  if (narrow) return p < margin ? 0 : size - 1;
  return p < margin ? p : -1;
}

}  // namespace

Bitmap PaddedCopy(const Bitmap& image, int margin) {
  const int width = image.Width();
  const int height = image.Height();
  Bitmap padded(width + 2 * margin, height + 2 * margin);
  if (image.Empty()) return padded;
  std::vector<int> columns(static_cast<std::size_t>(padded.Width()));
  for (int px = 0; px < padded.Width(); ++px) columns[static_cast<std::size_t>(px)] = SourceIndex(px, width, margin);
  for (int py = 0; py < padded.Height(); ++py) {
    const int y = SourceIndex(py, height, margin);
    if (y < 0) continue;  // already white
    const std::uint8_t* in = image.ScanLine(y);
    std::uint8_t* out = padded.ScanLine(py);
    for (int px = 0; px < padded.Width(); ++px) {
      const int x = columns[static_cast<std::size_t>(px)];
      if (x >= 0) std::memcpy(out + 3 * px, in + 3 * x, 3);
    }
  }
  return padded;
}

}  // namespace brumeleaf
