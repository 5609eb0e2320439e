#include "effects/FrameSteps.h"
#include "effects/drawing/Halftone.h"
#include "imaging/Canvas.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"

namespace brumeleaf {

namespace {

constexpr int kPad = 25;

// The source inside a 25-pixel margin filled with copies of the neighbouring strips, so that
// the rotation has picture, not white, to turn into its corners. Each copy reads the padded
// picture as the previous copies left it; rectangles exclude their right and bottom edges,
// and a copy between rectangles of different sizes is stretched.
Bitmap PaddedSource(const Bitmap& source) {
  Bitmap padded(source.Width() + 2 * kPad, source.Height() + 2 * kPad);
  padded.Draw(kPad, kPad, source);
  const int w = padded.Width();
  const int h = padded.Height();
  const Rect copies[4][2] = {
      {{0, 0, kPad, h - 1}, {kPad, 0, 2 * kPad, h - 1}},
      {{0, 0, w - 1, kPad}, {0, kPad, w - 1, 2 * kPad}},
      {{w - kPad, 0, w - 1, h - 1}, {w - 2 * kPad, 0, w - kPad, h - 1}},
      {{0, h - kPad, w - 1, h - 1}, {0, h - 2 * kPad, w - 1, h - kPad}},
  };
  Canvas canvas(padded);
  for (const auto& copy : copies) canvas.CopyRect(copy[0], padded, copy[1]);
  return padded;
}

}  // namespace

void HalftoneSequence(const Bitmap& source, Bitmap& result, RunContext& ctx, bool reportProgress) {
  auto progress = [&](int step, int pass) {
    if (reportProgress) ctx.ShowProgress(step, 100, pass, 3);
  };
  Bitmap work = PaddedSource(source);
  progress(0, 1);
  ctx.ProcessEvents();
  Bitmap rotated;
  const int angle = ctx.S(2);
  RotateBitmapExpand(work, rotated, angle, ctx);
  // The padded picture is dead: freed before the canvas of the lines is made.
  work = Bitmap();
  work.SetSize(rotated.Width(), rotated.Height());
  DrawHalftoneLines(rotated, work, ctx);
  rotated = Bitmap();
  // Only the middle of the turn back is kept: it is all that is made.
  RotateBitmapExpandCentre(work, rotated, -angle, source.Width(), source.Height(), ctx);
  work = Bitmap();
  ctx.ProcessEvents();
  progress(95, 3);
  SoftBlur(rotated);
  progress(97, 3);
  Sharpen(rotated);
  progress(99, 3);
  Sharpen(rotated);
  progress(100, 3);
  result = std::move(rotated);
}

}  // namespace brumeleaf
