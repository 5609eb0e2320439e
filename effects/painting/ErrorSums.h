#pragma once
// Running sums of the difference between a photograph and the canvas painted from it, along
// the rows, for stamps that need the canvas's error under a brush at a random spot: with them a
// stretch of brush pixels costs two look-ups instead of a pass over the pixels of both
// pictures, and the look-ups read a quarter of the memory.
//
// A pixel's error is |blue - blue'| + |green - green'| + |red - red'|. The sums restart every
// 64 pixels, so each fits in 16 bits (64 * 765 < 65536) and a change of the canvas only redoes
// the rest of the block it touches.

#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

class ErrorSums {
 public:
  // Both pictures must have the same size. Rows are built on several threads.
  ErrorSums(const Bitmap& photograph, const Bitmap& canvas);

  // The error of pixels first..last (first <= last, inside the picture) of row y.
  std::uint32_t Sum(int y, int first, int last) const {
    const std::uint16_t* row = Row(y);
    std::uint32_t sum = 0;
    for (;;) {
      const int end = first | kBlockMask;
      if (last <= end) return sum + row[last] - ((first & kBlockMask) ? row[first - 1] : 0u);
      sum += row[end] - ((first & kBlockMask) ? row[first - 1] : 0u);
      first = end + 1;
    }
  }

  // The canvas changed in pixels first..last (first <= last) of row y: brings the sums there
  // up to date.
  void CanvasChanged(int y, int first, int last, const std::uint8_t* photographRow, const std::uint8_t* canvasRow);

  // Where the sum of pixel (x, y) is kept, to fetch it ahead of time.
  const std::uint16_t* At(int x, int y) const { return Row(y) + x; }

 private:
  static constexpr int kBlockMask = 63;
  const std::uint16_t* Row(int y) const {
    return sums_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }

  int width_ = 0;
  std::vector<std::uint16_t> sums_;
};

}  // namespace brumeleaf
