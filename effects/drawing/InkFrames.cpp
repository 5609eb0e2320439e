#include "effects/drawing/InkFrames.h"

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/drawing/EdgeSketch.h"
#include "effects/drawing/Halftone.h"
#include "effects/drawing/PenAndInk.h"
#include "finishing/SurfaceFinish.h"

namespace brumeleaf {

// The edge-stroke sketches soften and texture inside their routines: no surface stage.
void FrameSobelFilter(const Bitmap& S, Bitmap& R, RunContext& ctx) { DrawSobelSketch(S, R, ctx); }

void FrameColourSobel(const Bitmap& S, Bitmap& R, RunContext& ctx) { DrawColourSobelSketch(S, R, ctx); }

// The pen drawing also softens and textures itself; its output is copied as it stands.
void FramePenandInkSketch(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  Bitmap drawing;
  {
    Bitmap scratch = S;
    DrawPenAndInk(scratch, drawing, ctx);
  }
  R = std::move(drawing);
}

void PatchPenAndInk2(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  output = source;
  DrawInkSketch(output, ctx);
}

void FramePenandInkSketch2(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  Bitmap drawing = S;
  DrawInkSketch(drawing, ctx);
  ApplySurfaceFinish(drawing, R, ctx);
}

// Like the other rotating drawing, a failure puts the source back into the result and ends
// the progress display before the error goes on.
void FrameHalfToneLines(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  // R is written whole at the end (and made the source again by a failure), so it holds no
  // copy of the source meanwhile: at 12 megapixels that copy is 36 MB of the peak.
  RunGuarded(S, R, ctx, [&] {
    HalftoneSequence(S, R, ctx, true);
    ApplySurfaceFinish(R, R, ctx);
  });
}

void PreviewHalfToneLines(const Bitmap& crop, Bitmap& out, RunContext& ctx) {
  Bitmap lines;
  HalftoneSequence(crop, lines, ctx, false);
  ApplySurfaceFinish(lines, out, ctx);
}

}  // namespace brumeleaf
