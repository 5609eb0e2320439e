#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/ParallelRows.h"
#include "effects/drawing/PenAndInk.h"

namespace brumeleaf {

namespace {

constexpr int kReach = 3;             // the 7x7 window
constexpr int kWeightSum = 175;       // sum of the weights 7 - |dx| - |dy|
constexpr int kFullWhite = kWeightSum * 255;
constexpr int kMaxPasses = 11;
constexpr int kSettledChanges = 19;   // a pass changing this few pixels ends the clean-up
constexpr int kCheckpointBlock = 50;

// The red levels of the picture inside a white border of 3, the neighbourhood of one pass.
struct RedPlane {
  int stride = 0;
  std::vector<std::uint8_t> levels;

  explicit RedPlane(const Bitmap& image) : stride(image.Width() + 2 * kReach) {
    levels.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(image.Height() + 2 * kReach), 255);
    for (int y = 0; y < image.Height(); ++y) {
      const std::uint8_t* p = image.ScanLine(y);
      std::uint8_t* row = &levels[static_cast<std::size_t>(y + kReach) * static_cast<std::size_t>(stride) + kReach];
      for (int x = 0; x < image.Width(); ++x) row[x] = p[3 * x + 2];
    }
  }
  const std::uint8_t* Row(int paddedRow) const {
    return &levels[static_cast<std::size_t>(paddedRow) * static_cast<std::size_t>(stride)];
  }
};

// One row of a pass; returns the number of pixels changed. The weights 7 - |dx| - |dy| split
// into (7 - 2|dx|) / 2 + (7 - 2|dy|) / 2, so twice the weighted sum is a weighted sum of
// column sums plus a sum of weighted column sums, both from 7-high columns.
int CleanRow(const RedPlane& plane, Bitmap& image, int y, int simplification, std::vector<int>& columns,
             std::vector<int>& weightedColumns) {
  const int stride = plane.stride;
  std::fill(columns.begin(), columns.end(), 0);
  std::fill(weightedColumns.begin(), weightedColumns.end(), 0);
  for (int dy = -kReach; dy <= kReach; ++dy) {
    const std::uint8_t* row = plane.Row(y + kReach + dy);
    const int weight = 7 - 2 * std::abs(dy);
    for (int i = 0; i < stride; ++i) {
      columns[static_cast<std::size_t>(i)] += row[i];
      weightedColumns[static_cast<std::size_t>(i)] += weight * row[i];
    }
  }
  const int darkLimit = 2 * kWeightSum * simplification;
  const int lightLimit = 2 * (kFullWhite - kWeightSum * simplification);
  std::uint8_t* out = image.ScanLine(y);
  int changes = 0;
  for (int x = 0; x < image.Width(); ++x) {
    int twice = 0;
    for (int dx = -kReach; dx <= kReach; ++dx) {
      const auto i = static_cast<std::size_t>(x + kReach + dx);
      twice += (7 - 2 * std::abs(dx)) * columns[i] + weightedColumns[i];
    }
    std::uint8_t& red = out[3 * x + 2];
    if (twice <= darkLimit && red == 255) {
      red = 0;
      ++changes;
    } else if (twice >= lightLimit && red == 0) {
      red = 255;
      ++changes;
    }
  }
  return changes;
}

// Every pixel becomes grey with the level of its red channel.
void RedToGrey(Bitmap& image) {
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* p = image.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x, p += 3) p[0] = p[1] = p[2];
  }
}

// One pass; returns the number of changes, or -1 when stopped.
int CleanPass(Bitmap& image, int pass, int simplification, RunContext& ctx) {
  const RedPlane plane(image);
  const int height = image.Height();
  std::atomic<int> changes{0};
  for (int block = 0; block < height; block += kCheckpointBlock) {
    const int blockEnd = std::min(block + kCheckpointBlock, height);
    ForEachRowBand(block, blockEnd, 8, [&](int begin, int end) {
      std::vector<int> columns(static_cast<std::size_t>(plane.stride));
      std::vector<int> weightedColumns(static_cast<std::size_t>(plane.stride));
      int local = 0;
      for (int y = begin; y < end; ++y) local += CleanRow(plane, image, y, simplification, columns, weightedColumns);
      changes += local;
    });
    for (int y = block; y < blockEnd; ++y) {
      if (y % 50 == 0 && ctx.processing) {
        ctx.ShowProgress(y + pass * height, 10 * height, 2, 2);
        ctx.ProcessEvents();
      }
      if (ctx.StopRequested()) return -1;
    }
  }
  return changes.load();
}

}  // namespace

void InkCleanup(Bitmap& image, RunContext& ctx) {
  const int simplification = ctx.S(3);
  if (simplification == 0 || ctx.StopRequested()) {
    ctx.ShowProgress(101, 100, 2, 2);
    return;
  }
  if (!ctx.preview) ctx.ShowProgress(0, std::max(10 * image.Height(), 1), 2, 2);
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    const int changes = CleanPass(image, pass, simplification, ctx);
    if (changes <= kSettledChanges) break;  // also when stopped (-1)
  }
  // Also after a stop: the passes change only red, and the drawing must stay black and white.
  RedToGrey(image);
  ctx.ShowProgress(101, 100, 2, 2);
}

}  // namespace brumeleaf
