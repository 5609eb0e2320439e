#include "effects/painting/Watercolour.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/EdgeStrokes.h"
#include "effects/painting/ExpressiveStrokes.h"
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

struct Walker {
  int x = 0, y = 0;
  int dx = -100, dy = 0;  // the step chosen last; -100 marks "none"
  int best = 10000;
};

// One pass of W * H + 1 walker steps. Returns false when stopped.
bool WalkPass(Bitmap& d, const std::vector<std::uint8_t*>& rows, Walker& walker, int blending, int strength,
              RunContext& ctx) {
  const int w = d.Width(), h = d.Height();
  const std::int64_t steps = static_cast<std::int64_t>(w) * h;
  const std::int64_t liftEvery = strength / 2 + 210 - blending / 2;
  Random& random = ctx.Rand();
  walker.dx = -100;
  std::int64_t untilLift = 0;  // j mod liftEvery, counted down instead of divided
  for (std::int64_t j = 0; j <= steps; ++j, --untilLift) {
    if (walker.best < blending && walker.best > 3) {
      walker.x += walker.dx;
      walker.y += walker.dy;
    } else {
      walker.x = random.NextInt(w - 2) + 1;
      walker.y = random.NextInt(h - 2) + 1;
    }
    // A step off the interior (including the "none" marker's jump by -100) starts afresh.
    if (walker.x < 1 || walker.x > w - 2 || walker.y < 1 || walker.y > h - 2) {
      walker.x = random.NextInt(w - 2) + 1;
      walker.y = random.NextInt(h - 2) + 1;
    }
    const int x = walker.x, y = walker.y;
    std::uint8_t* centre = rows[static_cast<std::size_t>(y)] + 3 * x;
    int q[3] = {centre[0], centre[1], centre[2]};
    if (untilLift == 0) {
      untilLift = liftEvery;
      Hls hls = ColorRGBToHLS(MakeColour(q[2], q[1], q[0]));
      const Colour lifted = ColorHLSToRGB(hls.hue, hls.luminance, std::min(240, hls.saturation * 102 / 100));
      q[0] = BlueOf(lifted), q[1] = GreenOf(lifted), q[2] = RedOf(lifted);
    }
    walker.best = 500;
    walker.dx = -100;
    for (int l = -1; l <= 1; ++l) {
      for (int m = -1; m <= 1; ++m) {
        if (l == 0 && m == 0) continue;
        const std::uint8_t* n = rows[static_cast<std::size_t>(y + m)] + 3 * (x + l);
        const int diff = std::abs(n[0] - centre[0]) + std::abs(n[1] - centre[1]) + std::abs(n[2] - centre[2]);
        const int r = random.NextInt(3);
        if (walker.best - r >= diff && diff > 3) {
          walker.best = diff;
          walker.dx = l;
          walker.dy = m;
        }
      }
    }
    if (walker.best <= blending + 15) {
      std::uint8_t* n = rows[static_cast<std::size_t>(y + walker.dy)] + 3 * (x + walker.dx);
      if (walker.best > blending / 5 + 5) {
        const int lift = static_cast<int>(j % 8) / 5;
        for (int c = 0; c < 3; ++c) {
          q[c] = std::min(255, (q[c] + n[c]) / 2 + lift);
          centre[c] = static_cast<std::uint8_t>(q[c]);
        }
      }
      for (int c = 0; c < 3; ++c) n[c] = static_cast<std::uint8_t>(q[c]);
    }
    if (ctx.StopRequested()) return false;
    // A walker that stops jumps to the place the next two draws name. Fetch the rows of the
    // places the next two steps may jump to (draws 1-2, or 9-10 after a move, or 11-12 after
    // a jump) while this step is still being finished; a copy of the generator draws nothing.
    Random peek = random;
    for (int draw = 0; draw < 12; draw += 2) {
      const int nx = peek.NextInt(w - 2) + 1, ny = peek.NextInt(h - 2) + 1;
      if (draw == 0 || draw >= 8) {
        for (int r = -1; r <= 1; ++r) __builtin_prefetch(rows[static_cast<std::size_t>(ny + r)] + 3 * nx);
      }
    }
  }
  return true;
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
  Bitmap paint(source.Width(), source.Height());
  if (s.edgeIntensity > 10) PaintStrokeLayer(source, paint, s.edgeIntensity, ctx);
  destination = source;

  // Walkers need an interior pixel to stand on: pictures 1 or 2 pixels wide or high get the
  // finishing steps only.
  const int w = destination.Width(), h = destination.Height();
  if (w >= 3 && h >= 3) {
    const std::vector<std::uint8_t*> rows = destination.RowTable();
    Walker walker;
    for (int pass = 0; pass <= s.strength; ++pass) {
      if (ctx.preview && s.strength > 0) {
        ctx.ShowInPreview(destination);
        ctx.PreviewProgressLine((200 / s.strength) * pass);
      } else {
        ctx.ShowProgress((s.strength + pass) / 2, s.strength, 4, 4);
      }
      if (!WalkPass(destination, rows, walker, s.blending, s.strength, ctx)) {
        ctx.ShowProgress(101, 100, 4, 4);
        return;
      }
      if (pass >= 3 && ctx.preview) ctx.ShowInPreview(destination);
    }
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
  RunOnWorkingPair(S, R, ctx, WorkingPair{}, [&](Bitmap& w1, Bitmap& w2) { PatchWatercolour(w1, w2, ctx); });
}

}  // namespace brumeleaf
