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

// The 3 x 3 window: nine values or fewer at the border. A sorting network gives the middle of
// nine far quicker than keeping histograms of a window this small; the border pixels sort
// their four or six values. The middle of an even count is the truncated mean of the two
// middle values, as for the histograms.
inline void Order(std::uint8_t& a, std::uint8_t& b) {
  const std::uint8_t low = std::min(a, b);
  b = std::max(a, b);
  a = low;
}

int MiddleOfNine(std::array<std::uint8_t, 9> p) {
  Order(p[1], p[2]), Order(p[4], p[5]), Order(p[7], p[8]);
  Order(p[0], p[1]), Order(p[3], p[4]), Order(p[6], p[7]);
  Order(p[1], p[2]), Order(p[4], p[5]), Order(p[7], p[8]);
  Order(p[0], p[3]), Order(p[5], p[8]), Order(p[4], p[7]);
  Order(p[3], p[6]), Order(p[1], p[4]), Order(p[2], p[5]);
  Order(p[4], p[7]), Order(p[4], p[2]), Order(p[6], p[4]);
  Order(p[4], p[2]);
  return p[4];
}

int MiddleOfFew(std::array<std::uint8_t, 9> p, int count) {
  const auto n = static_cast<std::size_t>(count);
  for (std::size_t i = 1; i < n; ++i)
    for (std::size_t j = i; j > 0 && p[j - 1] > p[j]; --j) std::swap(p[j - 1], p[j]);
  const auto upper = n / 2;
  return count % 2 == 1 ? p[upper] : (p[upper - 1] + p[upper]) / 2;
}

// The middle of the nine bytes around each byte i in [begin, end) of a row: the same channel
// of the pixels to the left and right lies 3 bytes away. Written over plain byte offsets so that
// the compiler can take many bytes at once.
void MiddleOfNineRow(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out,
                     int begin, int end) {
  for (int i = begin; i < end; ++i) {
    std::uint8_t p0 = up[i - 3], p1 = up[i], p2 = up[i + 3];
    std::uint8_t p3 = mid[i - 3], p4 = mid[i], p5 = mid[i + 3];
    std::uint8_t p6 = down[i - 3], p7 = down[i], p8 = down[i + 3];
    Order(p1, p2), Order(p4, p5), Order(p7, p8);
    Order(p0, p1), Order(p3, p4), Order(p6, p7);
    Order(p1, p2), Order(p4, p5), Order(p7, p8);
    Order(p0, p3), Order(p5, p8), Order(p4, p7);
    Order(p3, p6), Order(p1, p4), Order(p2, p5);
    Order(p4, p7), Order(p4, p2), Order(p6, p4);
    Order(p4, p2);
    out[i] = p4;
  }
}

// The middle of the window at (x, y) gathered one by one: the border pixels.
void MiddleOfWindow(const std::vector<const std::uint8_t*>& in, std::uint8_t* o, int width, int top, int bottom,
                    int x) {
  const int left = std::max(0, x - 1);
  const int right = std::min(width - 1, x + 1);
  const int count = (bottom - top + 1) * (right - left + 1);
  for (int c = 0; c < 3; ++c) {
    std::array<std::uint8_t, 9> values{};
    std::size_t n = 0;
    for (int r = top; r <= bottom; ++r) {
      const std::uint8_t* row = in[static_cast<std::size_t>(r)];
      for (int u = left; u <= right; ++u) values[n++] = row[3 * u + c];
    }
    o[3 * x + c] = static_cast<std::uint8_t>(count == 9 ? MiddleOfNine(values) : MiddleOfFew(values, count));
  }
}

void FilterRows3x3(const std::vector<const std::uint8_t*>& in, const std::vector<std::uint8_t*>& out, int width,
                   int first, int last) {
  const int height = static_cast<int>(in.size());
  for (int y = first; y < last; ++y) {
    const int top = std::max(0, y - 1);
    const int bottom = std::min(height - 1, y + 1);
    std::uint8_t* o = out[static_cast<std::size_t>(y)];
    if (bottom - top == 2 && width >= 3) {
      MiddleOfNineRow(in[static_cast<std::size_t>(top)], in[static_cast<std::size_t>(y)],
                      in[static_cast<std::size_t>(bottom)], o, 3, 3 * (width - 1));
      MiddleOfWindow(in, o, width, top, bottom, 0);
      MiddleOfWindow(in, o, width, top, bottom, width - 1);
    } else {
      for (int x = 0; x < width; ++x) MiddleOfWindow(in, o, width, top, bottom, x);
    }
  }
}

// Rows first..last-1 of the filter of window size 2 * half + 1.
void FilterBand(const std::vector<const std::uint8_t*>& in, const std::vector<std::uint8_t*>& out, int width,
                int half, int first, int last) {
  if (half == 1) {
    FilterRows3x3(in, out, width, first, last);
  } else {
    FilterRows(in, out, width, half, first, last);
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
    FilterBand(in, out, image.Width(), HalfOf(size), first, last);
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
        FilterBand(in, out, image.Width(), HalfOf(size), first, last);
      });
    }
  }
  output = std::move(filtered);
  return true;
}

}  // namespace brumeleaf
