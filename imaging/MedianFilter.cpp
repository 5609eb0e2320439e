#include "imaging/MedianFilter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "imaging/ParallelRows.h"
#include "imaging/SlidingHistogram.h"

namespace brumeleaf {

namespace {

void FilterRows(const std::vector<const std::uint8_t*>& in, const std::vector<std::uint8_t*>& out, int width,
                int half, int first, int last) {
  const int height = static_cast<int>(in.size());
  std::array<SlidingHistogram, 3> channels;
  for (int y = first; y < last; ++y) {
    const int top = std::max(0, y - half);
    const int bottom = std::min(height - 1, y + half);
    const int rows = bottom - top + 1;
    for (SlidingHistogram& m : channels) m = SlidingHistogram{};
    auto addColumn = [&](int x, bool add) {
      const std::size_t at = static_cast<std::size_t>(x) * 3;
      for (int r = top; r <= bottom; ++r) {
        const std::uint8_t* p = in[static_cast<std::size_t>(r)] + at;
        for (int c = 0; c < 3; ++c) {
          if (add) {
            channels[static_cast<std::size_t>(c)].Add(p[c]);
          } else {
            channels[static_cast<std::size_t>(c)].Remove(p[c]);
          }
        }
      }
    };
    for (int x = 0; x <= std::min(half, width - 1); ++x) addColumn(x, true);
    std::uint8_t* o = out[static_cast<std::size_t>(y)];
    for (int x = 0; x < width; ++x) {
      if (x > 0) {
        if (x + half < width) addColumn(x + half, true);
        if (x - half - 1 >= 0) addColumn(x - half - 1, false);
      }
      const int columns = std::min(width - 1, x + half) - std::max(0, x - half) + 1;
      const int count = rows * columns;
      for (int c = 0; c < 3; ++c)
        o[3 * x + c] = static_cast<std::uint8_t>(channels[static_cast<std::size_t>(c)].Middle(count));
    }
  }
}

constexpr int kMinBandRows = 16;
constexpr int kStopBlockRows = 256;  // rows filtered between two stop checks

int HalfOf(int size) { return size < 2 ? 0 : size / 2; }

}  // namespace

Bitmap MedianFilter(const Bitmap& image, int size) {
  Bitmap output(image.Width(), image.Height());
  if (image.Empty()) return output;
  const auto in = image.RowTable();
  const auto out = output.RowTable();
  ForEachRowBand(0, image.Height(), kMinBandRows, [&](int first, int last) {
    FilterRows(in, out, image.Width(), HalfOf(size), first, last);
  });
  return output;
}

bool MedianFilter(const Bitmap& image, int size, Bitmap& output, RunContext& ctx) {
  if (&image == &output) throw ImageError("The median filter cannot write over its own source picture.");
  Bitmap filtered(image.Width(), image.Height());
  if (!image.Empty()) {
    const auto in = image.RowTable();
    const auto out = filtered.RowTable();
    for (int block = 0; block < image.Height(); block += kStopBlockRows) {
      if (ctx.StopRequested()) return false;
      const int end = std::min(image.Height(), block + kStopBlockRows);
      ForEachRowBand(block, end, kMinBandRows, [&](int first, int last) {
        FilterRows(in, out, image.Width(), HalfOf(size), first, last);
      });
    }
  }
  output = std::move(filtered);
  return true;
}

}  // namespace brumeleaf
