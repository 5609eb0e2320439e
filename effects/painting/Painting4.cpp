#include "effects/painting/Painting4.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/PaddedCopy.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/MedianFilter.h"
#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

constexpr int kContrastMargin = 9;
constexpr int kContrastWindow = 9;

}  // namespace

Painting4Settings Painting4SettingsFrom(const RunContext& ctx) {
  Painting4Settings settings;
  settings.iterations = ctx.S(1);
  settings.contrast = ctx.S(2);
  settings.colour = ctx.S(3);
  settings.brightness = ctx.S(4);
  return settings;
}

void SelectiveContrast(Bitmap& image, int a, const SourceMean& mean) {
  if (image.Empty()) return;
  const Bitmap padded = PaddedCopy(image, kContrastMargin);
  const auto rows = padded.RowTable();
  const int width = image.Width();
  // Half the source mean of each channel, in byte order (blue, green, red).
  const std::int64_t limit[3] = {mean.blue / 2, mean.green / 2, mean.red / 2};
  ForEachRowBand(0, image.Height(), 16, [&](int first, int last) {
    std::vector<std::int32_t> columnSums(static_cast<std::size_t>(padded.Width()) * 3);
    for (int y = first; y < last; ++y) {
      // The window centred on (x, y) covers padded rows y + 5 .. y + 13 and columns x + 5 .. x + 13.
      const int top = y + kContrastMargin - kContrastWindow / 2;
      std::fill(columnSums.begin(), columnSums.end(), 0);
      for (int j = top; j < top + kContrastWindow; ++j) {
        const std::uint8_t* row = rows[static_cast<std::size_t>(j)];
        for (std::size_t i = 0; i < columnSums.size(); ++i) columnSums[i] += row[i];
      }
      const std::uint8_t* centreRow = rows[static_cast<std::size_t>(y + kContrastMargin)];
      std::uint8_t* out = image.ScanLine(y);
      const int left0 = kContrastMargin - kContrastWindow / 2;
      std::int32_t sums[3] = {0, 0, 0};
      for (int i = left0; i < left0 + kContrastWindow; ++i)
        for (int ch = 0; ch < 3; ++ch) sums[ch] += columnSums[static_cast<std::size_t>(3 * i + ch)];
      for (int x = 0; x < width; ++x) {
        if (x > 0) {
          const int leaving = left0 + x - 1;
          const int entering = left0 + x + kContrastWindow - 1;
          for (int ch = 0; ch < 3; ++ch)
            sums[ch] += columnSums[static_cast<std::size_t>(3 * entering + ch)] -
                        columnSums[static_cast<std::size_t>(3 * leaving + ch)];
        }
        const std::uint8_t* centre = centreRow + 3 * (x + kContrastMargin);
        int d[3];
        bool close = true;
        for (int ch = 0; ch < 3; ++ch) {
          const int m = (sums[ch] - centre[ch]) / 80;
          d[ch] = centre[ch] - m;
          if (std::abs(d[ch]) > limit[ch]) close = false;
        }
        for (int ch = 0; ch < 3; ++ch) {
          const int change = d[ch] * a / 100;
          out[3 * x + ch] = ClampLevel(close ? centre[ch] - change : centre[ch] + change);
        }
      }
    }
  });
}

void RecursiveMedianPainting(Bitmap& work, const Painting4Settings& settings, RunContext& ctx) {
  AdjustSaturation(work, settings.colour * 2 - 100);
  AdjustBrightness(work, settings.brightness - 127);
  ctx.ShowProgress(0, 100, 1, 1);
  Bitmap filtered;
  for (int i = 1; i <= settings.iterations; ++i) {
    // A stop keeps the last whole round instead of a half-filtered picture.
    if (ctx.StopRequested() || !MedianFilter(work, i == 6 ? 5 : 3, filtered, ctx)) break;
    Sharpen(filtered);
    Sharpen(filtered);
    std::swap(work, filtered);
    ctx.ShowProgress(i, settings.iterations, 1, 1);
  }
  if (settings.contrast > 0) SelectiveContrast(work, settings.contrast, ctx.mean);
}

void PatchPainting4(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  Bitmap work = source;
  RecursiveMedianPainting(work, Painting4SettingsFrom(ctx), ctx);
  output = std::move(work);
}

// Code 7: the rounds work in a copy of the source; the surface stage then writes the result.
void FramePainting4(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  Bitmap work = S;
  RecursiveMedianPainting(work, Painting4SettingsFrom(ctx), ctx);
  Deliver(work, R, ctx, Delivery::SurfaceFinish);
  ctx.ShowProgress(101, 100, 1, 1);
}

}  // namespace brumeleaf
