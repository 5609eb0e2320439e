#include "effects/painting/Watercolour.h"

#include <cstdint>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/EdgeStrokes.h"
#include "effects/painting/ExpressiveStrokes.h"
#include "effects/painting/WatercolourWalk.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintingTextures.h"

namespace brumeleaf {

namespace {

// The loose strokes and outlines: edge strokes of the source, turned into brushstrokes on a
// white layer.
void PaintStrokeLayer(const Bitmap& source, Bitmap& paint, int edgeIntensity, RunContext& ctx) {
  Bitmap strokes(source.Width(), source.Height());
  DrawEdgeStrokes(source, strokes, 15, edgeIntensity / 20 + 180, edgeIntensity / 20 + 15, ctx);
  EnhanceLocalContrast(strokes, 35, ctx.mean);
  ctx.ShowProgress(100, 100, 2, 4);
  ExpressiveStrokes(strokes, paint, {10, 100, 100, 2}, ctx);
  EnhanceLocalContrast(paint, 35, ctx.mean);
}

// c + (c - mean) * 12 / 100 per channel, the mean being (R + G + B) div 3.
void LiftSaturation(Bitmap& image) {
  ForEachRowBand(0, image.Height(), 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      std::uint8_t* p = image.ScanLine(y);
      for (int x = 0; x < image.Width(); ++x, p += 3) {
        const int avg = (p[0] + p[1] + p[2]) / 3;
        for (int c = 0; c < 3; ++c) p[c] = ClampLevel(p[c] + ((p[c] - avg) * 12) / 100);
      }
    }
  });
}

// Multiplies the stroke layer into the painting with the edge intensity as weight; pixels the
// layer leaves white in red (254 and up) stay as they are.
void OverlayStrokes(Bitmap& image, const Bitmap& paint, int intensity) {
  ForEachRowBand(0, image.Height(), 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      std::uint8_t* d = image.ScanLine(y);
      const std::uint8_t* p = paint.ScanLine(y);
      for (int x = 0; x < image.Width(); ++x) {
        if (p[3 * x + 2] >= 254) continue;
        for (int c = 0; c < 3; ++c) {
          const int level = d[3 * x + c];
          const int multiplied = level * p[3 * x + c] / 255;
          d[3 * x + c] = static_cast<std::uint8_t>((level * (255 - intensity) + multiplied * intensity) / 255);
        }
      }
    }
  });
}

// The paper: every pixel moves by the map's departure from its mean, scaled by the depth.
void PrintPaper(Bitmap& image, int depth) {
  const TextureMap& map = WatercolourTextureMap();
  ForEachRowBand(0, image.Height(), 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      std::uint8_t* d = image.ScanLine(y);
      const int ty = y % 767;
      for (int x = 0; x < image.Width(); ++x) {
        const int shift = ((map.mean - map.At(x % 1023, ty)) * depth) / 255;
        for (int c = 0; c < 3; ++c) d[3 * x + c] = ClampLevel(d[3 * x + c] + shift);
      }
    }
  });
}

}  // namespace

WatercolourSettings WatercolourSettingsFrom(const RunContext& ctx) {
  return WatercolourSettings{ctx.S(1), ctx.S(2), ctx.S(3), ctx.S(4), ctx.S(5)};
}

void WatercolourPainting(const Bitmap& source, Bitmap& destination, const WatercolourSettings& s,
                         RunContext& ctx) {
  if (&source == &destination) throw ImageError("The watercolour cannot paint over its own source picture.");
  if (source.Empty()) throw ImageError("There is no picture to paint.");
  ctx.ShowProgress(0, 100, 1, 4);
  // The destination only ever receives a copy of the source: its memory is given back while
  // the stroke layer, the costliest step in memory, is drawn.
  destination = Bitmap();
  Bitmap paint;
  if (s.edgeIntensity > 10) {
    paint.SetSize(source.Width(), source.Height());
    PaintStrokeLayer(source, paint, s.edgeIntensity, ctx);
  }

  // Walkers need an interior pixel to stand on: pictures 1 or 2 pixels wide or high get the
  // finishing steps only.
  const int w = source.Width(), h = source.Height();
  if (w < 3 || h < 3) {
    destination = source;
  } else {
    Walker walker;
    WalkCanvas walk(source);  // the walk's copy stands in for the destination until it is done
    bool current = false;  // the destination holds the walk as it is (shown at a pass's end)
    for (int pass = 0; pass <= s.strength; ++pass) {
      if (ctx.preview && s.strength > 0) {
        if (!current) walk.CopyTo(destination);
        ctx.ShowInPreview(destination);
        ctx.PreviewProgressLine((200 / s.strength) * pass);
      } else {
        if (ctx.ShowsDrawing()) walk.CopyTo(destination);
        ctx.ShowProgress((s.strength + pass) / 2, s.strength, 4, 4);
      }
      if (!WalkPass(walk, walker, s.blending, s.strength, ctx)) {
        walk.CopyTo(destination);
        ctx.ShowProgress(101, 100, 4, 4);
        return;
      }
      current = false;
      if (pass >= 3 && ctx.preview) {
        walk.CopyTo(destination);
        ctx.ShowInPreview(destination);
        current = true;
      }
    }
    if (!current) walk.CopyTo(destination);
  }

  AdjustBrightness(destination, (s.darkenLighten - 127) / 3);
  LiftSaturation(destination);
  EnhanceLocalContrast(destination, 25, ctx.mean);
  if (s.edgeIntensity > 10) OverlayStrokes(destination, paint, s.edgeIntensity);
  PrintPaper(destination, s.paperDepth);
  ctx.ShowProgress(101, 100, 4, 4);
}

void PatchWatercolour(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  WatercolourPainting(source, output, WatercolourSettingsFrom(ctx), ctx);
}

// Code 4: the painting of a copy of the source goes through the surface stage.
void FramePainting(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  RunOnSourceAndSecond(S, R, ctx, WorkingPair{}, [&](const Bitmap& w1, Bitmap& w2) { PatchWatercolour(w1, w2, ctx); });
}

}  // namespace brumeleaf
