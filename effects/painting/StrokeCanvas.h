#pragma once
// The photograph and the canvas painted from it side by side, for painters that stamp a brush
// at random spots and compare the canvas with the photograph under it. A stamp lands far from
// the last one, so its time goes into fetching memory: every pixel keeps in one 8-byte word
// what a stamp reads there, the photograph's blue, green and red, the canvas's, and a running
// sum of the error, so that a short run of brush pixels costs one or two cache lines instead of
// one or two in each of three places.
//
// A pixel's error is |blue - blue'| + |green - green'| + |red - red'|. Its running sum restarts
// every 64 pixels along the row, so each fits in 16 bits (64 * 765 < 65536) and a change of the
// canvas only redoes the rest of the block it touches.

#include <cstdint>
#include <cstring>

#include "imaging/Bitmap.h"
#include "imaging/LargePageBuffer.h"

namespace brumeleaf {

class StrokeCanvas {
 public:
  // Byte offsets within a pixel's word.
  static constexpr int kPhotograph = 0, kCanvas = 3, kErrorSum = 6, kPixelBytes = 8;

  // The photograph with a canvas of one colour. Rows are built on several threads.
  StrokeCanvas(const Bitmap& photograph, Colour canvas);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::uint8_t* At(int x, int y) { return Row(y) + kPixelBytes * x; }
  const std::uint8_t* At(int x, int y) const { return Row(y) + kPixelBytes * x; }

  // The error of pixels first..last (first <= last, inside the picture) of row y.
  std::uint32_t ErrorSum(int y, int first, int last) const {
    const std::uint8_t* row = Row(y);
    std::uint32_t sum = 0;
    for (;;) {
      const int end = first | kBlockMask;
      const std::uint32_t before = (first & kBlockMask) ? Sum(row, first - 1) : 0u;
      if (last <= end) return sum + Sum(row, last) - before;
      sum += Sum(row, end) - before;
      first = end + 1;
    }
  }

  // The canvas changed in pixels first..last (first <= last) of row y: brings the running
  // sums there up to date.
  void CanvasChanged(int y, int first, int last);

  // The photograph and the canvas as pictures.
  void CopyPhotograph(Bitmap& out) const { CopyOut(out, kPhotograph); }
  void CopyCanvas(Bitmap& out) const { CopyOut(out, kCanvas); }

 private:
  static constexpr int kBlockMask = 63;
  std::uint8_t* Row(int y) { return bytes_.Data() + static_cast<std::size_t>(y) * pitch_; }
  const std::uint8_t* Row(int y) const { return bytes_.Data() + static_cast<std::size_t>(y) * pitch_; }
  static std::uint32_t Sum(const std::uint8_t* row, int x) {
    std::uint16_t sum;
    std::memcpy(&sum, row + kPixelBytes * x + kErrorSum, sizeof sum);
    return sum;
  }
  void CopyOut(Bitmap& out, int offset) const;

  int width_ = 0, height_ = 0;
  std::size_t pitch_ = 0;
  LargePageBuffer bytes_;
};

}  // namespace brumeleaf
