#include "effects/painting/EdgeStrokes.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "imaging/ParallelRows.h"
#include "effects/painting/DarknessBand.h"
#include "effects/painting/StrokeAngleTable.h"
#include "effects/painting/StrokeGeometry.h"
#include "finishing/PaperTexture.h"
#include "imaging/Filters.h"

namespace brumeleaf {

void SoftenAndTextureLayer(Bitmap& layer, const RunContext& ctx) {
  if (ctx.Params().softenEdges) SoftBlur(layer);
  if (ctx.Params().texture) {
    const Bitmap& tile = PaperTextureTile(ctx.Params().textureNumber);
    PrintTexture(layer, tile, ctx.Params().textureStrength, tile.Width() - 1, tile.Height() - 1);
  }
}

namespace {

constexpr int kStopRows = 20;              // the stop is polled every 20 rows
constexpr int kBlockRows = 8 * kStopRows;  // rows drawn between two progress reports

// Strokes started on row y (1..H-2) of the source.
template <class Target>
void StrokesOfRow(const std::vector<int>& up, const std::vector<int>& mid, const std::vector<int>& down,
                  int y, int threshold, int strength, int length, Target& target) {
  const StrokeAngleTable& angles = StrokeAngleTable::Instance();
  // Truncating division: strength above 150 makes this negative, which darkens.
  const int bias = (150 - strength) / 4;
  const int width = static_cast<int>(mid.size());
  for (int x = 1; x <= width - 2; ++x) {
    const Gradient g = SobelAt(up.data(), mid.data(), down.data(), x);
    if (g.mag < threshold || !g.Directional()) continue;
    const int lastCount = ((g.mag >> 2) * length) / 50;
    const int start = ((g.mag >> 1) * length) / 50 - bias;
    LayStroke(target, x, y, angles(g.a, g.b), start, lastCount);
  }
}

struct StrokeSettings {
  int threshold;
  int strength;
  int length;
  bool pollStop;
};

// Draws the strokes centred on rows begin..end-1 into a band that also covers the rows the
// strokes reach. Returns false when a stop was seen on one of the polled rows.
template <class Picture>
bool DrawBand(const Picture& source, int begin, int end, const StrokeSettings& s, const RunContext& ctx,
              DarknessBand& band) {
  GreyRowWindow window(source, begin);
  for (int y = begin; y < end; ++y) {
    const auto [up, mid, down] = window.Advance();
    StrokesOfRow(up, mid, down, y, s.threshold, s.strength, s.length, band);
    if (s.pollStop && y % kStopRows == 0 && ctx.StopRequested()) return false;
  }
  return true;
}

// Rows a stroke can reach from its centre: |dy| <= count <= (255 shr 2) * length div 50.
int StrokeReach(int length) { return length > 0 ? (63 * length) / 50 + 1 : 1; }

template <class Picture>
void DrawEdgeStrokesFrom(const Picture& source, Bitmap& layer, int threshold, int strength, int length,
                         RunContext& ctx) {
  const int width = source.Width();
  const int height = source.Height();
  layer.SetSize(width, height);  // white paper
  const StrokeSettings settings{threshold, strength, length, !ctx.preview};
  const int reach = StrokeReach(length);
  for (int block = 1; block <= height - 2; block += kBlockRows) {
    const int blockEnd = std::min(block + kBlockRows, height - 1);
    std::mutex bandsLock;
    std::vector<DarknessBand> bands;
    bool stopped = false;
    ForEachRowBand(block, blockEnd, kStopRows, [&](int begin, int end) {
      DarknessBand band(width, height, begin - reach, end - begin + 2 * reach);
      const bool complete = DrawBand(source, begin, end, settings, ctx, band);
      const std::lock_guard<std::mutex> hold(bandsLock);
      stopped = stopped || !complete;
      bands.push_back(std::move(band));
    });
    for (const DarknessBand& band : bands) band.ApplyTo(layer);
    for (int y = block; y < blockEnd; ++y) {
      if (!ctx.preview) ctx.ShowProgress(y * 100 / height, 99, 1, 2);
      if (y % kStopRows == 0 && !ctx.preview) {
        ctx.ProcessEvents();
        if (ctx.StopRequested()) return;
      }
    }
    if (stopped) return;
  }
  SoftenAndTextureLayer(layer, ctx);
}

}  // namespace

void DrawEdgeStrokes(const Bitmap& source, Bitmap& layer, int threshold, int strength, int length,
                     RunContext& ctx) {
  if (&source == &layer) {
    const Bitmap copy = source;
    DrawEdgeStrokesFrom(copy, layer, threshold, strength, length, ctx);
    return;
  }
  DrawEdgeStrokesFrom(source, layer, threshold, strength, length, ctx);
}

void DrawEdgeStrokes(const GreyPicture& source, Bitmap& layer, int threshold, int strength, int length,
                     RunContext& ctx) {
  DrawEdgeStrokesFrom(source, layer, threshold, strength, length, ctx);
}

}  // namespace brumeleaf
