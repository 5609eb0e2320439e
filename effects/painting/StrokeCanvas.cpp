#include "effects/painting/StrokeCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

int PixelError(const std::uint8_t* pixel) {
  const std::uint8_t* p = pixel + StrokeCanvas::kPhotograph;
  const std::uint8_t* c = pixel + StrokeCanvas::kCanvas;
  return std::abs(p[0] - c[0]) + std::abs(p[1] - c[1]) + std::abs(p[2] - c[2]);
}

void PutSum(std::uint8_t* pixel, int sum) {
  const std::uint16_t value = static_cast<std::uint16_t>(sum);
  std::memcpy(pixel + StrokeCanvas::kErrorSum, &value, sizeof value);
}

}  // namespace

StrokeCanvas::StrokeCanvas(const Bitmap& photograph, Colour canvas)
    : width_(photograph.Width()), height_(photograph.Height()),
      pitch_(static_cast<std::size_t>(kPixelBytes) * static_cast<std::size_t>(photograph.Width())) {
  // Stamps land anywhere. The blend of a run reads a few bytes past its last pixel: the
  // padding keeps that inside.
  const std::size_t used = pitch_ * static_cast<std::size_t>(height_);
  const std::size_t size = used + 2 * kPixelBytes;
  try {
    bytes_ = LargePageBuffer(size);
  } catch (const std::bad_alloc&) {
    throw ImageError("Sorry, not enough memory to proceed. Try decreasing the size of the source image.");
  }
  std::memset(bytes_.Data() + used, 0, size - used);
  Bitmap one(1, 1);
  one.Fill(canvas);
  const std::uint8_t* colour = one.ScanLine(0);
  ForEachRowBand(0, height_, 32, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* from = photograph.ScanLine(y);
      std::uint8_t* row = Row(y);
      int sum = 0;
      for (int x = 0; x < width_; ++x) {
        std::uint8_t* pixel = row + kPixelBytes * x;
        std::memcpy(pixel + kPhotograph, from + 3 * x, 3);
        std::memcpy(pixel + kCanvas, colour, 3);
        if ((x & kBlockMask) == 0) sum = 0;
        sum += PixelError(pixel);
        PutSum(pixel, sum);
      }
    }
  });
}

void StrokeCanvas::CanvasChanged(int y, int first, int last) {
  std::uint8_t* row = Row(y);
  // The sums before `first` stay; from there to `last` they are summed again; the rest of the
  // block moves by what the error of first..last changed (16-bit arithmetic wraps around, and
  // the true sums fit).
  int sum = (first & kBlockMask) ? static_cast<int>(Sum(row, first - 1)) : 0;
  const std::uint32_t old = Sum(row, last);
  int x = first;
#if defined(__SSE2__)
  // Two pixels at a time: the sum of absolute differences of the photograph's three bytes and
  // the canvas's, shifted under them, is each pixel's error.
  const __m128i colour = _mm_set1_epi64x(0xFFFFFF);
  for (; x < last; x += 2) {
    const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + kPixelBytes * x));
    const __m128i errors = _mm_sad_epu8(_mm_and_si128(words, colour), _mm_and_si128(_mm_srli_epi64(words, 24), colour));
    if ((x & kBlockMask) == 0) sum = 0;
    sum += _mm_cvtsi128_si32(errors);
    PutSum(row + kPixelBytes * x, sum);
    if (((x + 1) & kBlockMask) == 0) sum = 0;
    sum += _mm_extract_epi16(errors, 4);
    PutSum(row + kPixelBytes * (x + 1), sum);
  }
#endif
  for (; x <= last; ++x) {
    if ((x & kBlockMask) == 0) sum = 0;
    sum += PixelError(row + kPixelBytes * x);
    PutSum(row + kPixelBytes * x, sum);
  }
  const std::uint32_t shift = static_cast<std::uint32_t>(sum) - old;
  const int end = std::min(last | kBlockMask, width_ - 1);
  for (int x = last + 1; x <= end; ++x) PutSum(row + kPixelBytes * x, static_cast<int>(Sum(row, x) + shift));
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
