#include "effects/stylised/Vivify.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"

namespace brumeleaf {

namespace {

// Progress is reported after every column x with x mod 20 = 0; the pixels are independent, so
// the columns between two reports are walked row by row, which keeps the reads in cache.
constexpr int kReportEvery = 20;

// One block of columns [x0, x1) of rows 0..H-2 (the last row and column are done apart).
void VivifyColumns(const Bitmap& source, Bitmap& output, const VivifySettings& settings, int x0, int x1) {
  const int shift = settings.darkenLighten - 127;
  const int divisor = 256 - std::clamp(settings.edgeIntensity, 0, 255);  // 1..256
  for (int y = 0; y + 1 < source.Height(); ++y) {
    const std::uint8_t* s = source.ScanLine(y);
    const std::uint8_t* below = source.ScanLine(y + 1);
    std::uint8_t* d = output.ScanLine(y);
    for (int x = x0; x < x1; ++x) {
      const std::uint8_t* p = s + 3 * x;
      const std::uint8_t* right = p + 3;
      const std::uint8_t* down = below + 3 * x;
      int g = 0;
      for (int c = 0; c < 3; ++c) g += std::abs(p[c] - right[c]) + std::abs(p[c] - down[c]);
      g /= 4;
      const int e = g * (256 - (p[0] + p[1] + p[2]) / 3) / divisor;
      std::uint8_t* q = d + 3 * x;
      if (e >= settings.edgeThreshold) {
        // The destination still holds its white (255) here.
        const int keep = std::max(0, 255 - e);
        for (int c = 0; c < 3; ++c) q[c] = static_cast<std::uint8_t>(std::min(255, keep * p[c] / 255));
      } else {
        for (int c = 0; c < 3; ++c) q[c] = ClampLevel(p[c] + shift);
      }
    }
  }
}

void ShiftBrightness(const std::uint8_t* s, std::uint8_t* d, int shift) {
  for (int c = 0; c < 3; ++c) d[c] = ClampLevel(s[c] + shift);
}

}  // namespace

VivifySettings VivifySettingsFrom(const RunContext& ctx) {
  VivifySettings settings;
  settings.edgeThreshold = ctx.S(1);
  settings.edgeIntensity = ctx.S(2);
  settings.colourIntensity = ctx.S(3);
  settings.darkenLighten = ctx.S(4);
  settings.contrast = ctx.S(5);
  return settings;
}

void VivifyPhoto(Bitmap& source, Bitmap& output, const VivifySettings& settings, RunContext& ctx) {
  if (&source == &output) throw ImageError("Vivify photo cannot draw over its own source picture.");
  const int w = source.Width(), h = source.Height();
  output.SetSize(w, h);
  ctx.ShowProgress(0, w, 1, 1);
  if (settings.contrast > 1) EnhanceLocalContrast(source, settings.contrast / 2, ctx.mean);

  // Columns 0..W-2 in blocks that end on the reporting columns 0, 20, 40, ...
  for (int x0 = 0; x0 + 1 < w;) {
    const int nextReport = (x0 + kReportEvery - 1) / kReportEvery * kReportEvery;
    const int last = std::min(w - 2, nextReport);
    VivifyColumns(source, output, settings, x0, last + 1);
    if (last % kReportEvery == 0) {
      ctx.ShowProgress(last, w, 1, 1);
      if (ctx.StopRequested()) return;
    }
    x0 = last + 1;
  }

  // The last column and row have no right or lower neighbour: brightness only.
  const int shift = settings.darkenLighten - 127;
  for (int y = 0; y < h; ++y) ShiftBrightness(source.ScanLine(y) + 3 * (w - 1), output.ScanLine(y) + 3 * (w - 1), shift);
  for (int x = 0; x < w; ++x) ShiftBrightness(source.ScanLine(h - 1) + 3 * x, output.ScanLine(h - 1) + 3 * x, shift);

  AdjustSaturation(output, (settings.colourIntensity - 50) * 2, &ctx);
  if (ctx.StopRequested()) return;
  if (settings.colourIntensity > 50) BoostSaturationHLS(output, output);
  ctx.ShowProgress(100, 100, 1, 1);
}

void PatchVivify(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  Bitmap work = source;
  VivifyPhoto(work, output, VivifySettingsFrom(ctx), ctx);
}

// Code 12: R := copy of S; W1 := copy of S; W2; vivify (W1, W2); surface finish W2 into R.
void FrameVivify(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  RunOnWorkingPair(S, R, ctx, WorkingPair{}, [&](Bitmap& w1, Bitmap& w2) {
    VivifyPhoto(w1, w2, VivifySettingsFrom(ctx), ctx);
  });
}

}  // namespace brumeleaf
