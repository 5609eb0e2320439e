// 5x5 detail enhancement. The 24-level means come from running column sums slid along each
// row. Every call site enhances a picture in place, where pixels above and to the left have
// already been replaced when they enter later windows; the column sums follow the picture as
// it is being written (each write adds its change to its column), so the in-place result is
// exactly that of summing every window afresh.

#include "imaging/Filters.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace brumeleaf {

namespace {

constexpr int kRadius = 2;
constexpr int kLargestProduct = 255 * 255;  // |d| * t never exceeds this

// Adds (sign +1) or removes (sign -1) one row's levels from the column sums.
void AccumulateRow(const std::uint8_t* row, std::vector<std::int32_t>& sums, int sign) {
  for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += sign * row[i];
}

}  // namespace

void EnhanceDetail(Bitmap& source, Bitmap& destination, int strength) {
  if (strength >= 256) {
    // The divisor 256 - strength would be zero or negative.
    throw ImageError("The detail strength must be below 256 (it is " + std::to_string(strength) +
                     ").");
  }
  const int width = source.Width();
  const int height = source.Height();
  if (destination.Width() != width || destination.Height() != height) {
    throw ImageError("Detail enhancement needs a destination of the source's size.");
  }
  if (width < 2 * kRadius + 1 || height < 2 * kRadius + 1) return;

  const bool inPlace = &source == &destination;
  const std::int64_t divisor = 256 - static_cast<std::int64_t>(strength);
  // Quotients of every possible |d * t|; truncation toward zero is symmetric, so the sign is
  // applied afterwards.
  // The divisor is at least 1, so every quotient fits 16 bits; half the cache of 32.
  std::vector<std::uint16_t> quotient(kLargestProduct + 1);
  for (int n = 0; n <= kLargestProduct; ++n) {
    quotient[static_cast<std::size_t>(n)] = static_cast<std::uint16_t>(n / divisor);
  }

  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  std::vector<std::int32_t> columnSums(rowBytes, 0);
  for (int y = 0; y < 2 * kRadius + 1; ++y) AccumulateRow(source.ScanLine(y), columnSums, +1);

  for (int y = kRadius; y < height - kRadius; ++y) {
    const std::uint8_t* in = source.ScanLine(y);
    std::uint8_t* out = destination.ScanLine(y);
    std::int32_t sums[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 15; ++i) sums[i % 3] += columnSums[i];
    for (int x = kRadius; x < width - kRadius; ++x) {
      const std::size_t at = static_cast<std::size_t>(x) * 3;
      int c[3], d[3];
      for (int ch = 0; ch < 3; ++ch) {
        c[ch] = in[at + ch];
        d[ch] = c[ch] - (sums[ch] - c[ch]) / 24;
      }
      const int t = std::abs(d[0] + d[1] + d[2]) / 3;
      for (int ch = 0; ch < 3; ++ch) {
        const int product = d[ch] * t;
        const int change = product < 0 ? -quotient[static_cast<std::size_t>(-product)]
                                        : quotient[static_cast<std::size_t>(product)];
        const std::uint8_t level = ClampLevel(c[ch] + change);
        out[at + ch] = level;
        if (inPlace) {
          columnSums[at + ch] += level - c[ch];
          sums[ch] += level - c[ch];
        }
      }
      if (x + kRadius + 1 < width) {
        for (int ch = 0; ch < 3; ++ch) {
          sums[ch] += columnSums[at + 9 + ch] - columnSums[at - 6 + ch];
        }
      }
    }
    if (y + kRadius + 1 < height) {
      AccumulateRow(source.ScanLine(y - kRadius), columnSums, -1);
      AccumulateRow(source.ScanLine(y + kRadius + 1), columnSums, +1);
    }
  }
}

}  // namespace brumeleaf
