#include "effects/painting/ErrorSums.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

int PixelError(const std::uint8_t* a, const std::uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

}  // namespace

ErrorSums::ErrorSums(const Bitmap& photograph, const Bitmap& canvas) : width_(photograph.Width()) {
  const int height = photograph.Height();
  if (canvas.Width() != width_ || canvas.Height() != height)
    throw ImageError("The painting must have the size of its source.");
  try {
    sums_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height));
  } catch (const std::bad_alloc&) {
    throw ImageError("Sorry, not enough memory to proceed. Try decreasing the size of the source image.");
  }
  ForEachRowBand(0, height, 32, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* p = photograph.ScanLine(y);
      const std::uint8_t* c = canvas.ScanLine(y);
      std::uint16_t* row = sums_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
      int sum = 0;
      for (int x = 0; x < width_; ++x) {
        if ((x & kBlockMask) == 0) sum = 0;
        sum += PixelError(p + 3 * x, c + 3 * x);
        row[x] = static_cast<std::uint16_t>(sum);
      }
    }
  });
}

void ErrorSums::CanvasChanged(int y, int first, int last, const std::uint8_t* photographRow,
                              const std::uint8_t* canvasRow) {
  std::uint16_t* row = sums_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  // The sums before `first` stay; from there to `last` they are summed again; the rest of the
  // block moves by what the error of first..last changed (16-bit arithmetic wraps around, and
  // the true sums fit).
  int sum = (first & kBlockMask) ? row[first - 1] : 0;
  const std::uint16_t old = row[last];
  for (int x = first; x <= last; ++x) {
    if ((x & kBlockMask) == 0) sum = 0;
    sum += PixelError(photographRow + 3 * x, canvasRow + 3 * x);
    row[x] = static_cast<std::uint16_t>(sum);
  }
  const std::uint16_t shift = static_cast<std::uint16_t>(sum - old);
  const int end = std::min(last | kBlockMask, width_ - 1);
  for (int x = last + 1; x <= end; ++x) row[x] = static_cast<std::uint16_t>(row[x] + shift);
}

}  // namespace brumeleaf
