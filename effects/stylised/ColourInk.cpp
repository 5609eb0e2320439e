#include "effects/stylised/ColourInk.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "finishing/PaperTexture.h"
#include "finishing/SurfaceFinish.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

constexpr int kHlsTop = 240;  // the lightness scale ends at 240, not 255

// The paper texture as the surface stage prints it, when the options ask for one.
void PrintChosenTexture(Bitmap& image, const RunContext& ctx) {
  const ParameterSnapshot& options = ctx.Params();
  if (!options.texture) return;
  TextureOffset(options.textureStrength);  // refuses a bad strength before anything changes
  const Bitmap& tile = PaperTextureTile(options.textureNumber);
  PrintTexture(image, tile, options.textureStrength, tile.Width() - 1, tile.Height() - 1);
}

// One smoothing pass: pixels whose colour lies close to the mean of the 14 others of their
// 5 x 3 window (5 wide, 3 high) take that mean; the others take the reference, keeping detail.
void SmoothPass(const Bitmap& a, const Bitmap& reference, Bitmap& d, int keepAbove) {
  const int w = a.Width(), h = a.Height();
  ForEachRowBand(2, h - 1, 16, [&](int begin, int end) {
    std::vector<int> column(static_cast<std::size_t>(3) * w);
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* up = a.ScanLine(y - 1);
      const std::uint8_t* row = a.ScanLine(y);
      const std::uint8_t* down = a.ScanLine(y + 1);
      for (int i = 0; i < 3 * w; ++i) column[static_cast<std::size_t>(i)] = up[i] + row[i] + down[i];
      const std::uint8_t* r = reference.ScanLine(y);
      std::uint8_t* out = d.ScanLine(y);
      for (int x = 2; x + 2 < w; ++x) {
        int mean[3], dev = 0;
        for (int c = 0; c < 3; ++c) {
          const int i = 3 * x + c;
          const int sum = column[i - 6] + column[i - 3] + column[i] + column[i + 3] + column[i + 6] - row[i];
          mean[c] = sum / 14;
          dev = std::max(dev, std::abs(mean[c] - row[i]));
        }
        std::uint8_t* q = out + 3 * x;
        if (dev > keepAbove) {
          std::copy_n(r + 3 * x, 3, q);
        } else {
          for (int c = 0; c < 3; ++c) q[c] = static_cast<std::uint8_t>(mean[c]);
        }
      }
    }
  });
}

// Flat areas are lightened (or darkened) by the slider; edges take the softened reference a
// little darker.
void LightenFlatAreas(const Bitmap& a, Bitmap& d, const ColourInkSettings& st) {
  const int w = a.Width(), h = a.Height();
  const int limit = 255 - st.edgeIntensity, shift = st.darkenLighten - 127;
  ForEachRowBand(1, h, 16, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* above = a.ScanLine(y - 1);
      const std::uint8_t* row = a.ScanLine(y);
      std::uint8_t* out = d.ScanLine(y);
      for (int x = 1; x < w; ++x) {
        const int i = 3 * x;
        int gx = 0, gy = 0;
        for (int c = 0; c < 3; ++c) {
          gx += std::abs(row[i - 3 + c] - row[i + c]);
          gy += std::abs(row[i + c] - above[i + c]);
        }
        if (gx < limit && gy < limit) {
          for (int c = 0; c < 3; ++c) out[i + c] = ClampLevel(out[i + c] + shift);
        } else {
          for (int c = 0; c < 3; ++c) out[i + c] = static_cast<std::uint8_t>(row[i + c] * 98 / 100);
        }
      }
    }
  });
}

// The ink: the 5 x 5 kernel (-1 everywhere, 30 at the centre, -5 two rows below it, summing to
// 2) is 31 c - 4 (the pixel two rows down) - (the 5 x 5 sum). Where the mean response of the
// three channels falls below T2 - 64 the pixel is inked black; elsewhere its lightness is
// raised, the more so the less saturated it is.
void InkAndLighten(const Bitmap& s, Bitmap& d, int inkBelow) {
  const int w = s.Width(), h = s.Height();
  ForEachRowBand(2, h - 2, 16, [&](int begin, int end) {
    std::vector<int> column(static_cast<std::size_t>(3) * w);
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* rows[5];
      for (int dy = -2; dy <= 2; ++dy) rows[dy + 2] = s.ScanLine(y + dy);
      for (int i = 0; i < 3 * w; ++i)
        column[static_cast<std::size_t>(i)] = rows[0][i] + rows[1][i] + rows[2][i] + rows[3][i] + rows[4][i];
      const std::uint8_t* row = s.ScanLine(y);
      const std::uint8_t* below2 = s.ScanLine(y + 2);
      std::uint8_t* out = d.ScanLine(y);
      for (int x = 2; x + 2 < w; ++x) {
        int response = 0;
        for (int c = 0; c < 3; ++c) {
          const int i = 3 * x + c;
          const int box = column[i - 6] + column[i - 3] + column[i] + column[i + 3] + column[i + 6];
          response += 31 * row[i] - 4 * below2[i] - box;
        }
        std::uint8_t* q = out + 3 * x;
        if (response / 3 < inkBelow) {
          q[0] = q[1] = q[2] = 0;
          continue;
        }
        const Hls hls = ColorRGBToHLS(MakeColour(q[2], q[1], q[0]));
        // Lightness lives on 0..240: the limit is 240 (a limit of 255 would leave the scale).
        const int lightness = std::clamp(hls.luminance - hls.saturation / 10 + 25, 10, kHlsTop);
        const Colour c = ColorHLSToRGB(hls.hue, lightness, hls.saturation);
        q[0] = static_cast<std::uint8_t>(BlueOf(c));
        q[1] = static_cast<std::uint8_t>(GreenOf(c));
        q[2] = static_cast<std::uint8_t>(RedOf(c));
      }
    }
  });
}

}  // namespace

ColourInkSettings ColourInkSettingsFrom(const RunContext& ctx) {
  ColourInkSettings settings;
  settings.blending = ctx.S(1);
  settings.edgeIntensity = ctx.S(2);
  settings.strength = std::max(0, ctx.S(3));
  settings.darkenLighten = ctx.S(4);
  return settings;
}

void FlattenColours(Bitmap& a, Bitmap& d, const ColourInkSettings& st, RunContext& ctx) {
  ctx.Rand().SetSeed(kEffectSeed);
  SoftBlur(a);
  const Bitmap reference = a;
  d = a;
  SoftBlur(a);
  AdjustSaturation(a, 15);
  AdjustSaturation(a, 15);
  EnhanceLocalContrast(a, 100, ctx.mean);
  AdjustBrightness(a, 25);
  for (int pass = 1; pass <= st.strength + 1; ++pass) {
    if (!ctx.preview) ctx.ShowProgress(pass, st.strength, 1, 1);
    if (ctx.StopRequested()) return;
    SmoothPass(a, reference, d, st.blending / 2);
    a = d;
  }
  a = reference;
  SoftBlur(a);
  LightenFlatAreas(a, d, st);
  SoftBlur(d);
  PrintChosenTexture(d, ctx);
}

void ColourInk(Bitmap& source, Bitmap& output, const ColourInkSettings& st, RunContext& ctx) {
  if (&source == &output) throw ImageError("Cartoon 2 cannot draw over its own source picture.");
  ctx.Rand().SetSeed(kEffectSeed);
  SoftBlur(source);
  Bitmap flat = source;
  output = source;
  FlattenColours(flat, output, st, ctx);
  AdjustBrightness(output, st.darkenLighten - 127);
  InkAndLighten(source, output, st.edgeIntensity - 64);
  // Printed a second time over the flattening stage's texture, as this effect always has.
  PrintChosenTexture(output, ctx);
}

void PreviewColourInk(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx) {
  (void)resultCrop;
  Bitmap work = K, drawing;
  ColourInk(work, drawing, ColourInkSettingsFrom(ctx), ctx);
  ApplySurfaceFinish(drawing, O, ctx);
}

void PatchColourInk(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  Bitmap work = source;
  ColourInk(work, output, ColourInkSettingsFrom(ctx), ctx);
}

// Code 18: W1 := S; W2; colour ink (W1, W2); R := copy of W2, without the surface stage (the
// effect textures itself, and soft edges do not apply to it).
void FrameColourInk(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  Bitmap drawing;
  {
    Bitmap work = S;
    ColourInk(work, drawing, ColourInkSettingsFrom(ctx), ctx);
  }
  Deliver(drawing, R, ctx, Delivery::PlainCopy);
}

}  // namespace brumeleaf
