#include "effects/painting/Painting10.h"
#include "imaging/CpuFeatures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/StampBlend.h"
#include "effects/painting/StrokeStamps.h"
#include "imaging/BitGrid.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintBrush3D.h"

namespace brumeleaf {

namespace {

constexpr int kHighestBase = 1800;
constexpr int kMinimumAlpha = 15;

// Floor of a / n for n > 0.
int FloorDiv(std::int64_t a, std::int64_t n) {
  return static_cast<int>(a >= 0 ? a / n : -((-a + n - 1) / n));
}

// The brush as the strokes use it: scaled alpha and the paint share 255 - red, per pixel.
struct PreparedBrush {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> alpha;
  std::vector<std::uint16_t> paint;
  // strength[0]: a * 10 div 15 (levels from 1701 on); strength[q]: a div q (lower levels).
  std::array<std::vector<std::uint16_t>, 6> strength;
  // Per row, the first and last column whose alpha can paint (first > last: none).
  std::vector<int> first, last;
};

PreparedBrush Prepare(const AlphaPicture& brush, int strength) {
  PreparedBrush b;
  b.width = brush.width;
  b.height = brush.height;
  const std::size_t n = static_cast<std::size_t>(brush.width) * brush.height;
  if (brush.bgra.size() < 4 * n) throw ImageError("The Painting 10 brush picture is incomplete.");
  // Padded at the end for the blend's groups of eight or sixteen.
  b.alpha.resize(n + kStampPadding);
  b.paint.resize(n + kStampPadding);
  const int scale = strength / 2 + 128;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* p = brush.bgra.data() + 4 * i;
    b.alpha[i] = static_cast<std::uint8_t>(std::clamp(scale * p[3] / 255, 0, 255));
    b.paint[i] = static_cast<std::uint16_t>(255 - p[2]);
  }
  for (int q = 0; q <= 5; ++q) {
    std::vector<std::uint16_t>& map = b.strength[static_cast<std::size_t>(q)];
    map.resize(n + kStampPadding);
    for (std::size_t i = 0; i < n; ++i) map[i] = static_cast<std::uint16_t>(q == 0 ? b.alpha[i] * 10 / 15 : b.alpha[i] / q);
  }
  b.first.assign(static_cast<std::size_t>(b.height), b.width);
  b.last.assign(static_cast<std::size_t>(b.height), -1);
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      if (b.alpha[static_cast<std::size_t>(y) * b.width + x] < kMinimumAlpha) continue;
      b.first[static_cast<std::size_t>(y)] = std::min(b.first[static_cast<std::size_t>(y)], x);
      b.last[static_cast<std::size_t>(y)] = x;
    }
  }
  return b;
}

// Signed maximum over the channels of the vertical (top minus bottom) and horizontal (left
// minus right) 3-10-3 differences; 0 on the border, where the window would leave the picture.
void Gradient(const std::vector<const std::uint8_t*>& rows, int width, int x, int y, int& gx, int& gy) {
  gx = gy = 0;
  if (x < 1 || y < 1 || x > width - 2 || y > static_cast<int>(rows.size()) - 2) return;
  const std::uint8_t* up = rows[static_cast<std::size_t>(y - 1)] + 3 * x;
  const std::uint8_t* mid = rows[static_cast<std::size_t>(y)] + 3 * x;
  const std::uint8_t* down = rows[static_cast<std::size_t>(y + 1)] + 3 * x;
  for (int c = 0; c < 3; ++c) {
    const int v = 3 * up[c - 3] + 10 * up[c] + 3 * up[c + 3] - 3 * down[c - 3] - 10 * down[c] - 3 * down[c + 3];
    const int h = 3 * up[c - 3] + 10 * mid[c - 3] + 3 * down[c - 3] - 3 * up[c + 3] - 10 * mid[c + 3] - 3 * down[c + 3];
    if (c == 0 || v > gy) gy = v;
    if (c == 0 || h > gx) gx = h;
  }
}

// One bit per pixel: whether the edge strength |gx| + |gy| reaches a threshold. Most strokes
// of the low levels fail the edge test at a random spot; the bits of a camera picture stay in
// the cache, where the three rows of the picture around the spot would each be a miss.
class EdgeMap {
 public:
  EdgeMap() = default;
  EdgeMap(const std::vector<const std::uint8_t*>& rows, int width, int threshold)
      : bits_(width, static_cast<int>(rows.size()), false) {
    const int height = static_cast<int>(rows.size());
    // Each row has words of its own, so the bands write apart.
    ForEachRowBand(0, height, 16, [&](int begin, int end) {
      for (int y = begin; y < end; ++y)
        for (int x = 0; x < width; ++x) {
          int gx = 0, gy = 0;
          Gradient(rows, width, x, y, gx, gy);
          if (std::abs(gx) + std::abs(gy) >= threshold) BitGrid::Set(bits_.Row(y), x, true);
        }
    });
  }
  bool Test(int x, int y) const { return bits_.Test(x, y); }

 private:
  BitGrid bits_;
};

// One bit per pixel: whether the canvas is still unpainted there (red 255), for the search for
// paper of the high levels, which tries spot after spot at random: the bits stay in the cache,
// the canvas would be a miss at every try. Brought up to date over the box of every stroke
// painted while the search is still to come.
class PaperMap {
 public:
  PaperMap(int width, int height)
      : width_(width), height_(height), bits_(width, height, true) {}
  bool Test(int x, int y) const { return bits_.Test(x, y); }
  // Reads the red plane over left..right x top..bottom (clipped to the picture).
  void Refresh(const std::uint8_t* red, int left, int top, int right, int bottom) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width_ - 1), bottom = std::min(bottom, height_ - 1);
    for (int y = top; y <= bottom; ++y) {
      const std::uint8_t* row = red + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
      std::uint64_t* bits = bits_.Row(y);
      int x = left;
      for (; x <= right && (x & 15) != 0; ++x) BitGrid::Set(bits, x, row[x] == 255);
#if defined(__SSE2__)
      // Sixteen pixels at once, their bits side by side in one word.
      const __m128i paper = _mm_set1_epi8(static_cast<char>(0xFF));
      for (; x + 15 <= right; x += 16) {
        const __m128i levels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const std::uint64_t found = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(levels, paper)));
        std::uint64_t& word = bits[x >> 6];
        word = (word & ~(std::uint64_t{0xFFFF} << (x & 63))) | (found << (x & 63));
      }
#endif
      for (; x <= right; ++x) BitGrid::Set(bits, x, row[x] == 255);
    }
  }

 private:
  int width_, height_;
  BitGrid bits_;
};

// Three planes' rows into one row of pixels, blue first: a plain loop the compiler turns into
// byte shuffles, about three times faster again where the processor has AVX2.
void InterleaveRowPlain(const std::uint8_t* __restrict blue, const std::uint8_t* __restrict green,
                        const std::uint8_t* __restrict red, std::uint8_t* __restrict out, int width) {
  for (int x = 0; x < width; ++x) {
    out[3 * x] = blue[x];
    out[3 * x + 1] = green[x];
    out[3 * x + 2] = red[x];
  }
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void InterleaveRowAvx2(const std::uint8_t* __restrict blue,
                                                       const std::uint8_t* __restrict green,
                                                       const std::uint8_t* __restrict red, std::uint8_t* __restrict out,
                                                       int width) {
  for (int x = 0; x < width; ++x) {
    out[3 * x] = blue[x];
    out[3 * x + 1] = green[x];
    out[3 * x + 2] = red[x];
  }
}
#endif

void InterleaveRow(const std::uint8_t* blue, const std::uint8_t* green, const std::uint8_t* red, std::uint8_t* out,
                   int width) {
#if defined(__x86_64__) || defined(__i386__)
  if (HasAvx2()) {
    InterleaveRowAvx2(blue, green, red, out, width);
    return;
  }
#endif
  InterleaveRowPlain(blue, green, red, out, width);
}

// The picture as three planes (blue, green, red), so that the stamp blend reads eight
// neighbouring levels of a channel at once.
struct Planes {
  int width = 0;
  int height = 0;
  std::array<std::vector<std::uint8_t>, 3> channel;

  explicit Planes(const Bitmap& image) : width(image.Width()), height(image.Height()) {
    for (auto& plane : channel) plane.resize(static_cast<std::size_t>(width) * height + kStampPadding);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* p = image.ScanLine(y);
      for (int x = 0; x < width; ++x, p += 3)
        for (int c = 0; c < 3; ++c) channel[static_cast<std::size_t>(c)][At(x, y)] = p[c];
    }
  }
  std::size_t At(int x, int y) const { return static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x); }
  // The live preview shows the canvas at every report, so this runs hundreds of times there.
  // Every byte of every row is written, so a picture that already has the size is not
  // whitened first.
  void CopyTo(Bitmap& image) const {
    if (image.Width() != width || image.Height() != height) image.SetSize(width, height);
    for (int y = 0; y < height; ++y) CopyRowTo(image, y, 0, width - 1);
  }
  // Columns left..right of row y into a picture of the planes' size.
  void CopyRowTo(Bitmap& image, int y, int left, int right) const {
    InterleaveRow(channel[0].data() + At(left, y), channel[1].data() + At(left, y), channel[2].data() + At(left, y),
                  image.ScanLine(y) + 3 * static_cast<std::ptrdiff_t>(left), right - left + 1);
  }
};

class StrokePainter {
 public:
  StrokePainter(const Bitmap& source, Planes& canvas, const Painting10Settings& settings,
                const PreparedBrush& brush, Painting10Variant variant, RunContext& ctx)
      : photo_(source),
        canvas_(canvas),
        settings_(settings),
        brush_(brush),
        variant_(variant),
        random_(ctx.Rand()),
        width_(source.Width()),
        height_(source.Height()),
        src_(source.RowTable()),
        paper_(source.Width(), source.Height()),
        showsCanvas_(ctx.preview) {
    if (showsCanvas_) {
      changedFirst_.assign(static_cast<std::size_t>(height_), width_);
      changedLast_.assign(static_cast<std::size_t>(height_), -1);
    }
    lowest_ = 4 * settings.minimumSize;
    edgeRequirement_ = 10 * settings.abstraction;
    // A spot whose edge strength stays below the requirement less the largest relief can
    // never pass the edge test.
    mayPass_ = EdgeMap(src_, width_, edgeRequirement_ - std::max(0, edgeRequirement_ / 10 - 1));
  }

  // Copies into `image` (the canvas's picture, equal to the canvas where nothing was stamped
  // since the last call) the columns of each row that stamps have reached since then.
  void CopyChangesTo(Bitmap& image) {
    if (!showsCanvas_) {
      canvas_.CopyTo(image);
      return;
    }
    for (int y = 0; y < height_; ++y) {
      int& first = changedFirst_[static_cast<std::size_t>(y)];
      int& last = changedLast_[static_cast<std::size_t>(y)];
      if (first > last) continue;
      canvas_.CopyRowTo(image, y, first, last);
      first = width_;
      last = -1;
    }
  }

  // One stroke of level L; returns false when it ended with too many bad pixels.
  bool Stroke(int L) {
    int x = 0, y = 0;
    if (L < 1500) {
      DrawPosition(x, y);
    } else {
      for (int draw = 0; draw < 250; ++draw) {
        DrawPosition(x, y);
        if (paper_.Test(x, y)) break;
      }
    }
    // The draw comes first, whatever the level.
    const int relief = random_.NextInt(edgeRequirement_ / 10);
    if (L < 1700 && !mayPass_.Test(x, y)) return true;
    int gx = 0, gy = 0;
    Gradient(src_, width_, x, y, gx, gy);
    int M = std::abs(gx) + std::abs(gy);
    if (!(M >= edgeRequirement_ - relief || L >= 1700)) return true;

    M = M / 128 + 1;
    const int q = std::min(5, random_.NextInt(std::max(0, (previousWidth_ + previousLength_) / 6 - M / 4)) + 1);
    const std::uint8_t* k = src_[static_cast<std::size_t>(y)] + 3 * x;
    double theta;
    if (M > 1) {
      theta = static_cast<double>(std::atan2(static_cast<float>(gy), static_cast<float>(gx))) + 1.5707;
    } else {
      theta = random_.NextInt(628) / 100.0;
    }
    int length = random_.NextInt(M / 2 + L / 80) + 2;
    int width = random_.NextInt(L / 65) + 1;
    if (L >= 1700) {
      length = std::max(20, std::min(brush_.width, length * 180 / 100));
      width = std::max(20, std::min(brush_.height, width * 220 / 100));
    }
    if (settings_.largerStrokes) {
      const int factor = variant_ == Painting10Variant::Run ? 3 : 2;
      length *= factor;
      width *= factor;
    }
    previousLength_ = length;
    previousWidth_ = width;

    const int dx = static_cast<int>(std::floor(std::cos(theta) * length));
    const int dy = static_cast<int>(std::floor(std::sin(theta) * length));
    int x0 = x - dx, y0 = y - dy;
    if (variant_ == Painting10Variant::Run) {
      x0 = std::clamp(x0, 0, width_ - 1);
      y0 = std::clamp(y0, 0, height_ - 1);
    }
    const int x1 = x + dx, y1 = y + dy;
    width = std::min(width, brush_.height - 1);
    const int hw = std::min(brush_.width / 2, width * 143 / 100);
    const int hh = std::min(brush_.height / 2, width * 143 / 100);
    const std::int64_t budget = static_cast<std::int64_t>(L < 1701 ? 1 : 3) * width * length;

    // Stroke constants of the blend.
    const int s4third = settings_.strength / 3;
    const bool fine = L <= lowest_ + 50 + s4third && width <= 25 && length <= 25 && M >= 10;
    const bool tiny = width < 5 && length < 5 && M > 16;
    // The blend's divisor is 22 for fine strokes, 18 for tiny ones or a close colour, else 12.
    StampPaint paint;
    paint.divisor = fine ? StampDivisor::Fine : (tiny ? StampDivisor::Tiny : StampDivisor::Normal);
    paint.close = s4third + 1;
    for (int c = 0; c < 3; ++c) {
      paint.k[c] = k[c];
      paint.light[c] = std::min(255, 2 * k[c]);
    }
    const std::vector<std::uint16_t>& strength = brush_.strength[static_cast<std::size_t>(L < 1701 ? q : 0)];
    // Columns of the stamp within distance `width` of its centre, per row offset.
    reach_.assign(static_cast<std::size_t>(2 * hh + 1), -1);
    for (int r = -hh; r <= hh; ++r) {
      const std::int64_t room = static_cast<std::int64_t>(width) * width - static_cast<std::int64_t>(r) * r;
      if (room < 0) continue;
      int c = static_cast<int>(std::sqrt(static_cast<double>(room)));
      while (static_cast<std::int64_t>(c + 1) * (c + 1) <= room) ++c;
      while (static_cast<std::int64_t>(c) * c > room) --c;
      reach_[static_cast<std::size_t>(r + hh)] = c;
    }

    const double ddx = x1 - x0, ddy = y1 - y0;
    const int n = static_cast<int>(std::floor(std::sqrt(ddx * ddx + ddy * ddy)));
    const Walk walk{x0, y0, x1, y1, n, hw, hh, budget, strength.data()};
    const bool whole = WalkStroke(walk, paint, L < 1700);
    // The stamps' centres lie between the two ends; each reaches hw columns and hh rows out.
    if (L >= 1500)
      paper_.Refresh(canvas_.channel[2].data(), std::min(x0, x1) - hw, std::min(y0, y1) - hh, std::max(x0, x1) + hw,
                     std::max(y0, y1) + hh);
    return whole;
  }

 private:
  struct Walk {
    int x0, y0, x1, y1, n, hw, hh;
    std::int64_t budget;
    const std::uint16_t* strength;  // of every brush pixel's alpha, for this stroke
  };

  // Stamps the brush along the segment; below level 1700 (`abandonAtOnce`) the stroke ends at
  // the pixel that makes the bad count exceed the budget, otherwise after that stamp.
  bool WalkStroke(const Walk& w, const StampPaint& paint, bool abandonAtOnce) {
    const int halfBrushWidth = brush_.width / 2;
    centreX_.resize(static_cast<std::size_t>(std::max(w.n, 0)));
    centreY_.resize(static_cast<std::size_t>(std::max(w.n, 0)));
    for (int s = 1; s <= w.n; ++s) {
      centreX_[static_cast<std::size_t>(s - 1)] =
          FloorDiv(static_cast<std::int64_t>(w.x1) * s + static_cast<std::int64_t>(w.n - s) * w.x0, w.n);
      centreY_[static_cast<std::size_t>(s - 1)] =
          FloorDiv(static_cast<std::int64_t>(w.y1) * s + static_cast<std::int64_t>(w.n - s) * w.y0, w.n);
    }
    // Per row of a stamp, the columns around its centre within distance `width` and the
    // stamp's half sizes; brush columns that cannot paint are left out (they would be skipped).
    rowFirst_.resize(static_cast<std::size_t>(2 * w.hh));
    rowLast_.resize(static_cast<std::size_t>(2 * w.hh));
    for (int r = -w.hh; r < w.hh; ++r) {
      const int reach = reach_[static_cast<std::size_t>(r + w.hh)];
      const std::size_t brushY = static_cast<std::size_t>(r + brush_.height / 2);
      int& first = rowFirst_[static_cast<std::size_t>(r + w.hh)];
      int& last = rowLast_[static_cast<std::size_t>(r + w.hh)];
      if (reach < 0) {
        first = 1, last = 0;
        continue;
      }
      first = std::max({-w.hw, -reach, brush_.first[brushY] - halfBrushWidth});
      last = std::min({w.hw - 1, reach, brush_.last[brushY] - halfBrushWidth});
    }
    StrokeStamps stroke;
    stroke.width = width_;
    stroke.height = height_;
    for (int c = 0; c < 3; ++c) {
      stroke.photo[c] = photo_.channel[static_cast<std::size_t>(c)].data();
      stroke.canvas[c] = canvas_.channel[static_cast<std::size_t>(c)].data();
    }
    stroke.brushWidth = brush_.width;
    stroke.brushHeight = brush_.height;
    stroke.alpha = brush_.alpha.data();
    stroke.strength = w.strength;
    stroke.paint = brush_.paint.data();
    stroke.cx = centreX_.data();
    stroke.cy = centreY_.data();
    stroke.count = std::max(w.n, 0);
    stroke.hh = w.hh;
    stroke.lo = rowFirst_.data();
    stroke.hi = rowLast_.data();
    stroke.budget = w.budget;
    stroke.abandonAtOnce = abandonAtOnce;
    if (showsCanvas_) {
      stroke.changedFirst = changedFirst_.data();
      stroke.changedLast = changedLast_.data();
    }
    return LayStrokeStamps(stroke, paint, sweep_);
  }

  // One draw per coordinate as always; a picture one pixel wide (high) takes its only column (row).
  void DrawPosition(int& x, int& y) {
    x = std::min(random_.NextInt(std::max(0, width_ - 2)) + 1, width_ - 1);
    y = std::min(random_.NextInt(std::max(0, height_ - 2)) + 1, height_ - 1);
  }

  Planes photo_;
  Planes& canvas_;
  const Painting10Settings& settings_;
  const PreparedBrush& brush_;
  Painting10Variant variant_;
  Random& random_;
  int width_, height_;
  std::vector<const std::uint8_t*> src_;
  int lowest_ = 0;
  int edgeRequirement_ = 0;
  EdgeMap mayPass_;
  PaperMap paper_;
  int previousLength_ = 0;
  int previousWidth_ = 0;
  std::vector<int> reach_;
  // The stroke being laid: its stamps' centres and, per stamp row, the columns it paints.
  std::vector<int> centreX_, centreY_, rowFirst_, rowLast_;
  StrokeSweepScratch sweep_;
  // Only the live preview shows the canvas as it grows. Per row, the first and last column
  // stamped since it was last shown (none: first > last).
  bool showsCanvas_ = false;
  std::vector<int> changedFirst_, changedLast_;
};

}  // namespace

Painting10Settings Painting10SettingsFrom(const RunContext& ctx) {
  Painting10Settings settings;
  settings.minimumSize = ctx.S(1);
  settings.iterations = ctx.S(2);
  settings.abstraction = ctx.S(3);
  settings.strength = ctx.S(4);
  settings.saturation = ctx.S(5);
  settings.largerStrokes = ctx.Params().doubleRow1;
  return settings;
}

const AlphaPicture& Painting10Brush(const RunContext& ctx) {
  const ParameterSnapshot& p = ctx.Params();
  if (p.paintBrush3DAlpha && !p.paintBrush3DAlpha->Empty()) return *p.paintBrush3DAlpha;
  return StandardPaintBrush3D();
}

void ScaleSpacePainting(Bitmap& source, Bitmap& destination, const Painting10Settings& settings,
                        const AlphaPicture& brush, Painting10Variant variant, RunContext& ctx) {
  if (&source == &destination) throw ImageError("Painting 10 cannot paint over its own source picture.");
  if (brush.Empty()) throw ImageError("The Painting 10 brush picture is empty.");
  ctx.Rand().SetSeed(kPainting10Seed);
  destination.SetSize(source.Width(), source.Height());
  ctx.ShowProgress(0, 100, 1, 1);
  if (source.Empty()) return;
  AdjustSaturation(source, (settings.saturation * 100 - 12800) / 128);

  const PreparedBrush prepared = Prepare(brush, settings.strength);
  destination.Fill(kWhite);
  Planes canvas(destination);  // the strokes paint planes; the destination gets them at the end
  StrokePainter painter(source, canvas, settings, prepared, variant, ctx);
  const int width = source.Width(), height = source.Height();
  const int lowest = 4 * settings.minimumSize;
  const int batches = std::max(1, ((width / 20) * (height / 20)) / 100);
  int f = 0;
  for (int L = kHighestBase + std::min(50, settings.iterations / 2); L >= lowest; --L) {
    if (L <= 1570) {
      f = (1600 - L) / 40;
      if (L <= lowest + 500) f *= 3;
    }
    const int lastStroke = std::max(0, settings.iterations * f / 40);
    const bool report = (L + lastStroke + 1) % (35 - L / 120) == 0;
    for (int batch = 0; batch < batches; ++batch) {
      if (L % 2 == 0 && ctx.StopRequested()) {
        canvas.CopyTo(destination);
        ctx.ShowProgress(101, 100, 1, 1);
        return;
      }
      for (int stroke = 0; stroke <= lastStroke; ++stroke)
        if (!painter.Stroke(L)) break;  // the rest of this batch is skipped
      if (report) {
        if (ctx.preview) {
          // The destination holds the canvas as last shown (at first the white both started
          // from); only what the strokes reached since is copied again.
          painter.CopyChangesTo(destination);
          ctx.ShowInPreview(destination);
          ctx.PreviewProgressLine((370000 - 200 * L) / 1850);
        } else {
          ctx.ShowProgress(1850 - L, 1850 - lowest, 1, 1);
        }
      }
    }
  }
  canvas.CopyTo(destination);
  Sharpen(destination);
  Sharpen(destination);
  Sharpen(destination);
  ctx.ShowProgress(101, 100, 1, 1);
}

namespace {

void RunVariant(const Bitmap& source, Bitmap& output, Painting10Variant variant, RunContext& ctx) {
  const AlphaPicture& brush = Painting10Brush(ctx);
  Bitmap work = source;
  ScaleSpacePainting(work, output, Painting10SettingsFrom(ctx), brush, variant, ctx);
}

}  // namespace

void PreviewPainting10(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx) {
  (void)resultCrop;
  Bitmap painted;
  RunVariant(K, painted, Painting10Variant::Preview, ctx);
  Deliver(painted, O, ctx, Delivery::SurfaceFinish);
}

void PatchPainting10(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  RunVariant(source, output, Painting10Variant::Preview, ctx);
}

// Code 28: W := copy of S; the painting goes into R, then through the surface stage.
void FramePainting10(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  Bitmap painted;
  {
    const DrawingShown shown(ctx, &painted);
    RunVariant(S, painted, Painting10Variant::Run, ctx);
  }
  Deliver(painted, R, ctx, Delivery::SurfaceFinish);
  ctx.ShowProgress(101, 100, 1, 1);
}

}  // namespace brumeleaf
