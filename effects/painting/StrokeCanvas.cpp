#include "effects/painting/StrokeCanvas.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "imaging/ParallelRows.h"

namespace brumeleaf {

StrokeCanvas::StrokeCanvas(const Bitmap& photograph, Colour canvas)
    : width_(photograph.Width()), height_(photograph.Height()),
      pitch_(static_cast<std::size_t>(kPixelBytes) * static_cast<std::size_t>(photograph.Width())) {
  try {
    bytes_ = LargePageBuffer(pitch_ * static_cast<std::size_t>(height_));
  } catch (const std::bad_alloc&) {
    throw ImageError("Sorry, not enough memory to proceed. Try decreasing the size of the source image.");
  }
  Bitmap one(1, 1);
  one.Fill(canvas);
  const std::uint8_t* colour = one.ScanLine(0);
  ForEachRowBand(0, height_, 32, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* from = photograph.ScanLine(y);
      std::uint8_t* pixel = Row(y);
      for (int x = 0; x < width_; ++x, pixel += kPixelBytes) {
        std::memcpy(pixel + kPhotograph, from + 3 * x, 3);
        std::memcpy(pixel + kCanvas, colour, 3);
      }
    }
  });
}

std::uint32_t StrokeCanvas::ErrorSum(int y, int first, int last) const {
  std::uint32_t sum = 0;
  for (const std::uint8_t* pixel = At(first, y); first <= last; ++first, pixel += kPixelBytes)
    for (int c = 0; c < 3; ++c) sum += static_cast<std::uint32_t>(std::abs(pixel[kPhotograph + c] - pixel[kCanvas + c]));
  return sum;
}

void StrokeCanvas::CopyOut(Bitmap& out, int offset) const {
  out.SetSize(width_, height_);
  ForEachRowBand(0, height_, 32, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* row = Row(y) + offset;
      std::uint8_t* to = out.ScanLine(y);
      for (int x = 0; x < width_; ++x) std::memcpy(to + 3 * x, row + kPixelBytes * x, 3);
    }
  });
}

}  // namespace brumeleaf
