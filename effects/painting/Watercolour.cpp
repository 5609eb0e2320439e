#include "effects/painting/Watercolour.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/EdgeStrokes.h"
#include "effects/painting/ExpressiveStrokes.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "imaging/RandomLeap.h"
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

// The eight neighbours in the order they are weighed: column offset in the outer loop, row
// offset in the inner one.
constexpr int kNeighbourDx[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int kNeighbourDy[8] = {-1, 0, 1, -1, 1, -1, 0, 1};

// The walk's copy of the picture with every four rows interleaved pixel by pixel: pixel
// (x, y) lives at (y div 4) * band + 12 * x + 3 * (y mod 4). A walker steps up or down about as
// often as sideways; in plain rows every step up or down meets a cache line of its own, here
// only every fourth. At camera sizes, far beyond the caches, a pass takes a quarter less time.
class BandedPicture {
 public:
  explicit BandedPicture(const Bitmap& picture)
      : width_(picture.Width()), height_(picture.Height()), band_(12 * static_cast<std::ptrdiff_t>(width_)) {
    Allocate(static_cast<std::size_t>(band_ * ((height_ + 3) / 4)));
    for (int y = 0; y < height_; ++y) {
      const std::uint8_t* from = picture.ScanLine(y);
      std::uint8_t* to = At(0, y);
      for (int x = 0; x < width_; ++x, from += 3, to += 12) to[0] = from[0], to[1] = from[1], to[2] = from[2];
    }
  }
  // Gives `picture` the walk's size and pixels.
  void CopyTo(Bitmap& picture) const {
    picture.SetSize(width_, height_);
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* to = picture.ScanLine(y);
      const std::uint8_t* from = bytes_.get() + Offset(0, y);
      for (int x = 0; x < width_; ++x, from += 12, to += 3) to[0] = from[0], to[1] = from[1], to[2] = from[2];
    }
  }
  std::ptrdiff_t Offset(int x, int y) const { return (y >> 2) * band_ + 12 * x + 3 * (y & 3); }
  std::uint8_t* At(int x, int y) { return bytes_.get() + Offset(x, y); }
  std::uint8_t* Data() { return bytes_.get(); }
  std::ptrdiff_t Band() const { return band_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_, height_;
  std::ptrdiff_t band_;
  struct Free {
    void operator()(std::uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<std::uint8_t[], Free> bytes_;

  // Walkers jump anywhere and climb from row to row, so a camera-size picture would need far
  // more page-table entries than the processor keeps; 2 MB pages, where the system offers them
  // on request, take that cost away.
  void Allocate(std::size_t size) {
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
    void* p = std::aligned_alloc(kLargePage, rounded);
    if (!p) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(p, rounded, MADV_HUGEPAGE);
#endif
    bytes_.reset(static_cast<std::uint8_t*>(p));
  }
};

// One pass of W * H + 1 walker steps. Returns false when stopped.
//
// The draws of a step are taken from the seed at its start by leaps (imaging/RandomLeap.h), in
// the order the generator would give them: two for a jump, then one per neighbour. A move that
// lands off the interior jumps with the same two draws a planned jump would take, so the jump
// place is worked out before knowing whether it is needed.
bool WalkPass(BandedPicture& d, Walker& walker, int blending, int strength, RunContext& ctx) {
  const int w = d.Width(), h = d.Height();
  std::uint8_t* const base = d.Data();
  const std::ptrdiff_t band = d.Band();
  const std::uint32_t spanX = static_cast<std::uint32_t>(w - 2), spanY = static_cast<std::uint32_t>(h - 2);
  const std::int64_t steps = static_cast<std::int64_t>(w) * h;
  const std::int64_t liftEvery = strength / 2 + 210 - blending / 2;
  const int smearAbove = blending / 5 + 5;
  static constexpr std::array<RandomLeap, 11> kLeap = LeapTable<11>();
  // Where the neighbours lie from the centre, by the centre's row mod 4 (a row up or down
  // stays in the band but at the band's ends), indexed by neighbour plus one: 0 (none found)
  // is the centre itself.
  std::ptrdiff_t offsets[4][9];
  for (int phase = 0; phase < 4; ++phase) {
    offsets[phase][0] = 0;
    for (int k = 0; k < 8; ++k) {
      const int dy = kNeighbourDy[k];
      std::ptrdiff_t row = 3 * dy;
      if (dy < 0 && phase == 0) row = -band + 9;
      if (dy > 0 && phase == 3) row = band - 9;
      offsets[phase][k + 1] = row + 12 * kNeighbourDx[k];
    }
  }
  // Indexed by the chosen neighbour plus one; 0 (none) holds the -100 marker and the last dy.
  int choiceDx[9] = {-100}, choiceDy[9] = {0};
  for (int k = 0; k < 8; ++k) {
    choiceDx[k + 1] = kNeighbourDx[k];
    choiceDy[k + 1] = kNeighbourDy[k];
  }

  Random& random = ctx.Rand();
  std::uint32_t seed = random.Seed();
  int x = walker.x, y = walker.y, dx = -100, dy = walker.dy, best = walker.best;
  std::int64_t untilLift = 0;  // j mod liftEvery, counted down instead of divided
  bool stopped = false;
  for (std::int64_t j = 0; j <= steps; ++j, --untilLift) {
    // Position: a move while the last difference was small but not tiny, else a jump (rare
    // on a photograph, so a branch that is nearly always right).
    const int moveX = x + dx, moveY = y + dy;
    const bool inside = static_cast<std::uint32_t>(moveX - 1) < spanX && static_cast<std::uint32_t>(moveY - 1) < spanY;
    if (best < blending && best > 3 && inside) {
      x = moveX, y = moveY;
    } else {
      const std::uint32_t jumpSeedX = kLeap[1].SeedAfter(seed), jumpSeedY = kLeap[2].SeedAfter(seed);
      x = static_cast<int>(DrawOf(jumpSeedX, spanX)) + 1;
      y = static_cast<int>(DrawOf(jumpSeedY, spanY)) + 1;
      seed = jumpSeedY;
    }

    std::uint8_t* const centre = base + d.Offset(x, y);
    const std::ptrdiff_t* const offset = offsets[y & 3];
    const int c0 = centre[0], c1 = centre[1], c2 = centre[2];
    int q[3] = {c0, c1, c2};
    if (untilLift == 0) {
      untilLift = liftEvery;
      Hls hls = ColorRGBToHLS(MakeColour(q[2], q[1], q[0]));
      const Colour lifted = ColorHLSToRGB(hls.hue, hls.luminance, std::min(240, hls.saturation * 102 / 100));
      q[0] = BlueOf(lifted), q[1] = GreenOf(lifted), q[2] = RedOf(lifted);
    }

    // Neighbour search: one Random(3) per neighbour; "best - r >= diff and diff > 3" is
    // "key <= best" with key = diff + r, or a key above any best for differences of 3 or less.
    // The keys do not depend on each other; only the comparison runs in turn, as conditional
    // moves: which neighbour wins is as good as random, so a branch would mostly mispredict.
    int key[8], diff[8];
    for (int k = 0; k < 8; ++k) {
      const std::uint8_t* n = centre + offset[k + 1];
      diff[k] = std::abs(n[0] - c0) + std::abs(n[1] - c1) + std::abs(n[2] - c2);
      const int r = static_cast<int>(DrawOf(kLeap[static_cast<std::size_t>(k + 1)].SeedAfter(seed), 3));
      key[k] = diff[k] + r + (((diff[k] - 4) >> 31) & 1000);  // diff <= 3: out of reach
    }
    seed = kLeap[8].SeedAfter(seed);
    best = 500;
    int pick = 0;  // neighbour + 1; 0: none
    for (int k = 0; k < 8; ++k) {
      const bool better = key[k] <= best;
      best = better ? diff[k] : best;
      pick = better ? k + 1 : pick;
    }
    choiceDy[0] = dy;  // none: dy keeps the last choice
    const std::size_t choice = static_cast<std::size_t>(pick);
    dx = choiceDx[choice];
    dy = choiceDy[choice];
    const std::ptrdiff_t chosen = offset[choice];

    // Smear (a found neighbour always lies within blending + 15, which is below 500). Without
    // a smear the writes below put back what is there: `n` is then the centre itself.
    // Masks instead of branches again: whether a step smears, and how, varies at random.
    const int smear = -static_cast<int>(best <= blending + 15);
    const int mix = smear & -static_cast<int>(best > smearAbove);
    std::uint8_t* n = centre + chosen;
    const int lift = (j & 7) >= 5 ? 1 : 0;  // (j mod 8) div 5
    const int n0 = n[0], n1 = n[1], n2 = n[2];
    const int m0 = q[0] + ((std::min(255, (q[0] + n0) / 2 + lift) - q[0]) & mix);
    const int m1 = q[1] + ((std::min(255, (q[1] + n1) / 2 + lift) - q[1]) & mix);
    const int m2 = q[2] + ((std::min(255, (q[2] + n2) / 2 + lift) - q[2]) & mix);
    centre[0] = static_cast<std::uint8_t>(c0 + ((m0 - c0) & mix));
    centre[1] = static_cast<std::uint8_t>(c1 + ((m1 - c1) & mix));
    centre[2] = static_cast<std::uint8_t>(c2 + ((m2 - c2) & mix));
    n[0] = static_cast<std::uint8_t>(n0 + ((m0 - n0) & smear));
    n[1] = static_cast<std::uint8_t>(n1 + ((m1 - n1) & smear));
    n[2] = static_cast<std::uint8_t>(n2 + ((m2 - n2) & smear));
    if (ctx.StopRequested()) {
      stopped = true;
      break;
    }
    // A walker that moves goes up or down a row at almost every step, and each new row is a
    // cache line of its own: fetch the rows two and three away on either side now.
    __builtin_prefetch(n - band - 12);
    __builtin_prefetch(n - band + 23);
    __builtin_prefetch(n + band - 12);
    __builtin_prefetch(n + band + 23);
    // The places of jumps are not fetched ahead: on a photograph a walker jumps about once in
    // 250 steps, and working out where the next jumps might land cost more than their misses.
  }
  random.SetSeed(seed);
  walker.x = x, walker.y = y, walker.dx = dx, walker.dy = dy, walker.best = best;
  return !stopped;
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
  destination = source;

  // Walkers need an interior pixel to stand on: pictures 1 or 2 pixels wide or high get the
  // finishing steps only.
  const int w = destination.Width(), h = destination.Height();
  if (w >= 3 && h >= 3) {
    Walker walker;
    BandedPicture banded(destination);
    destination = Bitmap();  // the walk's copy stands in for it: no third picture in memory
    for (int pass = 0; pass <= s.strength; ++pass) {
      if (ctx.preview && s.strength > 0) {
        banded.CopyTo(destination);
        ctx.ShowInPreview(destination);
        ctx.PreviewProgressLine((200 / s.strength) * pass);
      } else {
        if (ctx.ShowsDrawing()) banded.CopyTo(destination);
        ctx.ShowProgress((s.strength + pass) / 2, s.strength, 4, 4);
      }
      if (!WalkPass(banded, walker, s.blending, s.strength, ctx)) {
        banded.CopyTo(destination);
        ctx.ShowProgress(101, 100, 4, 4);
        return;
      }
      if (pass >= 3 && ctx.preview) {
        banded.CopyTo(destination);
        ctx.ShowInPreview(destination);
      }
    }
    banded.CopyTo(destination);
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
