#include "effects/painting/Watercolour.h"

#include <cstdint>
#include <utility>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/EdgeStrokes.h"
#include "effects/painting/ExpressiveStrokes.h"
#include "effects/painting/WatercolourFinish.h"
#include "effects/painting/WatercolourWalk.h"
#include "imaging/Filters.h"

namespace brumeleaf {

namespace {

// The loose strokes and outlines: edge strokes of the source (drawn in `strokes`, whatever it
// holds), turned into brushstrokes on a white layer.
void PaintStrokeLayer(const Bitmap& source, Bitmap& strokes, Bitmap& paint, int edgeIntensity, RunContext& ctx) {
  DrawEdgeStrokes(source, strokes, 15, edgeIntensity / 20 + 180, edgeIntensity / 20 + 15, ctx);
  EnhanceLocalContrast(strokes, 35, ctx.mean);
  ctx.ShowProgress(100, 100, 2, 4);
  ExpressiveStrokes(strokes, paint, {10, 100, 100, 2}, ctx);
  EnhanceLocalContrast(paint, 35, ctx.mean);
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
  // The destination is written whole at the end. Its memory (the frame gives it the source's
  // size) holds the edge strokes meanwhile and comes back for the painting, instead of being
  // given back and taken anew twice (36 MB of fresh pages each at 12 megapixels).
  Bitmap spare = std::move(destination);
  destination = Bitmap();
  Bitmap paint;
  if (s.edgeIntensity > 10) {
    paint.SetSize(source.Width(), source.Height());
    PaintStrokeLayer(source, spare, paint, s.edgeIntensity, ctx);
  }

  // Walkers need an interior pixel to stand on: pictures 1 or 2 pixels wide or high get the
  // finishing steps only.
  const int w = source.Width(), h = source.Height();
  const BrightenAndLift finish((s.darkenLighten - 127) / 3);
  if (w < 3 || h < 3) {
    destination = source;
    finish.Apply(destination);
  } else {
    Walker walker;
    WalkCanvas walk(source);  // the walk's copy stands in for the destination until it is done
    for (int pass = 0; pass <= s.strength; ++pass) {
      if (ctx.preview && s.strength > 0) {
        if (pass < 4) walk.CopyTo(destination);  // from the fourth on, shown at the last pass's end
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
      if (pass >= 3 && ctx.preview) {
        walk.CopyTo(destination);
        ctx.ShowInPreview(destination);
      }
    }
    // The brightness and the saturation lift are taken on the way out of the walk's canvas
    // (even where the destination already shows the walk: the copy costs less than a pass).
    if (destination.Empty()) destination = std::move(spare);
    walk.CopyMappedTo(destination, finish);
  }

  EnhanceLocalContrast(destination, 25, ctx.mean);
  OverlayStrokesAndPaper(destination, s.edgeIntensity > 10 ? &paint : nullptr, s.edgeIntensity, s.paperDepth);
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
