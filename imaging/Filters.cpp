// The three 3x3 filters: each is its per-level formula on the window sums of the walker.

#include "imaging/Filters.h"

#include <algorithm>
#include <vector>

#include "imaging/InteriorRows.h"

namespace brumeleaf {

void Sharpen(Bitmap& image) {
  detail::ForEachWindowSum(image, [](std::uint16_t sum, std::uint8_t level) {
    const std::int16_t centre = level;
    const std::int16_t neighbours = static_cast<std::int16_t>(sum - centre);
    const std::int16_t v = static_cast<std::int16_t>(5 * centre - (neighbours >> 3));
    // 0 below 0, 255 from 1024 on, else v shr 2: the same as clamping v to 0..1023 first.
    const std::int16_t clamped = std::min<std::int16_t>(std::max<std::int16_t>(v, 0), 1023);
    return static_cast<std::uint8_t>(clamped >> 2);
  });
}

void BoxBlur3(Bitmap& image) {
  detail::ForEachWindowSum(image, [](std::uint16_t sum, std::uint8_t) {
    return static_cast<std::uint8_t>(sum / 9u);
  });
}

namespace {

// Top and bottom rows: the 1x3 mean along the row, from the row as it was on entry.
void SoftBlurRow(Bitmap& image, int y) {
  const std::size_t bytes = static_cast<std::size_t>(image.Width()) * 3;
  if (bytes < 9) return;
  std::uint8_t* row = image.ScanLine(y);
  const std::vector<std::uint8_t> entry(row, row + bytes);
  for (std::size_t i = detail::kNextPixel; i + detail::kNextPixel < bytes; ++i) {
    const unsigned sum = entry[i - detail::kNextPixel] + entry[i] + entry[i + detail::kNextPixel];
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
  detail::ForEachWindowSum(image, [](std::uint16_t sum, std::uint8_t level) {
    const std::uint16_t mean = static_cast<std::uint16_t>(sum / 9u);
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(2 * mean + level) / 3u);
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
