#include "effects/drawing/InkFrames.h"

#include "effects/drawing/EdgeSketch.h"
#include "effects/drawing/Halftone.h"
#include "effects/drawing/PenAndInk.h"
#include "finishing/SurfaceFinish.h"

namespace brumeleaf {

// The edge-stroke sketches soften and texture inside their routines: no surface stage.
void FrameSobelFilter(const Bitmap& source, Bitmap& result, RunContext& ctx) {
  DrawSobelSketch(source, result, ctx);
}

void FrameColourSobel(const Bitmap& source, Bitmap& result, RunContext& ctx) {
  DrawColourSobelSketch(source, result, ctx);
}

// The pen drawing also softens and textures itself; its output is copied as it stands.
void FramePenandInkSketch(const Bitmap& source, Bitmap& result, RunContext& ctx) {
  Bitmap scratch = source;
  Bitmap drawing;
  DrawPenAndInk(scratch, drawing, ctx);
  result = std::move(drawing);
}

void FramePenandInkSketch2(const Bitmap& source, Bitmap& result, RunContext& ctx) {
  Bitmap drawing = source;
  DrawInkSketch(drawing, ctx);
  ApplySurfaceFinish(drawing, result, ctx);
}

void FrameHalfToneLines(const Bitmap& source, Bitmap& result, RunContext& ctx) {
  Bitmap lines;
  HalftoneSequence(source, lines, ctx, true);
  ApplySurfaceFinish(lines, result, ctx);
}

void PreviewHalfToneLines(const Bitmap& crop, Bitmap& out, RunContext& ctx) {
  Bitmap lines;
  HalftoneSequence(crop, lines, ctx, false);
  ApplySurfaceFinish(lines, out, ctx);
}

}  // namespace brumeleaf
