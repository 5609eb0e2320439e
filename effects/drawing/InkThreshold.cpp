#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "imaging/ParallelRows.h"
#include "effects/drawing/PenAndInk.h"
#include "imaging/Filters.h"

namespace brumeleaf {

namespace {

constexpr int kMargin = 9;           // the 9x9 window reaches 4 pixels out; the pad is 9 wide
constexpr int kCheckpointBlock = 50;  // rows computed between two progress and stop checks

// The picture with its own first rows and columns repeated above and to the left, white to
// the right and below, softened: the neighbourhood the threshold compares against.
Bitmap PaddedNeighbourhood(const Bitmap& image) {
  Bitmap padded(image.Width() + 2 * kMargin, image.Height() + 2 * kMargin);
  padded.Draw(0, 0, image);
  padded.Draw(kMargin, 0, image);
  padded.Draw(0, kMargin, image);
  padded.Draw(kMargin, kMargin, image);
  SoftBlur(padded);
  return padded;
}

struct ThresholdSettings {
  std::array<int, 3> mean;  // blue, green, red: the source mean levels
  int lighten;              // L
};

// Row y of the threshold: 9x9 channel sums around padded pixel (x + 9, y + 9), by column sums.
void ThresholdRow(const Bitmap& padded, Bitmap& image, int y, const ThresholdSettings& s,
                  std::vector<int>& columnSums) {
  const int paddedWidth = padded.Width();
  columnSums.assign(static_cast<std::size_t>(3 * paddedWidth), 0);
  for (int r = y + 5; r <= y + 13; ++r) {
    const std::uint8_t* p = padded.ScanLine(r);
    for (int i = 0; i < 3 * paddedWidth; ++i) columnSums[static_cast<std::size_t>(i)] += p[i];
  }
  const std::uint8_t* centreRow = padded.ScanLine(y + 9);
  std::uint8_t* out = image.ScanLine(y);
  std::array<int, 3> sum{0, 0, 0};
  for (int column = 5; column <= 12; ++column)
    for (int c = 0; c < 3; ++c) sum[static_cast<std::size_t>(c)] += columnSums[static_cast<std::size_t>(3 * column + c)];
  for (int x = 0; x < image.Width(); ++x) {
    const int entering = x + 13;
    for (int c = 0; c < 3; ++c) sum[static_cast<std::size_t>(c)] += columnSums[static_cast<std::size_t>(3 * entering + c)];
    const std::uint8_t* centre = centreRow + 3 * (x + 9);
    int thresholds = 0;
    int levels = 0;
    for (int c = 0; c < 3; ++c) {
      const int level = centre[c];
      thresholds += (s.mean[static_cast<std::size_t>(c)] + (sum[static_cast<std::size_t>(c)] - level) / 20 + 192 - s.lighten) / 6;
      levels += level;
    }
    const std::uint8_t ink = thresholds < levels ? 255 : 0;
    out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = ink;
    const int leaving = x + 5;
    for (int c = 0; c < 3; ++c) sum[static_cast<std::size_t>(c)] -= columnSums[static_cast<std::size_t>(3 * leaving + c)];
  }
}

// Stage 1 over all rows; false when stopped.
bool AdaptiveThreshold(const Bitmap& padded, Bitmap& image, const ThresholdSettings& s, RunContext& ctx) {
  const int height = image.Height();
  const int units = std::max(height - 1, 1);  // a picture one row high would divide by zero
  for (int block = 0; block < height; block += kCheckpointBlock) {
    const int blockEnd = std::min(block + kCheckpointBlock, height);
    ForEachRowBand(block, blockEnd, 8, [&](int begin, int end) {
      std::vector<int> columnSums;
      for (int y = begin; y < end; ++y) ThresholdRow(padded, image, y, s, columnSums);
    });
    for (int y = block; y < blockEnd; ++y) {
      const int windowRow = y + 5;
      if (windowRow % 50 == 0 && ctx.processing) ctx.ProcessEvents();
      if (windowRow % 25 == 0 && !ctx.preview) ctx.ShowProgress(windowRow, units, 1, 2);
      if (ctx.StopRequested()) return false;
    }
  }
  return true;
}

// Stage 2: a 5x5 kernel of -1 with 30 at the centre and -5 two rows below it, on the summed
// channels of the softened copy; a strong response (a thin dark detail) inks the pixel.
void DetailLines(const Bitmap& softened, Bitmap& image, int details) {
  const int width = image.Width();
  const int limit = 5 * (details - 15);
  ForEachRowBand(2, image.Height() - 2, 8, [&](int begin, int end) {
    std::vector<int> columnSums(static_cast<std::size_t>(width));
    for (int y = begin; y < end; ++y) {
      std::fill(columnSums.begin(), columnSums.end(), 0);
      for (int r = y - 2; r <= y + 2; ++r) {
        const std::uint8_t* p = softened.ScanLine(r);
        for (int x = 0; x < width; ++x) columnSums[static_cast<std::size_t>(x)] += p[3 * x] + p[3 * x + 1] + p[3 * x + 2];
      }
      const std::uint8_t* centreRow = softened.ScanLine(y);
      const std::uint8_t* belowRow = softened.ScanLine(y + 2);
      std::uint8_t* out = image.ScanLine(y);
      for (int x = 2; x <= width - 3; ++x) {
        int box = 0;
        for (int k = x - 2; k <= x + 2; ++k) box += columnSums[static_cast<std::size_t>(k)];
        const int centre = centreRow[3 * x] + centreRow[3 * x + 1] + centreRow[3 * x + 2];
        const int below = belowRow[3 * x] + belowRow[3 * x + 1] + belowRow[3 * x + 2];
        // Every weight is -1 except the centre (30 = -1 + 31) and the pixel below (-5 = -1 - 4).
        const int response = -box + 31 * centre - 4 * below;
        if (response < limit) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = 0;
      }
    }
  });
}

}  // namespace

void InkThreshold(Bitmap& image, RunContext& ctx) {
  const int height = image.Height();
  if (!ctx.preview) ctx.ShowProgress(0, std::max(height - 1, 1), 1, 2);
  Bitmap softened = image;
  SoftBlur(softened);
  const Bitmap padded = PaddedNeighbourhood(image);
  const ThresholdSettings settings{{static_cast<int>(ctx.mean.blue), static_cast<int>(ctx.mean.green),
                                    static_cast<int>(ctx.mean.red)},
                                   ctx.S(2)};
  if (!AdaptiveThreshold(padded, image, settings, ctx)) return;
  DetailLines(softened, image, ctx.S(1));
}

}  // namespace brumeleaf
