#include "effects/stylised/Abstract.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "finishing/SurfaceFinish.h"
#include "imaging/Canvas.h"
#include "imaging/Colour.h"
#include "imaging/DivideBy.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

// 257 frames of level 255 make 65535: the most a 16-bit sum holds.
constexpr int kMostFrames = 257;
constexpr int kMostShapes = 100;      // plus one: shapes 0..n of a frame
constexpr int kColumnBlock = 64;      // the averaging reports column by column

void Accumulate(const Bitmap& frame, std::vector<std::uint16_t>& sums) {
  const std::size_t rowValues = static_cast<std::size_t>(3) * frame.Width();
  ForEachRowBand(0, frame.Height(), 32, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* m = frame.ScanLine(y);
      std::uint16_t* s = sums.data() + rowValues * static_cast<std::size_t>(y);
      for (std::size_t i = 0; i < rowValues; ++i) s[i] = static_cast<std::uint16_t>(s[i] + m[i]);
    }
  });
}

}  // namespace

AbstractSettings AbstractSettingsFrom(const RunContext& ctx) {
  AbstractSettings settings;
  settings.maximumRadius = ctx.S(1);
  settings.iterations = ctx.S(2);
  settings.colourIntensity = ctx.S(3);
  settings.darkenLighten = ctx.S(4);
  settings.contrast = ctx.S(5);
  return settings;
}

void PaintAbstract(const Bitmap& source, Bitmap& output, const AbstractSettings& st, int b, RunContext& ctx) {
  if (&source == &output) throw ImageError("Abstract cannot paint over its own source picture.");
  b = std::clamp(b, 0, kMostFrames - 1);
  const int w = source.Width(), h = source.Height();
  ctx.Rand().SetSeed(static_cast<std::uint32_t>(st.maximumRadius + b));
  const int panelWidth = ctx.sourcePanelWidth > 0 ? ctx.sourcePanelWidth : w;
  const int z = static_cast<int>(std::floor((st.maximumRadius + 1) * static_cast<double>(panelWidth) / 314.0));

  std::vector<std::uint16_t> sums(static_cast<std::size_t>(3) * w * h, 0);
  ctx.ShowProgress(0, 100, 1, 3);
  const int shapes = std::min((w / 40) * (h / 40), kMostShapes);
  int frames = 0;
  // The frame lives only while the shapes are drawn, and the output is made after it is gone:
  // at 12 megapixels the sums (72 MB) and two pictures are the most ever held.
  {
    Bitmap frame(w, h);
    Canvas canvas(frame);
    for (int i = 0; i <= b; ++i) {
      frame.Fill(kWhite);
      for (int count = 0; count <= shapes; ++count) {
        const int d = ctx.Rand().NextInt(4 * (b - i) + z);
        const int cx = ctx.Rand().NextInt(w);
        const int cy = ctx.Rand().NextInt(h);
        const std::uint8_t* p = source.ScanLine(cy) + 3 * cx;
        canvas.brushColor = canvas.penColor = MakeColour(p[2], p[1], p[0]);
        const Rect bounds{cx - d / 2, cy - d / 2, cx + d / 2, cy + d / 2};
        // Filled and outlined in one colour. The outline of either shape runs along its
        // outermost filled pixels (right and bottom bounds exclusive), so the fill alone
        // paints the same pixels.
        if (count % 4 == 0) {
          canvas.FillRect(bounds);
        } else {
          canvas.Ellipse(bounds, false);
        }
      }
      Accumulate(frame, sums);
      ++frames;
      ctx.ShowProgress(i, b, 1, 3);
      if (ctx.StopRequested()) break;
    }
  }
  output.SetSize(w, h);

  const DivideBy divide(static_cast<std::uint32_t>(frames));
  const int shift = st.darkenLighten - 127;
  for (int x0 = 0; x0 < w; x0 += kColumnBlock) {
    const int x1 = std::min(w, x0 + kColumnBlock);
    for (int y = 0; y < h; ++y) {
      const std::uint16_t* s = sums.data() + static_cast<std::size_t>(3) * (static_cast<std::size_t>(y) * w);
      std::uint8_t* d = output.ScanLine(y);
      for (int i = 3 * x0; i < 3 * x1; ++i) d[i] = ClampLevel(static_cast<int>(divide(s[i])) + shift);
    }
    for (int x = x0; x < x1; ++x) ctx.ShowProgress(x, w, 2, 3);
  }

  ctx.ShowProgress(33, 100, 3, 3);
  EnhanceLocalContrast(output, st.contrast / 2, ctx.mean);
  ctx.ShowProgress(67, 100, 3, 3);
  AdjustSaturation(output, (st.colourIntensity - 50) * 2, &ctx);
  ctx.ShowProgress(101, 100, 3, 3);
}

void PreviewAbstract(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx) {
  (void)resultCrop;
  Bitmap w2;
  const AbstractSettings settings = AbstractSettingsFrom(ctx);
  PaintAbstract(K, w2, settings, settings.iterations, ctx);
  ApplySurfaceFinish(w2, O, ctx);
}

void PatchAbstract(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  const AbstractSettings settings = AbstractSettingsFrom(ctx);
  PaintAbstract(source, output, settings, settings.iterations + 1, ctx);
}

// Code 29: R := copy of S; W1 := copy of S; W2; abstract (W1, W2, s1, s2 + 1, s3, s4, s5);
// surface finish W2 into R.
void FrameAbstract(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  RunOnSourceAndSecond(S, R, ctx, WorkingPair{}, [&](const Bitmap& w1, Bitmap& w2) {
    const AbstractSettings settings = AbstractSettingsFrom(ctx);
    PaintAbstract(w1, w2, settings, settings.iterations + 1, ctx);
  });
}

}  // namespace brumeleaf
