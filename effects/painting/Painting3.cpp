#include "effects/painting/Painting3.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "effects/Frames.h"
#include "effects/painting/BlockAveraging.h"
#include "effects/painting/PaddedCopy.h"
#include "finishing/PaperTexture.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

constexpr int kStopBlockRows = 64;  // window rows filtered between two stop checks

// One channel of destination rows first..last-1 of the rank filter; the window of pixel
// (x, y) has its top-left corner at padded (x + shift, y + shift). The window's histogram
// follows it along the row (counts up to 11 x 11 fit a byte) with a cursor at the asked rank:
// `below` counts the window's values under `level`. The value at a rank is one whatever way
// the cursor reaches it, so a channel at a time, with the state in registers and the window
// size a constant, gives the bytes of walking the three channels together.
template <int N>
void RankChannelRows(const std::vector<const std::uint8_t*>& padded, Bitmap& out, int rank, int c, int first,
                     int last) {
  constexpr int shift = N - N / 2;
  const int width = out.Width();
  for (int y = first; y < last; ++y) {
    std::array<std::uint8_t, 256> bins{};
    const std::uint8_t* rows[N];
    for (int j = 0; j < N; ++j) rows[j] = padded[static_cast<std::size_t>(y + shift + j)] + c;
    for (int px = shift; px < shift + N; ++px)
      for (int j = 0; j < N; ++j) ++bins[rows[j][3 * px]];
    int level = 0, below = 0;  // no value lies under level 0
    std::uint8_t* o = out.ScanLine(y) + c;
    for (int x = 0; x < width; ++x) {
      if (x > 0) {
        const int in = 3 * (x + shift + N - 1), away = 3 * (x + shift - 1);
        for (int j = 0; j < N; ++j) {
          const int added = rows[j][in], removed = rows[j][away];
          ++bins[static_cast<std::size_t>(added)];
          --bins[static_cast<std::size_t>(removed)];
          below += static_cast<int>(added < level) - static_cast<int>(removed < level);
        }
      }
      while (below > rank) below -= bins[static_cast<std::size_t>(--level)];
      while (below + bins[static_cast<std::size_t>(level)] <= rank) below += bins[static_cast<std::size_t>(level++)];
      o[3 * x] = static_cast<std::uint8_t>(level);
    }
  }
}

template <int N>
void RankRowsOf(const std::vector<const std::uint8_t*>& padded, Bitmap& out, int rank, int first, int last) {
  for (int c = 0; c < 3; ++c) RankChannelRows<N>(padded, out, rank, c, first, last);
}

// Destination rows first..last-1 of the rank filter with an n x n window, n = 2..11.
void RankRows(const std::vector<const std::uint8_t*>& padded, Bitmap& out, int n, int rank, int first, int last) {
  switch (n) {
    case 2: return RankRowsOf<2>(padded, out, rank, first, last);
    case 3: return RankRowsOf<3>(padded, out, rank, first, last);
    case 4: return RankRowsOf<4>(padded, out, rank, first, last);
    case 5: return RankRowsOf<5>(padded, out, rank, first, last);
    case 6: return RankRowsOf<6>(padded, out, rank, first, last);
    case 7: return RankRowsOf<7>(padded, out, rank, first, last);
    case 8: return RankRowsOf<8>(padded, out, rank, first, last);
    case 9: return RankRowsOf<9>(padded, out, rank, first, last);
    case 10: return RankRowsOf<10>(padded, out, rank, first, last);
    default: return RankRowsOf<11>(padded, out, rank, first, last);
  }
}

}  // namespace

Painting3Settings Painting3SettingsFrom(const RunContext& ctx) {
  Painting3Settings settings;
  settings.blending = ctx.S(1);
  settings.brushSize = ctx.S(2);
  settings.strength = ctx.S(3);
  settings.brightness = ctx.S(4);
  return settings;
}

bool OrderStatisticFilter(const Bitmap& source, Bitmap& destination, int n, int pass, int passes, RunContext& ctx) {
  n = std::clamp(n, 2, 11);
  // The first level whose running count reaches (n n - 1) div 2 is the value at that 0-based rank minus one.
  const int rank = (n * n - 1) / 2 - 1;
  const int height = source.Height();
  Bitmap out(source.Width(), height);
  if (!source.Empty()) {
    const Bitmap paddedCopy = PaddedCopy(source, n);
    const auto padded = paddedCopy.RowTable();
    // Reported against H - n - 1 window rows as the display always has; at least 1, so a
    // picture n + 1 rows high does not divide by zero.
    const int total = std::max(1, height - n - 1);
    for (int block = 0; block < height; block += kStopBlockRows) {
      ctx.ShowProgress(block, total, pass, passes);
      if (ctx.StopRequested()) return false;
      ForEachRowBand(block, std::min(height, block + kStopBlockRows), 8,
                     [&](int first, int last) { RankRows(padded, out, n, rank, first, last); });
    }
  }
  destination = std::move(out);
  return true;
}

bool BilateralStage(Bitmap& source, Bitmap& destination, const Painting3Settings& settings, int pass, int passes,
                    RunContext& ctx) {
  ctx.Rand().SetSeed(kEffectSeed);
  // The destination is not blanked first: a stop in the preparation keeps what it held.
  SoftBlur(source);
  AdjustSaturation(source, 15);
  if (ctx.StopRequested()) return false;
  EnhanceLocalContrast(source, 25, ctx.mean);
  if (ctx.StopRequested()) return false;
  destination = source;

  const bool finished = BlockAveraging(destination, settings.strength + 1, settings.blending, [&](int i) {
    if (!ctx.preview) ctx.ShowProgress(i, settings.strength, pass, passes);
    return !ctx.StopRequested();
  });
  if (!finished) return false;

  const int shift = settings.brightness - 127;
  ForEachRowBand(0, destination.Height(), 64, [&](int first, int last) {
    for (int y = first; y < last; ++y) {
      std::uint8_t* row = destination.ScanLine(y);
      for (int i = 0; i < 3 * destination.Width(); ++i) row[i] = ClampLevel(row[i] + shift);
    }
  });
  const ParameterSnapshot& options = ctx.Params();
  if (options.softenEdges) SoftBlur(destination);
  Sharpen(destination);
  Sharpen(destination);
  Sharpen(destination);
  if (options.texture) {
    const Bitmap& tile = PaperTextureTile(options.textureNumber);
    PrintTexture(destination, tile, options.textureStrength, tile.Width() - 1, tile.Height() - 1);
  }
  return true;
}

namespace {

// W1 and W2 both start as copies of the source; W2 is box-blurred first, which shows only when
// the rank filter is stopped before it writes W2. The preview hands the bilateral stage the
// filtered picture as its destination too (`previewOrder`), so a preview stopped before the
// averaging shows the filtered crop rather than the raw one.
Bitmap RunPainting3(const Bitmap& source, int pass, int passes, bool previewOrder, RunContext& ctx) {
  const Painting3Settings settings = Painting3SettingsFrom(ctx);
  Bitmap w1 = source;
  Bitmap w2 = source;
  BoxBlur3(w2);
  OrderStatisticFilter(w1, w2, settings.brushSize + 1, pass, passes, ctx);
  Sharpen(w2);
  if (previewOrder) w1 = w2;
  BilateralStage(w2, w1, settings, passes, passes, ctx);
  return w1;
}

}  // namespace

void PreviewPainting3(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx) {
  (void)resultCrop;
  O = RunPainting3(K, 1, 1, true, ctx);
}

void PatchPainting3(const Bitmap& source, Bitmap& output, RunContext& ctx) { output = RunPainting3(source, 1, 2, false, ctx); }

// Code 6: the bilateral stage finishes its own surface, so the result is a plain copy.
void FramePainting3(const Bitmap& S, Bitmap& R, RunContext& ctx) { R = RunPainting3(S, 1, 2, false, ctx); }

}  // namespace brumeleaf
