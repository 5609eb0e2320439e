#include "effects/drawing/PencilSketch5.h"

#include <algorithm>
#include <cstdint>

#include "effects/Frames.h"
#include "imaging/ParallelRows.h"
#include "effects/drawing/PencilSketch5Stages.h"
#include "finishing/PaperTexture.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"

namespace brumeleaf {

namespace {

// Brings the source colours into the dark strokes: where both the source and the drawing are
// dark, the colour intensity decides how much of the drawing is kept.
void ColourPass(const Bitmap& source, Bitmap& drawing, int colourIntensity) {
  ForEachRowBand(0, drawing.Height(), 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* k = source.ScanLine(y);
      std::uint8_t* d = drawing.ScanLine(y);
      for (int i = 0; i < 3 * drawing.Width(); ++i) {
        const int p = k[i];
        const int q = d[i];
        const int m = ((255 - p) * (255 - q)) / 256;
        d[i] = ClampLevel(((255 - m) * colourIntensity + (255 - colourIntensity) * q) / 255);
      }
    }
  });
}

// This effect prints its paper texture itself, stronger than the surface stage and with the
// tile's full period: levels 128, 200 or 400 and weights 10, 15 or 31 tenths.
void PrintPencilTexture(Bitmap& drawing, const Bitmap& tile, int strength) {
  if (tile.Empty()) return;
  static constexpr int kLevels[3] = {128, 200, 400};
  const int level = kLevels[std::clamp(strength, 0, 2)];
  const int weight = (10 * level) / 128;
  for (int y = 1; y < drawing.Height(); ++y) {
    std::uint8_t* d = drawing.ScanLine(y);
    const std::uint8_t* t = tile.ScanLine(y % tile.Height());
    for (int x = 1; x < drawing.Width(); ++x) {
      const std::uint8_t* texel = t + 3 * (x % tile.Width());
      for (int c = 0; c < 3; ++c) d[3 * x + c] = ClampLevel(d[3 * x + c] + level - (texel[c] * weight) / 10);
    }
  }
}

void FinishDrawing(Bitmap& drawing, const PencilSketch5Settings& settings, const Bitmap& texture, RunContext& ctx) {
  const ParameterSnapshot& options = ctx.Params();
  if (settings.colourIntensity > 50) AdjustSaturation(drawing, settings.colourIntensity / 2, &ctx);
  EnhanceDetail(drawing, drawing, 15);
  if (settings.colourIntensity > 50) EqualizeHistogram(drawing, 0.2f);
  if (options.softenEdges) SoftBlur(drawing);
  if (options.texture) PrintPencilTexture(drawing, texture, options.textureStrength);
}

}  // namespace

PencilSketch5Settings PencilSketch5SettingsFrom(const RunContext& ctx) {
  PencilSketch5Settings settings;
  settings.edgeThreshold = ctx.S(1);
  settings.edgeIntensity = ctx.S(2);
  settings.blending = ctx.S(3);
  settings.darkenLighten = ctx.S(4);
  settings.colourIntensity = ctx.S(5);
  return settings;
}

void DrawPencilSketch5(const Bitmap& source, Bitmap& drawing, const PencilSketch5Settings& settings,
                       const Bitmap& texture, RunContext& ctx) {
  if (&source == &drawing) throw ImageError("Pencil sketch 5 cannot draw over its own source picture.");
  const Bitmap k(source);  // every stage reads this copy
  drawing.SetSize(source.Width(), source.Height());
  drawing.Fill(kWhite);
  ctx.ShowProgress(0, std::max(source.Height() - 1, 1), 1, 3);
  RowReporter reporter(ctx, source.Height());

  if (!HatchDarkness(k, drawing, settings.darkenLighten, ctx, reporter)) return;
  if (!DrawEdgePass(k, drawing, settings, EdgePass{5, 12, 2}, reporter)) return;
  BlendPencilTiles(source, drawing, settings, ctx);
  ColourPass(k, drawing, settings.colourIntensity);
  if (!DrawEdgePass(k, drawing, settings, EdgePass{8, 14, 3}, reporter)) return;
  FinishDrawing(drawing, settings, texture, ctx);
  ctx.ShowProgress(101, 100, 3, 3);
}

// Code 24: the effect finishes its own surface, so the drawing goes into the result as it is.
void FramePencilSketch5(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  const ParameterSnapshot& options = ctx.Params();
  const Bitmap noTexture;
  const Bitmap& texture = options.texture ? PaperTextureTile(options.textureNumber) : noTexture;
  Bitmap drawing(S.Width(), S.Height());
  {
    const DrawingShown shown(ctx, &drawing);
    DrawPencilSketch5(S, drawing, PencilSketch5SettingsFrom(ctx), texture, ctx);
  }
  R = std::move(drawing);
}

}  // namespace brumeleaf
