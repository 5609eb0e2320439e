// The runs around DrawPencilSketch: the full run with the 40-degree rotation and the live
// preview's lighter variant.

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/drawing/PencilSketch1.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"

namespace brumeleaf {

namespace {

// The rotation reports a failure (for example no memory for the enlarged canvas) by leaving
// its destination empty.
void RotateOrFail(const Bitmap& from, Bitmap& to, int angle, RunContext& ctx) {
  RotateBitmapAngle(from, to, angle, ctx);
  if (to.Empty()) throw ImageError(kNotEnoughMemoryMessage);
}

// After a stop the rotation would return before its first row and leave the rotated source
// in the result. The back rotation therefore always runs to the end, so that a stopped run
// shows the part of the drawing that was done.
void RotateBack(const Bitmap& drawing, Bitmap& result, RunContext& ctx) {
  RunContext unstoppable = ctx;
  unstoppable.SetStopFlag(nullptr);
  RotateOrFail(drawing, result, -40, unstoppable);
}

}  // namespace

void FramePencilSketch(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  R = S;
  RunGuarded(S, R, ctx, [&] {
    ctx.ShowProgress(0, 100, 1, 3);
    {
      Bitmap drawing;
      RotateOrFail(S, R, 40, ctx);
      DrawPencilSketch(R, drawing, ctx);
      RotateBack(drawing, R, ctx);
    }
    CutCentre(R, S.Width(), S.Height());
    ctx.ShowProgress(95, 100, 3, 3);
    SoftBlur(R);
    ctx.ShowProgress(100, 100, 3, 3);
  });
}

void PreviewPencilSketch(const Bitmap& crop, Bitmap& output, RunContext& ctx) {
  Bitmap rotated;
  Bitmap drawing = crop;
  RotateBitmapExpand(drawing, rotated, 30, ctx);
  DrawPencilSketch(rotated, drawing, ctx);
  RotateBitmapExpand(drawing, rotated, -30, ctx);
  drawing.Resize(crop.Width(), crop.Height());
  drawing.Draw((crop.Width() - rotated.Width()) / 2, (crop.Height() - rotated.Height()) / 2, rotated);
  output = std::move(drawing);
}

}  // namespace brumeleaf
