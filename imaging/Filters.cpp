// The three 3x3 filters. Channels are independent and share one formula, so each kernel runs
// over the bytes of a row with neighbours three bytes apart; written that way the compiler
// vectorises the loops.

#include "imaging/Filters.h"

#include <vector>

#include "imaging/InteriorRows.h"

namespace brumeleaf {

namespace {

constexpr std::size_t kLeft = 3;  // byte distance to the same channel of the next pixel

// Sum of the 3x3 window around byte i.
inline int WindowSum(const std::uint8_t* a, const std::uint8_t* c, const std::uint8_t* b,
                     std::size_t i) {
  return a[i - kLeft] + a[i] + a[i + kLeft] + c[i - kLeft] + c[i] + c[i + kLeft] + b[i - kLeft] +
         b[i] + b[i + kLeft];
}

}  // namespace

void Sharpen(Bitmap& image) {
  detail::ForEachInteriorRow(image, [](const std::uint8_t* a, const std::uint8_t* c,
                                       const std::uint8_t* b, std::uint8_t* out,
                                       std::size_t bytes) {
    for (std::size_t i = kLeft; i + kLeft < bytes; ++i) {
      const int centre = c[i];
      const int neighbours = WindowSum(a, c, b, i) - centre;
      const int v = 5 * centre - (neighbours >> 3);
      // Its own clamp: a level of 256..1023 still counts as v shr 2, only 1024 on is white.
      out[i] = v < 0 ? 0 : (v >= 1024 ? 255 : static_cast<std::uint8_t>(v >> 2));
    }
  });
}

void BoxBlur3(Bitmap& image) {
  detail::ForEachInteriorRow(image, [](const std::uint8_t* a, const std::uint8_t* c,
                                       const std::uint8_t* b, std::uint8_t* out,
                                       std::size_t bytes) {
    for (std::size_t i = kLeft; i + kLeft < bytes; ++i) {
      out[i] = static_cast<std::uint8_t>(static_cast<unsigned>(WindowSum(a, c, b, i)) / 9u);
    }
  });
}

namespace {

// Top and bottom rows: the 1x3 mean along the row, from the row as it was on entry.
void SoftBlurRow(Bitmap& image, int y) {
  const std::size_t bytes = static_cast<std::size_t>(image.Width()) * 3;
  if (bytes < 9) return;
  std::uint8_t* row = image.ScanLine(y);
  const std::vector<std::uint8_t> entry(row, row + bytes);
  for (std::size_t i = kLeft; i + kLeft < bytes; ++i) {
    const unsigned sum = entry[i - kLeft] + entry[i] + entry[i + kLeft];
    row[i] = static_cast<std::uint8_t>(sum / 3u);
  }
}

// Left and right columns: the 3x1 mean down the column; `previous` carries the entry level of
// the row above, which this walk has already replaced.
void SoftBlurColumn(Bitmap& image, int x) {
  const int height = image.Height();
  if (height < 3) return;
  const std::size_t at = static_cast<std::size_t>(x) * 3;
  std::uint8_t previous[3];
  const std::uint8_t* top = image.ScanLine(0) + at;
  for (int ch = 0; ch < 3; ++ch) previous[ch] = top[ch];
  for (int y = 1; y < height - 1; ++y) {
    std::uint8_t* self = image.ScanLine(y) + at;
    const std::uint8_t* below = image.ScanLine(y + 1) + at;
    for (int ch = 0; ch < 3; ++ch) {
      const std::uint8_t entry = self[ch];
      self[ch] = static_cast<std::uint8_t>((previous[ch] + entry + below[ch]) / 3);
      previous[ch] = entry;
    }
  }
}

}  // namespace

void SoftBlur(Bitmap& image) {
  detail::ForEachInteriorRow(image, [](const std::uint8_t* a, const std::uint8_t* c,
                                       const std::uint8_t* b, std::uint8_t* out,
                                       std::size_t bytes) {
    for (std::size_t i = kLeft; i + kLeft < bytes; ++i) {
      const unsigned mean = static_cast<unsigned>(WindowSum(a, c, b, i)) / 9u;
      out[i] = static_cast<std::uint8_t>((2u * mean + c[i]) / 3u);
    }
  });
  // The interior pass never touches the border, so the border still holds its entry levels.
  // On a 1-high or 1-wide picture the two rows (or columns) are the same one: do it once.
  const int width = image.Width();
  const int height = image.Height();
  if (width == 0 || height == 0) return;
  SoftBlurRow(image, height - 1);
  if (height > 1) SoftBlurRow(image, 0);
  SoftBlurColumn(image, 0);
  if (width > 1) SoftBlurColumn(image, width - 1);
}

}  // namespace brumeleaf
