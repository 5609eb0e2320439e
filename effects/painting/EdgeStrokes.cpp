#include "effects/painting/EdgeStrokes.h"

#include <algorithm>
#include <vector>

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

// Strokes started on row y (1..H-2) of the source.
void StrokesOfRow(const std::vector<int>& up, const std::vector<int>& mid, const std::vector<int>& down,
                  int y, int threshold, int strength, int length, StrokeTarget& target) {
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

}  // namespace

void DrawEdgeStrokes(const Bitmap& source, Bitmap& layer, int threshold, int strength, int length,
                     RunContext& ctx) {
  if (&source == &layer) {
    const Bitmap copy = source;
    DrawEdgeStrokes(copy, layer, threshold, strength, length, ctx);
    return;
  }
  const int width = source.Width();
  const int height = source.Height();
  layer.SetSize(width, height);  // white paper
  StrokeTarget target(layer);
  std::vector<int> up, mid, down;
  if (height >= 3) {
    WeightedGreyRow(source, 0, mid);
    WeightedGreyRow(source, 1, down);
  }
  for (int y = 1; y <= height - 2; ++y) {
    std::swap(up, mid);
    std::swap(mid, down);
    WeightedGreyRow(source, y + 1, down);
    StrokesOfRow(up, mid, down, y, threshold, strength, length, target);
    if (!ctx.preview) ctx.ShowProgress(y * 100 / height, 99, 1, 2);
    if (y % 20 == 0 && !ctx.preview) {
      ctx.ProcessEvents();
      if (ctx.StopRequested()) return;
    }
  }
  SoftenAndTextureLayer(layer, ctx);
}

}  // namespace brumeleaf
