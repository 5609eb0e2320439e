#include "effects/painting/Brushstrokes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/painting/BrushStampRow.h"
#include "effects/Frames.h"
#include "imaging/Canvas.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintBrushes.h"

namespace brumeleaf {

namespace {

constexpr int kLevels = 500;  // detail levels 0..500
constexpr int kCell = 40;     // grid of the underpainting

// The brush of the strokes: its alpha never changes, its colour is rewritten for every stroke.
struct WorkingBrush {
  int width = 0, height = 0;
  std::vector<std::uint8_t> alpha;   // per colour byte; 0 where the tip's alpha is 1 or less
  std::vector<std::uint8_t> colour;  // blue, green, red per pixel
  std::vector<int> first, last;      // per row: the first and last column that carries paint
  std::vector<std::uint8_t> lifted;  // scratch row of ColourFlat

  void Load(const AlphaTip& tip) {
    width = tip.width, height = tip.height;
    alpha.assign(static_cast<std::size_t>(3) * width * height, 0);
    colour.assign(static_cast<std::size_t>(3) * width * height, 0);  // the tips are black
    first.assign(static_cast<std::size_t>(height), width);
    last.assign(static_cast<std::size_t>(height), -1);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int a = tip.At(x, y);
        if (a <= 1) continue;  // a weight of 0 leaves the canvas exactly as it is
        const std::size_t i = 3 * (static_cast<std::size_t>(y) * width + x);
        alpha[i] = alpha[i + 1] = alpha[i + 2] = static_cast<std::uint8_t>(a);
        first[static_cast<std::size_t>(y)] = std::min(first[static_cast<std::size_t>(y)], x);
        last[static_cast<std::size_t>(y)] = std::max(last[static_cast<std::size_t>(y)], x);
      }
  }

  // One brush pixel (visited row by row) gets base + `plus`, every third one (by the sum of
  // its coordinates) base - Random(range) instead, a fresh draw for each.
  void SetPixel(int x, int y, const std::uint8_t* base, int plus, int range, Random& random) {
    const int o = (x + y) % 3 != 0 ? plus : -random.NextInt(range);
    std::uint8_t* c = &colour[3 * (static_cast<std::size_t>(y) * width + x)];
    for (int k = 0; k < 3; ++k) c[k] = ClampLevel(base[k] + o);
  }
  // The same for one base colour: the pixels off every third one all take base + `plus`, so
  // each row starts as a copy of those, and the draws follow in row order.
  void ColourFlat(const std::uint8_t* base, int plus, int range, Random& random) {
    if (width <= 0) return;
    lifted.resize(static_cast<std::size_t>(3) * width);
    for (int x = 0; x < width; ++x)
      for (int k = 0; k < 3; ++k) lifted[static_cast<std::size_t>(3 * x + k)] = ClampLevel(base[k] + plus);
    for (int y = 0; y < height; ++y) {
      std::uint8_t* row = &colour[3 * static_cast<std::size_t>(y) * width];
      std::copy(lifted.begin(), lifted.end(), row);
      for (int x = (3 - y % 3) % 3; x < width; x += 3) {
        const int o = -random.NextInt(range);
        for (int k = 0; k < 3; ++k) row[3 * x + k] = ClampLevel(base[k] + o);
      }
    }
  }
  // Each brush pixel takes the source pixel under it; pixels beyond the source keep their
  // colours and draw nothing.
  void ColourFrom(const Bitmap& source, int left, int top, int plus, int range, Random& random) {
    for (int y = 0; y < height; ++y) {
      const int sy = top + y;
      if (sy < 0 || sy >= source.Height()) continue;
      const std::uint8_t* row = source.ScanLine(sy);
      for (int x = 0; x < width; ++x) {
        const int sx = left + x;
        if (sx < 0 || sx >= source.Width()) continue;
        SetPixel(x, y, row + 3 * sx, plus, range, random);
      }
    }
  }
};

struct Clip {
  int left, top, right, bottom;  // inclusive
};

// Stamps the brush with its top-left corner at (px, py): the brush colour is mixed in by its
// alpha, and the mix laid over the canvas with the opacity (BrushStampRow.h).
void Stamp(const std::vector<std::uint8_t*>& rows, const WorkingBrush& brush, int px, int py, int op, const Clip& clip) {
  const int y0 = std::max(0, clip.top - py), y1 = std::min(brush.height - 1, clip.bottom - py);
  for (int by = y0; by <= y1; ++by) {
    const int x0 = std::max(brush.first[static_cast<std::size_t>(by)], clip.left - px);
    const int x1 = std::min(brush.last[static_cast<std::size_t>(by)], clip.right - px);
    if (x0 > x1) continue;
    const std::size_t offset = 3 * (static_cast<std::size_t>(by) * brush.width + x0);
    LayBrushRow(rows[static_cast<std::size_t>(py + by)] + 3 * (px + x0), brush.alpha.data() + offset,
                brush.colour.data() + offset, 3 * (x1 - x0 + 1), op);
  }
}

struct Spot {
  int x, y;
};

// The stamp positions of a curved stroke: t steps along the current angle from the start,
// the angle turning by the curvature after each, the curvature wandering by up to e when a
// draw of Random(100) exceeds `limit`.
void StrokePath(std::vector<Spot>& path, int x0, int y0, double theta, double kappa, int n, int limit, double e,
                Random& random) {
  path.clear();
  for (int t = 0; t <= n; ++t) {
    path.push_back({x0 + static_cast<int>(std::floor(t * std::cos(theta))),
                    y0 + static_cast<int>(std::floor(t * std::sin(theta)))});
    if (random.NextInt(100) > limit) kappa = kappa + random.NextFloat() * 2 * e - e;
    theta += kappa;
  }
}

int PixelError(const std::uint8_t* a, const std::uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// The canvas, a scratch copy for trial strokes and the per-pixel error against the source.
class DetailCanvas {
 public:
  DetailCanvas(const Bitmap& source, Bitmap& destination)
      : w_(source.Width()), h_(source.Height()), src_(source.RowTable()),
        dst_(destination.RowTable()), trial_(destination), trialRows_(trial_.RowTable()),
        spanLeft_(static_cast<std::size_t>(h_)), spanRight_(static_cast<std::size_t>(h_)) {}

  void PaintDirect(const WorkingBrush& brush, const std::vector<Spot>& path, int op) {
    const Clip all{0, 0, w_ - 1, h_ - 1};
    for (const Spot& s : path) Stamp(dst_, brush, s.x, s.y, op, all);
  }

  // From the first trial on, the error of every pixel is kept up to date.
  void StartTesting() {
    error_.resize(static_cast<std::size_t>(w_) * h_);
    ForEachRowBand(0, h_, 32, [&](int begin, int end) {
      for (int y = begin; y < end; ++y)
        for (int x = 0; x < w_; ++x) error_[Index(x, y)] = static_cast<std::uint16_t>(PixelError(src_[y] + 3 * x, dst_[y] + 3 * x));
    });
  }

  // Paints the stroke on the trial copy; keeps it when the mean error over `rect` drops by
  // more than the factor. Only the rows and columns the stamps reach are compared and copied,
  // the rest of the rectangle being unchanged.
  void PaintTrial(const WorkingBrush& brush, const std::vector<Spot>& path, int op, const Clip& rect, double factor) {
    // The rectangle's rows lie a picture row apart, each on pages of its own on a large
    // picture, so every row is asked for a few rows before it is summed.
    constexpr int kRowsAhead = 8;
    auto fetchRow = [&](int y) {
      const char* from = reinterpret_cast<const char*>(&error_[Index(rect.left, y)]);
      const char* to = reinterpret_cast<const char*>(&error_[Index(rect.right, y)]);
      for (; from <= to; from += 64) __builtin_prefetch(from);
      __builtin_prefetch(to);
    };
    for (int y = rect.top; y <= std::min(rect.bottom, rect.top + kRowsAhead - 1); ++y) fetchRow(y);
    std::int64_t sum = 0;
    for (int y = rect.top; y <= rect.bottom; ++y) {
      if (y + kRowsAhead <= rect.bottom) fetchRow(y + kRowsAhead);
      const std::uint16_t* e = &error_[Index(rect.left, y)];
      std::uint32_t row = 0;
      for (int x = 0; x <= rect.right - rect.left; ++x) row += e[x];
      sum += row;
    }
    for (int y = rect.top; y <= rect.bottom; ++y) spanLeft_[static_cast<std::size_t>(y)] = INT_MAX, spanRight_[static_cast<std::size_t>(y)] = -1;
    for (const Spot& s : path) {
      const int x0 = std::max(rect.left, s.x), x1 = std::min(rect.right, s.x + brush.width - 1);
      if (x0 > x1) continue;
      for (int y = std::max(rect.top, s.y); y <= std::min(rect.bottom, s.y + brush.height - 1); ++y) {
        spanLeft_[static_cast<std::size_t>(y)] = std::min(spanLeft_[static_cast<std::size_t>(y)], x0);
        spanRight_[static_cast<std::size_t>(y)] = std::max(spanRight_[static_cast<std::size_t>(y)], x1);
      }
    }
    ForSpans(rect, [&](int y, int x0, int x1) {
      std::copy(dst_[y] + 3 * x0, dst_[y] + 3 * x1 + 3, trialRows_[static_cast<std::size_t>(y)] + 3 * x0);
    });
    for (const Spot& s : path) Stamp(trialRows_, brush, s.x, s.y, op, rect);
    // The change of the summed error: a pixel's error is the sum of its three channels'
    // differences, so a span's new error is the summed differences of its bytes.
    std::int64_t change = 0;
    ForSpans(rect, [&](int y, int x0, int x1) {
      const std::uint16_t* e = &error_[Index(x0, y)];
      std::uint32_t before = 0;
      for (int x = 0; x <= x1 - x0; ++x) before += e[x];
      change += SumOfAbsoluteDifferences(src_[y] + 3 * x0, trialRows_[static_cast<std::size_t>(y)] + 3 * x0, 3 * (x1 - x0 + 1)) - before;
    });
    // The area of a one-pixel-wide or -high rectangle counts as 1 instead of 0.
    const std::int64_t area = std::max<std::int64_t>(1, static_cast<std::int64_t>(rect.right - rect.left) * (rect.bottom - rect.top));
    const std::int64_t before = sum / area, after = (sum + change) / area;
    if (!(static_cast<double>(before) > static_cast<double>(after) * factor)) return;
    ForSpans(rect, [&](int y, int x0, int x1) {
      std::copy(trialRows_[static_cast<std::size_t>(y)] + 3 * x0, trialRows_[static_cast<std::size_t>(y)] + 3 * x1 + 3, dst_[y] + 3 * x0);
      for (int x = x0; x <= x1; ++x) error_[Index(x, y)] = static_cast<std::uint16_t>(PixelError(src_[y] + 3 * x, dst_[y] + 3 * x));
    });
  }

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * w_ + x; }
  template <class F>
  void ForSpans(const Clip& rect, F&& f) {
    for (int y = rect.top; y <= rect.bottom; ++y)
      if (spanRight_[static_cast<std::size_t>(y)] >= 0) f(y, spanLeft_[static_cast<std::size_t>(y)], spanRight_[static_cast<std::size_t>(y)]);
  }

  int w_, h_;
  std::vector<const std::uint8_t*> src_;
  std::vector<std::uint8_t*> dst_;
  Bitmap trial_;
  std::vector<std::uint8_t*> trialRows_;
  std::vector<std::uint16_t> error_;
  std::vector<int> spanLeft_, spanRight_;
};

// The coarse underpainting: one stroke per 40-pixel cell of a half-size canvas with the large
// brush. Returns false when stopped.
bool Underpaint(const Bitmap& source, Bitmap& destination, const StrokeField& field, const BrushstrokeSettings& s,
                RunContext& ctx) {
  const int w = source.Width(), h = source.Height();
  Bitmap coarse(w / 2, h / 2);  // white, as the destination is
  const int w2 = coarse.Width(), h2 = coarse.Height();
  const std::vector<std::uint8_t*> rows = coarse.RowTable();
  const Clip all{0, 0, w2 - 1, h2 - 1};
  WorkingBrush brush;
  brush.Load(PaintBrushTip(0));
  Random& random = ctx.Rand();
  std::vector<Spot> path;
  Canvas canvas(destination);
  for (int r = 0; r <= h2 / kCell; ++r) {
    for (int c = 0; c <= w2 / kCell; ++c) {
      // Outside the live preview the picture shows the underpainting as it grows; a stop
      // keeps what was last shown.
      if (c == 0 && r % 4 == 0 && !ctx.preview) canvas.StretchDraw({0, 0, w, h}, coarse);
      if (ctx.StopRequested()) {
        ctx.ShowProgress(101, 100, 1, 1);
        return false;
      }
      const int cx = kCell * c, cy = kCell * r;
      const int bx = cx + brush.width / 2, by = cy + brush.height / 2;
      if (bx <= w2 - 1 && by <= h2 - 1) brush.ColourFlat(source.ScanLine(2 * by) + 3 * (2 * bx), 15, 10, random);
      const double theta = (2 * bx <= w - 2 && 2 * by <= h - 2) ? field.Angle(2 * bx, 2 * by) : random.NextFloat() * 6.28;
      const double kappa = random.NextFloat() * 0.005 - 0.0025;
      const int op = random.NextInt(s.opacity / 10) + 30;
      int n = random.NextInt((w2 + h2) / 150);
      n += random.NextInt(10) + 10;
      StrokePath(path, cx, cy, theta, kappa, n, 69, 0.0015, random);
      for (const Spot& spot : path) Stamp(rows, brush, spot.x, spot.y, op, all);
    }
  }
  canvas.StretchDraw({0, 0, w, h}, coarse);
  return true;
}

}  // namespace

namespace {

// The gradient of colour byte k of an interior pixel (one channel), from the rows above, at
// and below it: top minus bottom, and left minus right.
inline int GradientDown(const std::uint8_t* up, const std::uint8_t* down, int k) {
  return 3 * up[k - 3] + 10 * up[k] + 3 * up[k + 3] - 3 * down[k - 3] - 10 * down[k] - 3 * down[k + 3];
}
inline int GradientAcross(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, int k) {
  return 3 * up[k - 3] + 10 * mid[k - 3] + 3 * down[k - 3] - 3 * up[k + 3] - 10 * mid[k + 3] - 3 * down[k + 3];
}

// The gradient at interior pixel (x, y): the largest signed value of the three channels.
void Gradient(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, int x, int& gx, int& gy) {
  gx = INT_MIN, gy = INT_MIN;
  for (int k = 3 * x; k < 3 * x + 3; ++k) {
    gy = std::max(gy, GradientDown(up, down, k));
    gx = std::max(gx, GradientAcross(up, mid, down, k));
  }
}

}  // namespace

double StrokeField::Angle(int x, int y) const {
  const std::size_t i = static_cast<std::size_t>(y) * width + x;
  if (magnitude[i] > 0) {
    int gx = 0, gy = 0;
    Gradient(rows[static_cast<std::size_t>(y) - 1], rows[static_cast<std::size_t>(y)],
             rows[static_cast<std::size_t>(y) + 1], x, gx, gy);
    return static_cast<double>(std::atan2(static_cast<float>(gy), static_cast<float>(gx))) + 1.5707;
  }
  return static_cast<double>(flat[i]) / 1000.0;
}

StrokeField MakeStrokeField(const Bitmap& source, Random& random) {
  StrokeField field;
  const int w = source.Width(), h = source.Height();
  field.width = w, field.height = h;
  field.magnitude.assign(static_cast<std::size_t>(w) * h, 0);
  field.flat.assign(static_cast<std::size_t>(w) * h, 0);
  field.rows = source.RowTable();
  ForEachRowBand(1, h - 1, 32, [&](int begin, int end) {
    // The gradient of every byte first, in a loop the compiler vectorises (at most 16 * 255 in
    // magnitude: 16 bits hold it), then each pixel's largest over its three channels.
    std::vector<std::int16_t> across(3 * static_cast<std::size_t>(w)), down(across.size());
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* u = source.ScanLine(y - 1);
      const std::uint8_t* m = source.ScanLine(y);
      const std::uint8_t* d = source.ScanLine(y + 1);
      for (int k = 3; k < 3 * (w - 1); ++k) {
        down[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(GradientDown(u, d, k));
        across[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(GradientAcross(u, m, d, k));
      }
      std::uint8_t* magnitude = &field.magnitude[static_cast<std::size_t>(y) * w];
      for (int x = 1; x < w - 1; ++x) {
        const std::int16_t* gx = &across[3 * static_cast<std::size_t>(x)];
        const std::int16_t* gy = &down[3 * static_cast<std::size_t>(x)];
        const int most = std::abs(std::max({gx[0], gx[1], gx[2]})) + std::abs(std::max({gy[0], gy[1], gy[2]}));
        magnitude[x] = static_cast<std::uint8_t>(most / 32);
      }
    }
  });
  // Flat places get a random direction, drawn in row order.
  for (int y = 1; y < h - 1; ++y)
    for (int x = 1; x < w - 1; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      if (field.magnitude[i] == 0) field.flat[i] = static_cast<std::uint16_t>(random.NextInt(628));
    }
  return field;
}

BrushstrokeSettings BrushstrokeSettingsFrom(const RunContext& ctx) {
  return BrushstrokeSettings{ctx.S(1), ctx.S(2), ctx.S(3), ctx.S(4), ctx.S(5)};
}

void BrushstrokePainting(const Bitmap& source, Bitmap& destination, const BrushstrokeSettings& s, RunContext& ctx) {
  if (&source == &destination) throw ImageError("Painting 2 cannot paint over its own source picture.");
  if (source.Empty()) throw ImageError("There is no picture to paint.");
  const int w = source.Width(), h = source.Height();
  if (!ctx.preview) ctx.ShowProgress(0, 100, 1, 1);
  destination.SetSize(w, h);
  destination.Fill(kWhite);
  Random& random = ctx.Rand();
  const int divisor = 27 - s.strokeLength / 10;
  const int density = s.strokes / 25 + 1;
  const double factor = 1 + s.abstraction / 3500.0;
  const int flatChance = s.abstraction / 5 + 80;

  const StrokeField field = MakeStrokeField(source, random);
  if (!Underpaint(source, destination, field, s, ctx)) return;

  DetailCanvas canvas(source, destination);
  WorkingBrush brush;
  brush.Load(PaintBrushTip(0));
  std::vector<Spot> path;
  int mult = 1;
  bool testing = false;
  // W * H * F passes 2^31 from about 195 megapixels.
  const std::int64_t perLevel = static_cast<std::int64_t>(w) * h * density / 40000;
  for (int l = 0; l <= kLevels; ++l) {
    const std::int64_t count = perLevel * mult;
    for (std::int64_t m = 0; m <= count; ++m) {
      if (l == 5 && !testing) {
        testing = true;
        canvas.StartTesting();
      }
      if (l == 20 && m == 0) brush.Load(PaintBrushTip(1));
      if (l == 350 && m == 0) {
        mult = 3;
        brush.Load(PaintBrushTip(2));
      }
      const int x0 = random.NextInt(w - 1) - brush.width / 2;
      const int y0 = random.NextInt(h - 1) - brush.height / 2;
      const int xc = x0 + brush.width / 2, yc = y0 + brush.height / 2;
      const int magnitude = field.Magnitude(xc, yc);
      // Strokes in flat places become rarer as the levels advance.
      if (l > 50 && magnitude < random.NextInt(l / 3)) continue;
      const double theta = field.Angle(xc, yc);
      if (random.NextInt(100) < flatChance) {
        brush.ColourFlat(source.ScanLine(yc) + 3 * xc, 25, 25, random);
      } else {
        brush.ColourFrom(source, x0, y0, 25, 25, random);
      }
      double kappa = random.NextFloat() * 0.008 - 0.004;
      if (magnitude >= 150) kappa /= 2;
      const int r = std::min(150, random.NextInt((kLevels - l) / divisor));
      const int n = std::max(5, r + magnitude / divisor);
      Clip rect{};
      if (testing) {
        const int ex = x0 + static_cast<int>(std::floor(n * std::cos(theta)));
        const int ey = y0 + static_cast<int>(std::floor(n * std::sin(theta)));
        rect.left = std::clamp(std::min(x0, ex) - brush.width - 10, 0, w - 1);
        rect.right = std::clamp(std::max(x0, ex) + brush.width + 10, 0, w - 1);
        rect.top = std::clamp(std::min(y0, ey) - brush.height - 10, 0, h - 1);
        rect.bottom = std::clamp(std::max(y0, ey) + brush.height + 10, 0, h - 1);
      }
      const int op = random.NextInt(s.opacity / 3 + l / 10) + 10;
      StrokePath(path, x0, y0, theta, kappa, n, testing ? 80 : 85, 0.001, random);
      if (testing) {
        canvas.PaintTrial(brush, path, op, rect, factor);
      } else {
        canvas.PaintDirect(brush, path, op);
      }
      if (ctx.StopRequested()) {
        ctx.ShowProgress(101, 100, 1, 1);
        return;
      }
      if ((l + m) % 15 == 0) {
        if (ctx.preview) {
          ctx.ShowInPreview(destination);
          ctx.PreviewProgressLine(l * 200 / kLevels);
        } else {
          ctx.ShowProgress(l, kLevels, 1, 1);
        }
      }
    }
  }
  Sharpen(destination);
  AdjustSaturation(destination, (s.colour * 100 - 12800) / 128);
  if (!ctx.preview) ctx.ShowProgress(101, 100, 1, 1);
}

void PatchBrushstrokes(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  BrushstrokePainting(source, output, BrushstrokeSettingsFrom(ctx), ctx);
}

// Code 5: the painting goes into the result through the surface stage.
void FramePainting2(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  R = S;
  PatchBrushstrokes(S, R, ctx);
  Deliver(R, R, ctx, Delivery::SurfaceFinish);
}

}  // namespace brumeleaf
