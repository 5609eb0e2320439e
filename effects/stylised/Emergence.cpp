#include "effects/stylised/Emergence.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/stylised/LayeredPolygons.h"
#include "effects/stylised/ShadeTriangle.h"
#include "imaging/Canvas.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brumeleaf {

namespace {

enum class ShapeKind { Quadrilateral, Triangle };

constexpr int kLargeSpread = 1000;    // the spread of the first shapes, laid without a test
constexpr int kFirstLargeShape = 501;  // spreads from here on are drawn straight onto the canvas
constexpr int kMostRejections = 799;   // one more rejection in a row ends the run
constexpr int kPointTries = 75;

int Diff3(const std::uint8_t* a, const std::uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// Over one row of a small shape's trial: the sum, over the bytes the mask covers (mask byte 0;
// the mask's pixels are black or white, so each byte speaks for its pixel), of |s - m| - |s - d|.
// With the bytes outside the mask cleared in all three, |0 - 0| adds nothing, so the two sums of
// absolute differences are taken 16 bytes at a time.
long long CoveredChange(const std::uint8_t* s, const std::uint8_t* d, const std::uint8_t* mask, const std::uint8_t* mean,
                        std::size_t bytes) {
  long long change = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  __m128i own = zero, now = zero;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i keep = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i)), zero);
    const __m128i source = _mm_and_si128(keep, _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
    const __m128i flat = _mm_and_si128(keep, _mm_loadu_si128(reinterpret_cast<const __m128i*>(mean + i)));
    const __m128i there = _mm_and_si128(keep, _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i)));
    own = _mm_add_epi64(own, _mm_sad_epu8(source, flat));
    now = _mm_add_epi64(now, _mm_sad_epu8(source, there));
  }
  const __m128i difference = _mm_sub_epi64(own, now);
  change += static_cast<long long>(_mm_cvtsi128_si64(difference)) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(difference, difference));
#endif
  for (; i < bytes; ++i)
    if (mask[i] == 0) change += std::abs(s[i] - mean[i]) - std::abs(s[i] - d[i]);
  return change;
}

// Edge strength of every interior pixel: per channel |c - (sum of the 8 neighbours) div 8|,
// the three averaged. The border stays 0.
std::vector<std::uint8_t> EdgeMap(const Bitmap& source) {
  const int w = source.Width(), h = source.Height();
  std::vector<std::uint8_t> edges(static_cast<std::size_t>(w) * h, 0);
  ForEachRowBand(1, h - 1, 16, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* up = source.ScanLine(y - 1);
      const std::uint8_t* row = source.ScanLine(y);
      const std::uint8_t* down = source.ScanLine(y + 1);
      std::uint8_t* e = edges.data() + static_cast<std::size_t>(y) * w;
      for (int x = 1; x + 1 < w; ++x) {
        int total = 0;
        for (int c = 0; c < 3; ++c) {
          const int i = 3 * x + c;
          const int ring = up[i - 3] + up[i] + up[i + 3] + row[i - 3] + row[i + 3] + down[i - 3] + down[i] + down[i + 3];
          total += std::abs(row[i] - ring / 8);
        }
        e[x] = static_cast<std::uint8_t>(total / 3);
      }
    }
  });
  return edges;
}

class EmergenceRun {
 public:
  EmergenceRun(Bitmap& source, Bitmap& output, const EmergenceSettings& settings, ShapeKind kind, RunContext& ctx)
      : s_(source), d_(output), st_(settings), kind_(kind), ctx_(ctx), w_(source.Width()), h_(source.Height()),
        maskCanvas_(mask_) {}

  void Run();

 private:
  void Shape(int k);
  bool FindPoint(int k, int& px, int& py);
  void Quadrilateral(int px, int py, int spread);
  void Triangle(int px, int py, int spread);
  const std::uint8_t* S(int x, int y) const { return s_.ScanLine(y) + 3 * x; }
  std::uint8_t* D(int x, int y) { return d_.ScanLine(y) + 3 * x; }
  // The canvas at (x, y) with the large triangles still waiting counted in.
  void CanvasAt(int x, int y, std::uint8_t bgr[3]) const;
  void PaintWaitingShapes();
  int Draw(int n) { return ctx_.Rand().NextInt(n); }
  bool Ended() const { return done_ || ctx_.StopRequested(); }

  Bitmap& s_;
  Bitmap& d_;
  const EmergenceSettings& st_;
  ShapeKind kind_;
  RunContext& ctx_;
  int w_, h_;
  std::vector<std::uint8_t> edges_;
  Bitmap mask_;  // the pixels a small quadrilateral would cover
  std::vector<std::uint8_t> meanRow_;  // its flat colour along a row
  Canvas maskCanvas_;
  int rejections_ = 0;
  // Large shapes are laid without a test, one over the other; only the point searches read
  // the canvas between them, so they wait here until anything else reads or writes it.
  LayeredShadedTriangles waiting_;
  LayeredFlatPolygons waitingQuadrilaterals_;
  // 800 rejections in a row end the run at the next stop check, exactly where a stop would,
  // but as a finished run: the frame and caption still follow.
  bool done_ = false;
};

void EmergenceRun::Run() {
  d_.SetSize(w_, h_);
  d_.Fill(kBlack);
  ctx_.Rand().SetSeed(kEffectSeed);
  edges_ = EdgeMap(s_);  // before the boost changes the source
  EnhanceLocalContrast(s_, 2 * st_.contrast, ctx_.mean);
  AdjustBrightness(s_, st_.contrast / 8);
  const int perStep = ctx_.preview ? 0 : (w_ / 102 + h_ / 77) / 20 + 2;
  const int total = 128 * st_.iterations + (kind_ == ShapeKind::Triangle ? 5000 : 4000);
  ctx_.ShowProgress(0, total, 1, 1);
  const int q = st_.max ? 3 : 1;
  int c = 0;
  for (int k = total; k >= 0; --k) {
    if (k < 7000) c = (7000 - k) / (1315 - 5 * st_.iterations);
    // (Every 300 steps a fresh trial picture would be started; the trials here are made per
    // shape, so nothing carries over.)
    if (k % 100 == 0) {
      if (k % 500 == 0) ctx_.ShowProgress(total - k, total, 1, 1);
      if (Ended()) {
        PaintWaitingShapes();
        ctx_.ShowProgress(110, 100, 1, 1);
        return;
      }
    }
    const int shapes = q * c * perStep;
    for (int j = 0; j <= shapes; ++j) {
      Shape(k);
      if (rejections_ > kMostRejections) done_ = true;
      if (j % 50 == 0) {
        // Only every 250 steps; the preview's own intermediate display every 1000 steps falls
        // on these same steps and is never reached.
        if (k % 250 == 0) ctx_.ShowProgress(total - k, total, 1, 1);
        if (Ended()) {
          PaintWaitingShapes();
          ctx_.ShowProgress(110, 100, 1, 1);
          return;
        }
      }
    }
  }
  PaintWaitingShapes();
}

bool EmergenceRun::FindPoint(int k, int& px, int& py) {
  int score = -100000, tries = 0;
  const int threshold = st_.abstraction - k / 256;
  while (score <= threshold && tries <= kPointTries) {
    px = Draw(w_);
    py = Draw(h_);
    std::uint8_t now[3];
    CanvasAt(px, py, now);
    score = Diff3(S(px, py), now) + edges_[static_cast<std::size_t>(py) * w_ + px];
    ++tries;
  }
  return tries < kPointTries;
}

void EmergenceRun::Shape(int k) {
  int spread = kLargeSpread;
  if (k <= 128 * st_.iterations + 2000)
    spread = std::min(k / 128 + 2 * st_.minimumRadius + 20, 2 * st_.maximumRadius + 20);
  int px = 0, py = 0;
  if (!FindPoint(k, px, py)) return;
  if (kind_ == ShapeKind::Quadrilateral) {
    Quadrilateral(px, py, spread);
  } else {
    Triangle(px, py, spread);
  }
}

void EmergenceRun::Quadrilateral(int px, int py, int spread) {
  const int half = spread / 2;
  Point p[4] = {{px, py}, {}, {}, {}};
  for (int i = 1; i < 4; ++i) p[i].x = std::clamp(px + Draw(spread) - half, 0, w_ - 1);
  for (int i = 1; i < 4; ++i) p[i].y = std::clamp(py + Draw(spread) - half, 0, h_ - 1);
  int sum[3] = {0, 0, 0};
  for (const Point& v : p)
    for (int c = 0; c < 3; ++c) sum[c] += S(v.x, v.y)[c];
  const std::uint8_t m[3] = {static_cast<std::uint8_t>(sum[0] / 4), static_cast<std::uint8_t>(sum[1] / 4),
                             static_cast<std::uint8_t>(sum[2] / 4)};
  const Colour colour = MakeColour(m[2], m[1], m[0]);

  // Filled by the even-odd rule over pixel centres (vertices on pixel corners) and outlined
  // through the vertex pixels, both in the flat colour; the shape may cross itself.
  if (spread >= kFirstLargeShape) {
    waitingQuadrilaterals_.Add({p[0], p[1], p[2], p[3]}, colour);
    return;
  }
  PaintWaitingShapes();
  // A small shape is tried first. Over the window around the point, the pixels that would show
  // the flat colour are compared before and after; pixels that already had that colour count
  // the same both ways, so only the covered pixels decide. The shape lies wholly inside the
  // trial square of the spread, which is clipped to the picture.
  const int x0 = std::max(0, px - half), y0 = std::max(0, py - half);
  const int x1 = std::min(w_, px + half), y1 = std::min(h_, py + half);
  int left = w_, top = h_, right = 0, bottom = 0;
  for (const Point& v : p) {
    left = std::min(left, v.x), right = std::max(right, v.x);
    top = std::min(top, v.y), bottom = std::max(bottom, v.y);
  }
  // The mask keeps the largest size asked so far (a new block each time would cost more than
  // the trial); only the shape's box is whitened. Nothing is drawn outside that box, so the
  // pixels are those of a mask of the box's own size.
  const int boxWidth = right - left + 1, boxHeight = bottom - top + 1;
  if (mask_.Width() < boxWidth || mask_.Height() < boxHeight)
    mask_.SetSize(std::max(mask_.Width(), boxWidth), std::max(mask_.Height(), boxHeight));
  for (int y = 0; y < boxHeight; ++y) std::fill_n(mask_.ScanLine(y), 3 * static_cast<std::size_t>(boxWidth), 255);
  maskCanvas_.brushColor = maskCanvas_.penColor = kBlack;
  maskCanvas_.Polygon({{p[0].x - left, p[0].y - top}, {p[1].x - left, p[1].y - top}, {p[2].x - left, p[2].y - top},
                       {p[3].x - left, p[3].y - top}});
  long long change = 0;
  const int xFrom = std::max(left, x0), xTo = std::min(right, x1 - 1);
  if (xFrom <= xTo) {
    const std::size_t bytes = 3 * static_cast<std::size_t>(xTo - xFrom + 1);
    meanRow_.resize(bytes + 2);
    for (std::size_t i = 0; i < bytes; i += 3) std::copy(m, m + 3, meanRow_.data() + i);
    for (int y = std::max(top, y0); y <= bottom && y < y1; ++y) {
      const std::uint8_t* covered = mask_.ScanLine(y - top) + 3 * (xFrom - left);
      change += CoveredChange(s_.ScanLine(y) + 3 * xFrom, d_.ScanLine(y) + 3 * xFrom, covered, meanRow_.data(), bytes);
    }
  }
  if (change >= 0) {
    ++rejections_;
    return;
  }
  rejections_ = 0;
  for (int y = top; y <= bottom; ++y) {
    const std::uint8_t* covered = mask_.ScanLine(y - top);
    std::uint8_t* d = d_.ScanLine(y);
    for (int x = left; x <= right; ++x)
      if (covered[3 * (x - left)] == 0) std::copy(m, m + 3, d + 3 * x);
  }
}

void EmergenceRun::Triangle(int px, int py, int spread) {
  const int half = spread / 2, inset = spread / 16;
  int xs[3] = {px, 0, 0}, ys[3] = {py, 0, 0};
  for (int i = 1; i < 3; ++i) xs[i] = std::clamp(px + inset + Draw(spread - inset) - half, 0, w_ - 1);
  for (int i = 1; i < 3; ++i) ys[i] = std::clamp(py + inset + Draw(spread - inset) - half, 0, h_ - 1);
  ShadedVertex v[3];
  for (int i = 0; i < 3; ++i) {
    const std::uint8_t* c = S(xs[i], ys[i]);
    v[i].x = xs[i], v[i].y = ys[i];
    v[i].colour[0] = c[2], v[i].colour[1] = c[1], v[i].colour[2] = c[0];
  }
  if (spread >= kFirstLargeShape) {
    waiting_.Add(v[0], v[1], v[2]);
    return;
  }
  PaintWaitingShapes();
  // The trial square of the spread at the window's corner, clipped to the picture. The triangle
  // is shaded in the square's own coordinates, as it would be on a separate picture; only the
  // pixels it covers can differ from the canvas, so the comparison over the whole window comes
  // down to them, plus the gain asked for.
  const int x0 = std::max(0, px - half), y0 = std::max(0, py - half);
  const int x1 = std::min(w_, px + half), y1 = std::min(h_, py + half);
  for (ShadedVertex& t : v) t.x -= x0, t.y -= y0;
  const std::uint8_t* const sBase = s_.ScanLine(0);
  std::uint8_t* const dBase = d_.ScanLine(0);
  const std::ptrdiff_t sRows = s_.RowDistance(), dRows = d_.RowDistance();
  long long change = static_cast<long long>(st_.abstraction / 8) * spread;
  WalkShadedRows(spread, spread, v[0], v[1], v[2], [&](const ShadedSpan& span) {
    const int gy = span.y + y0;
    if (gy >= y1) return false;  // rows only grow
    const std::uint8_t* s = sBase + sRows * gy + 3 * x0;
    const std::uint8_t* d = dBase + dRows * gy + 3 * x0;
    const int last = std::min(span.last, x1 - 1 - x0);
    double colour[3] = {span.colour[0], span.colour[1], span.colour[2]};
    int rowChange = 0;  // at most 765 per pixel of a row narrower than the spread
    for (int x = span.first; x <= last; ++x) {
      const std::uint8_t trial[3] = {static_cast<std::uint8_t>(Truncated(colour[2])),
                                     static_cast<std::uint8_t>(Truncated(colour[1])),
                                     static_cast<std::uint8_t>(Truncated(colour[0]))};
      rowChange += Diff3(s + 3 * x, trial) - Diff3(s + 3 * x, d + 3 * x);
      NextColour(colour, span.step);
    }
    change += rowChange;
    return true;
  });
  if (change >= 0) {
    ++rejections_;
    return;
  }
  rejections_ = 0;
  WalkShadedRows(spread, spread, v[0], v[1], v[2], [&](const ShadedSpan& span) {
    const int gy = span.y + y0;
    if (gy >= h_) return false;
    std::uint8_t* d = dBase + dRows * gy + 3 * x0;
    const int last = std::min(span.last, w_ - 1 - x0);
    double colour[3] = {span.colour[0], span.colour[1], span.colour[2]};
    for (int x = span.first; x <= last; ++x) {
      d[3 * x] = static_cast<std::uint8_t>(Truncated(colour[2]));
      d[3 * x + 1] = static_cast<std::uint8_t>(Truncated(colour[1]));
      d[3 * x + 2] = static_cast<std::uint8_t>(Truncated(colour[0]));
      NextColour(colour, span.step);
    }
    return true;
  });
}

void EmergenceRun::CanvasAt(int x, int y, std::uint8_t bgr[3]) const {
  if (!waitingQuadrilaterals_.Empty()) {
    waitingQuadrilaterals_.ColourAt(d_, x, y, bgr);
  } else {
    waiting_.ColourAt(d_, x, y, bgr);
  }
}

void EmergenceRun::PaintWaitingShapes() {
  waiting_.PaintInto(d_);
  waitingQuadrilaterals_.PaintInto(d_);
}

void KeepInRange(EmergenceSettings& settings, RunContext& ctx) {
  // The slider stops at 255, where the divisor 1315 - 5 T2 is still 40.
  settings.iterations = std::clamp(settings.iterations, 0, 255);
  if (settings.maximumRadius < settings.minimumRadius) {
    settings.maximumRadius = settings.minimumRadius;
    ctx.MutableParams().s[4] = settings.minimumRadius;
  }
}

// The last row and column take the colours next to them (see PaintShadedTriangles).
void FillLastRowAndColumn(Bitmap& picture) {
  const int w = picture.Width(), h = picture.Height();
  if (w >= 2)
    for (int y = 0; y < h; ++y) std::copy_n(picture.ScanLine(y) + 3 * (w - 2), 3, picture.ScanLine(y) + 3 * (w - 1));
  if (h >= 2) std::copy_n(picture.ScanLine(h - 2), 3 * static_cast<std::size_t>(w), picture.ScanLine(h - 1));
}

}  // namespace

EmergenceSettings EmergenceSettingsFrom(const RunContext& ctx) {
  EmergenceSettings settings;
  settings.abstraction = ctx.S(1);
  settings.iterations = ctx.S(2);
  settings.contrast = ctx.S(3);
  settings.minimumRadius = ctx.S(4);
  settings.maximumRadius = ctx.S(5);
  settings.max = ctx.Params().maxRow2;
  return settings;
}

void PaintEmergence(Bitmap& source, Bitmap& output, EmergenceSettings settings, RunContext& ctx) {
  if (&source == &output) throw ImageError("Emergence cannot paint over its own source picture.");
  KeepInRange(settings, ctx);
  EmergenceRun(source, output, settings, ShapeKind::Quadrilateral, ctx).Run();
}

void PaintShadedTriangles(Bitmap& source, Bitmap& output, EmergenceSettings settings, RunContext& ctx) {
  if (&source == &output) throw ImageError("Emergence 2 cannot paint over its own source picture.");
  KeepInRange(settings, ctx);
  EmergenceRun(source, output, settings, ShapeKind::Triangle, ctx).Run();
  // Left black, they would frame every result with a dark line on two sides.
  FillLastRowAndColumn(output);
}

void PatchRandomPolygons(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  Bitmap work = source;
  PaintEmergence(work, output, EmergenceSettingsFrom(ctx), ctx);
}

void PatchShadedTriangles(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  Bitmap work = source;
  PaintShadedTriangles(work, output, EmergenceSettingsFrom(ctx), ctx);
}

namespace {

// Codes 22 and 25: R := copy of S; W1 := S; W2 := S; algorithm (W1, W2); surface finish W2.
WorkingPair EmergencePair() {
  WorkingPair pair;
  pair.secondIsSourceCopy = true;
  return pair;
}

}  // namespace

void FrameRandomPolygons(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  RunOnWorkingPair(S, R, ctx, EmergencePair(), [&](Bitmap& w1, Bitmap& w2) {
    PaintEmergence(w1, w2, EmergenceSettingsFrom(ctx), ctx);
  });
}

void FrameShadedTriangles(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  RunOnWorkingPair(S, R, ctx, EmergencePair(), [&](Bitmap& w1, Bitmap& w2) {
    PaintShadedTriangles(w1, w2, EmergenceSettingsFrom(ctx), ctx);
  });
}

}  // namespace brumeleaf
