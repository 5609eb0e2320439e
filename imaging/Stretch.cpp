// The two bilinear resamplers. They differ in fixed-point precision and in how their weights
// are rounded, and each effect keeps the one its look was tuned with. Column positions and
// fractions depend only on the column, so they are computed once per picture.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "imaging/Geometry.h"

namespace brumeleaf {

namespace {

// a * b / c, rounded to the nearest integer with halves away from zero.
std::int64_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
  const std::int64_t product = a * b;
  const std::int64_t magnitude = (std::llabs(product) * 2 + std::llabs(c)) / (2 * std::llabs(c));
  return (product < 0) != (c < 0) ? -magnitude : magnitude;
}

// MulDiv(a, b, 65536) for a, b >= 0: halves round up, which is away from zero.
inline std::int64_t MulDiv65536(std::int64_t a, std::int64_t b) { return (a * b + 32768) >> 16; }

struct SourceColumn {
  std::size_t left;   // byte offset of column c0
  std::size_t right;  // byte offset of column c1 (c0 itself at the last column)
  std::int32_t fraction;
};

// Column positions for `count` destination columns stepping `step` in fixed point `shift`.
// c1 and (defensively) c0 are held to the last column, so a 1-pixel-wide source and a
// rounded-up step never read past the row; the weights then fall on the same pixel.
std::vector<SourceColumn> SourceColumns(int count, std::int64_t step, int shift, int sourceWidth) {
  std::vector<SourceColumn> columns(static_cast<std::size_t>(count));
  const std::int64_t mask = (std::int64_t{1} << shift) - 1;
  const std::int64_t last = sourceWidth - 1;
  std::int64_t position = 0;
  for (SourceColumn& column : columns) {
    const std::int64_t c0 = std::min(position >> shift, last);
    column.left = static_cast<std::size_t>(c0) * 3;
    column.right = static_cast<std::size_t>(std::min(c0 + 1, last)) * 3;
    column.fraction = static_cast<std::int32_t>(position & mask);
    position += step;
  }
  return columns;
}

bool NothingToResample(const Bitmap& source, const Bitmap& destination) {
  return source.Empty() || destination.Empty();
}

}  // namespace

void StretchBilinearFast(const Bitmap& source, Bitmap& destination) {
  if (NothingToResample(source, destination)) return;
  if (&source == &destination) {
    // Resampling onto itself would read pixels this pass has already replaced.
    const Bitmap entry(source);
    StretchBilinearFast(entry, destination);
    return;
  }
  const int sw = source.Width(), sh = source.Height();
  const int dw = destination.Width(), dh = destination.Height();
  const std::int64_t xstep = (static_cast<std::int64_t>(sw - 1) * 32768) / dw;
  const std::int64_t ystep = (static_cast<std::int64_t>(sh - 1) * 32768) / dh;
  const std::vector<SourceColumn> columns = SourceColumns(dw, xstep, 15, sw);
  std::int64_t sy = 0;
  for (int j = 0; j < dh; ++j, sy += ystep) {
    const int r0 = std::min(static_cast<int>(sy >> 15), sh - 1);
    const int r1 = std::min(r0 + 1, sh - 1);
    const std::int32_t fy = static_cast<std::int32_t>(sy & 32767);
    const std::int32_t u = 32768 - fy;
    const std::uint8_t* top = source.ScanLine(r0);
    const std::uint8_t* bottom = source.ScanLine(r1);
    std::uint8_t* out = destination.ScanLine(j);
    for (const SourceColumn& column : columns) {
      const std::int32_t fx = column.fraction;
      const std::int32_t w01 = (fx * u) >> 15;
      const std::int32_t w00 = u - w01;
      const std::int32_t w11 = (fx * fy) >> 15;
      const std::int32_t w10 = fy - w11;
      for (std::size_t ch = 0; ch < 3; ++ch) {
        *out++ = static_cast<std::uint8_t>(
            (top[column.left + ch] * w00 + top[column.right + ch] * w01 +
             bottom[column.left + ch] * w10 + bottom[column.right + ch] * w11) >> 15);
      }
    }
  }
}

void StretchBilinear(const Bitmap& source, Bitmap& destination) {
  if (source.Width() == destination.Width() && source.Height() == destination.Height()) {
    if (&source != &destination) destination.Assign(source);
    return;
  }
  if (NothingToResample(source, destination)) return;
  const int sw = source.Width(), sh = source.Height();
  const int dw = destination.Width(), dh = destination.Height();
  const std::int64_t xstep = MulDiv(sw - 1, 65536, dw);
  const std::int64_t ystep = MulDiv(sh - 1, 65536, dh);
  const std::vector<SourceColumn> columns = SourceColumns(dw, xstep, 16, sw);
  std::int64_t sy = 0;
  // Every destination row through ScanLine: a 1-row destination works like any other.
  for (int j = 0; j < dh; ++j, sy += ystep) {
    const int r0 = std::min(static_cast<int>(sy >> 16), sh - 1);
    const int r1 = r0 < sh - 1 ? r0 + 1 : r0;
    const std::int64_t fy = sy & 65535;
    const std::int64_t topWeight = 65536 - fy;
    const std::int64_t bottomWeight = fy + 1;
    const std::uint8_t* top = source.ScanLine(r0);
    const std::uint8_t* bottom = source.ScanLine(r1);
    std::uint8_t* out = destination.ScanLine(j);
    for (const SourceColumn& column : columns) {
      const std::int64_t fx = column.fraction;
      const std::int64_t w01 = MulDiv65536(fx, topWeight);
      const std::int64_t w00 = topWeight - w01;
      const std::int64_t w11 = MulDiv65536(fx, bottomWeight);
      const std::int64_t w10 = bottomWeight - w11;
      for (std::size_t ch = 0; ch < 3; ++ch) {
        *out++ = static_cast<std::uint8_t>(
            (top[column.left + ch] * w00 + top[column.right + ch] * w01 +
             bottom[column.left + ch] * w10 + bottom[column.right + ch] * w11) >> 16);
      }
    }
  }
}

}  // namespace brumeleaf
