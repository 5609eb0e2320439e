#include "effects/painting/RandomStrokes.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/EdgeStrokes.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintBrushes.h"

namespace brumeleaf {

namespace {

constexpr int kOutside = 250;           // brush levels from here up are not part of the brush
constexpr std::int64_t kBudgetCap = 700000000;
constexpr int kWarmUpBias = 300000;     // the first coat accepts almost every stamp
constexpr int kBrushChange = 500;       // a fresh tile, turned anew, every 500 stamps
constexpr int kPreviewRefresh = 25000;

// One pixel of the current brush that carries paint.
struct BrushPixel {
  int u, v;
  int level;   // 0 full paint .. 249
  bool blend;  // inside the patch's one-pixel rim, where the paint is mixed in
};

// The brush at its current size: the paint-carrying pixels in row order.
struct StrokeBrush {
  int size = 0;
  int version = 0;  // changes with every new brush
  std::vector<BrushPixel> pixels;

  std::vector<int> rowFirst, rowLast;  // per brush row: first and last column with paint

  void Take(const Bitmap& image) {
    ++version;
    size = image.Width();
    pixels.clear();
    rowFirst.assign(static_cast<std::size_t>(image.Height()), size);
    rowLast.assign(static_cast<std::size_t>(image.Height()), -1);
    for (int v = 0; v < image.Height(); ++v) {
      const std::uint8_t* row = image.ScanLine(v);
      for (int u = 0; u < image.Width(); ++u) {
        const int level = row[3 * u + 2];
        if (level >= kOutside) continue;
        pixels.push_back({u, v, level, u > 0 && v > 0 && u < size - 1 && v < size - 1});
        rowFirst[static_cast<std::size_t>(v)] = std::min(rowFirst[static_cast<std::size_t>(v)], u);
        rowLast[static_cast<std::size_t>(v)] = u;
      }
    }
  }
};

Bitmap Stretched(const Bitmap& from, int size) {
  Bitmap out(size, size);
  StretchBilinear(from, out);
  return out;
}

// The brush for the next 500 stamps: the user's brush or a random tile, stretched to the size
// and turned by a random angle about its centre (draws: the tile, then the angle).
void PickBrush(StrokeBrush& brush, int size, const RandomStrokesSettings& s, RunContext& ctx) {
  Bitmap stretched;
  if (s.customBrush && !s.customBrush->Empty()) {
    stretched = Stretched(*s.customBrush, size);
  } else {
    const int t = ctx.Rand().NextInt(38);
    stretched = Stretched(BrushTile(t % kBrushSheetColumns, t / kBrushSheetColumns), size);
  }
  const int angle = ctx.Rand().NextInt(360);
  Bitmap turned;
  // The turn reports progress of its own for the drawing effects' 40-degree turns; here it
  // is a small step of the painting and stays quiet.
  RunContext quiet = ctx;
  quiet.silent = true;
  RotateBitmapAngle(stretched, turned, angle, quiet);
  if (turned.Empty()) {
    brush.Take(stretched);  // the turn failed (the run is being stopped): keep it unturned
    return;
  }
  // A turn by 40 degrees comes back enlarged to its bounding box; the brush is its centre.
  if (turned.Width() != size || turned.Height() != size) CutCentre(turned, size, size);
  brush.Take(turned);
}

int Diff3(const std::uint8_t* a, const std::uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

class Painter {
 public:
  Painter(const Bitmap& source, Bitmap& destination, int tolerance)
      : w_(source.Width()), h_(source.Height()), tolerance_(tolerance), stride_(source.RowDistance()),
        src_(source.RowTable()), dst_(destination.RowTable()) {
    // Both pictures have the same size, hence the same distance between rows.
    if (destination.RowDistance() != stride_) throw ImageError("The painting must have the size of its source.");
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) open_ += Open(x, y) ? 1 : 0;
  }

  // Whether some pixel still differs in red by the tolerance: without one the position search
  // could never end.
  bool AnyOpen() const { return open_ > 0; }

  // Asks for the rows of a stamp of `brush` centred on (x, y) ahead of time.
  void Prefetch(const StrokeBrush& brush, int x, int y) const {
    const int half = brush.size / 2;
    const int left = x - half, top = y - half;
    if (left < 1 || top < 1 || left + brush.size > w_ - 1 || top + brush.size > h_ - 1) return;
    const std::uint8_t* s0 = src_[top] + 3 * left;
    const std::uint8_t* d0 = dst_[top] + 3 * left;
    for (std::size_t v = 0; v < brush.rowFirst.size(); ++v) {
      if (brush.rowLast[v] < brush.rowFirst[v]) continue;
      const std::ptrdiff_t begin = static_cast<std::ptrdiff_t>(v) * stride_ + 3 * brush.rowFirst[v];
      const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(v) * stride_ + 3 * brush.rowLast[v] + 2;
      for (std::ptrdiff_t o = begin; o <= end + 63; o += 64) {
        __builtin_prefetch(s0 + std::min(o, end));
        __builtin_prefetch(d0 + std::min(o, end));
      }
    }
  }
  bool Open(int x, int y) const { return std::abs(src_[y][3 * x + 2] - dst_[y][3 * x + 2]) >= tolerance_; }

  // One stamp of `brush` centred on (x, y); returns whether it was kept.
  bool Stamp(const StrokeBrush& brush, int x, int y, std::int64_t bias, std::int64_t factor) {
    const int half = brush.size / 2;
    const int left = x - half, top = y - half;
    // Most stamps lie wholly inside the picture's one-pixel rim and need no position checks.
    if (left >= 1 && top >= 1 && left + brush.size <= w_ - 1 && top + brush.size <= h_ - 1)
      return StampInside(brush, left, top, bias, factor);
    return StampAt<true>(brush, x, y, left, top, bias, factor);
  }

 private:
  // The same stamp for a brush wholly inside the rim: every brush pixel counts, and pixels are
  // reached by their distance from the brush's corner, the same in source and canvas.
  bool StampInside(const StrokeBrush& brush, int left, int top, std::int64_t bias, std::int64_t factor) {
    if (brush.pixels.empty()) return false;
    if (offsetsVersion_ != brush.version) {
      offsets_.clear();
      for (const BrushPixel& p : brush.pixels) offsets_.push_back(p.v * stride_ + 3 * p.u);
      offsetsVersion_ = brush.version;
    }
    const std::uint8_t* s0 = src_[top] + 3 * left;
    std::uint8_t* d0 = dst_[top] + 3 * left;
    const std::size_t n = brush.pixels.size();
    // A stamp lands on a random spot, far from the last one: ask for all its rows at once
    // rather than waiting for them one after another.
    for (std::size_t v = 0; v < brush.rowFirst.size(); ++v) {
      if (brush.rowLast[v] < brush.rowFirst[v]) continue;
      const std::ptrdiff_t begin = static_cast<std::ptrdiff_t>(v) * stride_ + 3 * brush.rowFirst[v];
      const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(v) * stride_ + 3 * brush.rowLast[v] + 2;
      for (std::ptrdiff_t o = begin; o <= end + 63; o += 64) {
        __builtin_prefetch(s0 + std::min(o, end));
        __builtin_prefetch(d0 + std::min(o, end));
      }
    }
    std::int64_t sum[3] = {0, 0, 0};
    std::int64_t before = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint8_t* s = s0 + offsets_[i];
      const std::uint8_t* d = d0 + offsets_[i];
      sum[0] += s[0], sum[1] += s[1], sum[2] += s[2];
      before += Diff3(s, d);
    }
    const std::int64_t count = static_cast<std::int64_t>(n);
    const int mean[3] = {static_cast<int>(sum[0] / count), static_cast<int>(sum[1] / count),
                         static_cast<int>(sum[2] / count)};
    const std::int64_t limit = (std::max<std::int64_t>(bias + before, 0) >> 10) * factor;
    inside_.clear();
    std::int64_t after = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const BrushPixel& p = brush.pixels[i];
      const std::uint8_t* s = s0 + offsets_[i];
      const std::uint8_t* d = d0 + offsets_[i];
      if (p.blend) {
        const int level = p.level, paint = 255 - level;
        InsidePixel q{offsets_[i], static_cast<std::uint8_t>((d[0] * level + mean[0] * paint) >> 8),
                      static_cast<std::uint8_t>((d[1] * level + mean[1] * paint) >> 8),
                      static_cast<std::uint8_t>((d[2] * level + mean[2] * paint) >> 8)};
        after += std::abs(s[0] - q.b) + std::abs(s[1] - q.g) + std::abs(s[2] - q.r);
        inside_.push_back(q);
      } else {
        after += Diff3(s, d);
      }
      if (after >= limit) return false;
    }
    for (const InsidePixel& q : inside_) {
      const std::uint8_t* s = s0 + q.offset;
      std::uint8_t* d = d0 + q.offset;
      const bool wasOpen = std::abs(s[2] - d[2]) >= tolerance_;
      d[0] = q.b, d[1] = q.g, d[2] = q.r;
      open_ += (std::abs(s[2] - d[2]) >= tolerance_ ? 1 : 0) - (wasOpen ? 1 : 0);
    }
    return true;
  }

  template <bool kClip>
  bool StampAt(const StrokeBrush& brush, int x, int y, int left, int top, std::int64_t bias, std::int64_t factor) {
    // Mean colour under the brush and the error before the stamp, both over the brush pixels
    // that lie inside the picture's one-pixel rim.
    std::int64_t sum[3] = {0, 0, 0};
    std::int64_t count = 0, before = 0;
    for (const BrushPixel& p : brush.pixels) {
      const int sx = left + p.u, sy = top + p.v;
      if (kClip && !Interior(sx, sy)) continue;
      const std::uint8_t* s = src_[sy] + 3 * sx;
      sum[0] += s[0], sum[1] += s[1], sum[2] += s[2];
      ++count;
      before += Diff3(s, dst_[sy] + 3 * sx);
    }
    int mean[3];
    if (count > 0) {
      for (int c = 0; c < 3; ++c) mean[c] = static_cast<int>(sum[c] / count);
    } else {
      // No brush pixel inside the rim (a picture 1 or 2 pixels wide or high): the colour of
      // the spot itself instead of a mean over nothing.
      const std::uint8_t* s = src_[y] + 3 * x;
      for (int c = 0; c < 3; ++c) mean[c] = s[c];
    }
    const std::int64_t limit = (std::max<std::int64_t>(bias + before, 0) >> 10) * factor;
    // The patch: the canvas under the brush with the mean colour mixed in; the error after it
    // stops counting as soon as the stamp cannot be kept.
    patch_.clear();
    std::int64_t after = 0;
    for (const BrushPixel& p : brush.pixels) {
      const int sx = left + p.u, sy = top + p.v;
      if (kClip && (sx < 0 || sy < 0 || sx >= w_ || sy >= h_)) continue;
      const std::uint8_t* d = dst_[sy] + 3 * sx;
      std::uint8_t mixed[3] = {d[0], d[1], d[2]};
      if (p.blend) {
        for (int c = 0; c < 3; ++c)
          mixed[c] = static_cast<std::uint8_t>((d[c] * p.level + mean[c] * (255 - p.level)) >> 8);
        patch_.push_back({sx, sy, mixed[0], mixed[1], mixed[2]});
      }
      if (!kClip || Interior(sx, sy)) {
        after += Diff3(src_[sy] + 3 * sx, mixed);
        if (after >= limit) return false;
      }
    }
    if (after >= limit) return false;
    for (const PatchPixel& q : patch_) {
      const bool wasOpen = Open(q.x, q.y);
      std::uint8_t* d = dst_[q.y] + 3 * q.x;
      d[0] = q.b, d[1] = q.g, d[2] = q.r;
      open_ += (Open(q.x, q.y) ? 1 : 0) - (wasOpen ? 1 : 0);
    }
    return true;
  }

  struct PatchPixel {
    int x, y;
    std::uint8_t b, g, r;
  };
  bool Interior(int x, int y) const { return x >= 1 && y >= 1 && x <= w_ - 2 && y <= h_ - 2; }

  struct InsidePixel {
    std::ptrdiff_t offset;
    std::uint8_t b, g, r;
  };

  int w_, h_, tolerance_;
  std::ptrdiff_t stride_;
  std::vector<const std::uint8_t*> src_;
  std::vector<std::uint8_t*> dst_;
  std::int64_t open_ = 0;
  std::vector<PatchPixel> patch_;
  std::vector<InsidePixel> inside_;
  std::vector<std::ptrdiff_t> offsets_;
  int offsetsVersion_ = -1;
};

// Darkens the painting along the outline layer and where it departs from the photograph.
void OverlayOutlines(const Bitmap& source, Bitmap& painting, const Bitmap& layer, int strength) {
  const int width = painting.Width();
  ForEachRowBand(0, painting.Height() - 1, 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* s = source.ScanLine(y);
      const std::uint8_t* l = layer.ScanLine(y);
      std::uint8_t* d = painting.ScanLine(y);
      for (int x = 0; x < width - 1; ++x) {
        int a[3];
        for (int c = 0; c < 3; ++c) a[c] = (std::abs(d[3 * x + c] - s[3 * x + c]) - 2 * l[3 * x + c] + 510) / 3;
        // Blue counts a third as much as red and green.
        int w = (a[2] + a[1] + a[0] / 3) / 3;
        w = strength * w / 300;
        for (int c = 0; c < 3; ++c) d[3 * x + c] = ClampLevel(d[3 * x + c] - w);
      }
    }
  });
}

}  // namespace

RandomStrokesSettings RandomStrokesSettingsFrom(const RunContext& ctx) {
  const ParameterSnapshot& p = ctx.Params();
  RandomStrokesSettings s;
  s.minimumBrush = ctx.S(1);
  s.maximumBrush = ctx.S(2);
  s.strokes = ctx.S(3);
  s.edgeIntensity = ctx.S(4);
  s.precision = ctx.S(5);
  s.doubleSize = p.doubleRow2;
  s.maxStrokes = p.maxRow3;
  s.customBrush = p.customBrush ? p.customBrushPicture : nullptr;
  s.warmUp = p.code == 15;
  return s;
}

std::int64_t RandomStrokesBudget(int width, int height, const RandomStrokesSettings& settings) {
  const int hi = settings.maximumBrush;
  const int sizeMin = std::min(settings.minimumBrush, hi);
  // 64-bit: W * H div 2 * n passes 2^31 on camera pictures and would turn negative.
  std::int64_t budget = (static_cast<std::int64_t>(width) * height / 2) * settings.strokes;
  budget = budget / ((hi - sizeMin) / 100 + 1) * 4;
  budget = std::min(budget, kBudgetCap);
  if (settings.maxStrokes) budget *= 3;
  return budget;
}

void RandomStrokesPainting(Bitmap& source, Bitmap& destination, const RandomStrokesSettings& settings,
                           RunContext& ctx) {
  if (ctx.preview && ctx.silent) return;
  if (&source == &destination) throw ImageError("Painting 7 cannot paint over its own source picture.");
  if (source.Empty()) throw ImageError("There is no picture to paint.");
  const int width = source.Width(), height = source.Height();
  ctx.ShowProgress(0, 10, 1, 2);
  EnhanceLocalContrast(source, 10, ctx.mean);

  bool warmUp = settings.warmUp;
  ctx.Rand().SetSeed(kEffectSeed);
  const int hi = settings.maximumBrush, q = settings.precision;
  const int sizeMax = settings.doubleSize ? hi * 194 / 100 + 5 : hi + 6;
  const int sizeMin = std::min(settings.minimumBrush, hi);
  const std::int64_t budget = RandomStrokesBudget(width, height, settings);
  const int tolerance = (255 - q) / 10;
  const std::int64_t factor = 2 * q + 514;
  int size = sizeMax;
  std::int64_t perLevel = budget / (static_cast<std::int64_t>(size) * size);

  destination.SetSize(width, height);
  destination.Fill(settings.canvas);
  Bitmap layer(width, height);
  if (!ctx.silent) DrawEdgeStrokes(source, layer, 4, 180, 20, ctx);

  StrokeBrush brush;
  brush.Take(Stretched(BrushTile(0, 0), size));
  Painter painter(source, destination, tolerance);
  std::int64_t j = 1;
  while (size >= sizeMin + 5) {
    if (!warmUp || ctx.Rand().NextInt(100) <= 15) ++j;
    if (ctx.StopRequested()) {
      ctx.ShowProgress(101, 100, 1, 1);
      return;
    }
    // Once the canvas matches the photograph within the tolerance everywhere, no position is
    // left: the level ends instead of searching for ever.
    const bool positioned = painter.AnyOpen();
    int x = 0, y = 0;
    while (positioned) {
      x = ctx.Rand().NextInt(width);
      y = ctx.Rand().NextInt(height);
      if (painter.Open(x, y)) break;
    }
    if (!positioned || j >= perLevel) {
      warmUp = false;
      size = size * 90 / 100;
      perLevel = budget / (static_cast<std::int64_t>(size) * size);
      j = 0;
    }
    if (j % kBrushChange == 0) {
      warmUp = false;
      PickBrush(brush, size, settings, ctx);
      if (!ctx.preview) ctx.ShowProgress(sizeMax - size, sizeMax - sizeMin, 2, 2);
    }
    if (!positioned) continue;
    const std::int64_t bias = warmUp ? kWarmUpBias : static_cast<std::int64_t>(q - 255) * (size / 2);
    {
      // The next stamp most likely goes where a copy of the generator says now: fetch its rows
      // while this one is being computed.
      Random peek = ctx.Rand();
      if (warmUp) peek.Next(100);
      const int nx = peek.NextInt(width), ny = peek.NextInt(height);
      if (painter.Open(nx, ny)) painter.Prefetch(brush, nx, ny);
    }
    painter.Stamp(brush, x, y, bias, factor);
    if (ctx.preview && j % kPreviewRefresh == 0) {
      ctx.ShowInPreview(destination);
      ctx.PreviewProgressLine(200 - (size - sizeMin));
    }
  }
  ctx.ShowProgress(sizeMax, sizeMax, 2, 2);
  if (settings.edgeIntensity != 0) OverlayOutlines(source, destination, layer, settings.edgeIntensity);
}

void PatchRandomStrokes(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  ParameterSnapshot& p = ctx.MutableParams();
  if (p.s[1] < p.s[0]) p.s[0] = p.s[1];
  Bitmap work = source;
  RandomStrokesPainting(work, output, RandomStrokesSettingsFrom(ctx), ctx);
}

// Code 15: a minimum brush above the maximum is pulled down to it first (the window shows the
// corrected value); the painting goes into the result through the surface stage.
void FrameRandomStrokes(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  PatchRandomStrokes(S, R, ctx);
  Deliver(R, R, ctx, Delivery::SurfaceFinish);
}

}  // namespace brumeleaf
