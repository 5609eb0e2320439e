#include "effects/painting/ExpressiveStrokes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintBrushes.h"

namespace brumeleaf {

namespace {

constexpr int kInk = 245;                 // brush levels from here up carry no paint
constexpr std::int32_t kUntried = 99999999;
constexpr int kOrientations = 10;
constexpr int kPainting8 = 20;
constexpr int kWatercolour = 4;

struct InkPixel {
  int u, v;
  int weight;  // 255 - level, above 10
};

struct OrientedBrush {
  std::vector<std::uint8_t> level;  // b x b, row by row
  std::vector<InkPixel> ink;        // the pixels below kInk, row by row
};

// Per destination pixel: the best orientation found for it and its error. The stroke's colour,
// the mean of the source under that orientation's ink, is measured again when the stroke is
// painted: the source does not change, and three bytes a pixel are 36 MB at 12 megapixels.
struct Records {
  std::vector<std::int32_t> error;
  std::vector<std::uint8_t> orientation;

  explicit Records(std::size_t pixels) : error(pixels, kUntried), orientation(pixels, 0) {}
};

// Grey level of local detail: the mean channel distance of each interior pixel from the mean
// of its eight neighbours. The outer border stays 0. A row's distances are worked out byte by
// byte along the row first (the same sums for every channel, which the compiler does many at a
// time), then taken three at a time.
std::vector<std::uint8_t> DetailMap(const Bitmap& source) {
  const int w = source.Width(), h = source.Height();
  std::vector<std::uint8_t> detail(static_cast<std::size_t>(w) * h, 0);
  if (w < 3) return detail;
  ForEachRowBand(1, h - 1, 32, [&](int begin, int end) {
    const std::size_t bytes = static_cast<std::size_t>(3) * w;
    std::vector<std::uint8_t> distance(bytes);
    for (int y = begin; y < end; ++y) {
      const std::uint8_t* up = source.ScanLine(y - 1);
      const std::uint8_t* mid = source.ScanLine(y);
      const std::uint8_t* down = source.ScanLine(y + 1);
      for (std::size_t i = 3; i < bytes - 3; ++i) {
        const int m = (up[i - 3] + up[i] + up[i + 3] + mid[i - 3] + mid[i + 3] + down[i - 3] + down[i] + down[i + 3]) >> 3;
        distance[i] = static_cast<std::uint8_t>(std::abs(mid[i] - m));
      }
      std::uint8_t* out = detail.data() + static_cast<std::size_t>(y) * w;
      for (int x = 1; x < w - 1; ++x) {
        const std::uint8_t* d = distance.data() + 3 * x;
        out[x] = static_cast<std::uint8_t>((d[0] + d[1] + d[2]) / 3);
      }
    }
  });
  return detail;
}

Bitmap BrushImage(const RunContext& ctx, int pass) {
  const ParameterSnapshot& p = ctx.Params();
  if (p.customBrush && p.customBrushPicture && !p.customBrushPicture->Empty()) return *p.customBrushPicture;
  return BrushTile(1, pass == 1 ? 2 : 7);
}

OrientedBrush Oriented(const Bitmap& turned) {
  const int b = turned.Width();
  OrientedBrush brush;
  brush.level.resize(static_cast<std::size_t>(b) * b);
  for (int v = 0; v < b; ++v) {
    const std::uint8_t* row = turned.ScanLine(v);
    for (int u = 0; u < b; ++u) {
      const int level = row[3 * u + 2];
      brush.level[static_cast<std::size_t>(v) * b + u] = static_cast<std::uint8_t>(level);
      if (level < kInk) brush.ink.push_back({u, v, 255 - level});
    }
  }
  return brush;
}

// Ten orientations of the brush at b x b: a quarter turn each way for 0 and 5, turns by 18 u
// degrees about the centre for the others.
std::array<OrientedBrush, kOrientations> OrientBrushes(const Bitmap& image, int b, RunContext& ctx) {
  Bitmap stretched(b, b);
  StretchBilinear(image, stretched);
  RunContext quiet = ctx;  // the turns report no progress of their own here
  quiet.silent = true;
  std::array<OrientedBrush, kOrientations> brushes;
  for (int u = 0; u < kOrientations; ++u) {
    Bitmap turned(b, b);
    if (u == 0 || u == 5) {
      for (int y = 0; y < b; ++y)
        for (int x = 0; x < b; ++x) {
          const Colour c = stretched.Pixel(x, y);
          if (u == 0) turned.SetPixel(y, b - 1 - x, c);
          else turned.SetPixel(b - 1 - y, x, c);
        }
    } else {
      RotateBitmapAngle(stretched, turned, 18 * u, quiet);
      if (turned.Width() != b || turned.Height() != b) turned = stretched;  // failed: the run stops
    }
    brushes[static_cast<std::size_t>(u)] = Oriented(turned);
  }
  return brushes;
}

class StrokePainter {
 public:
  StrokePainter(const Bitmap& source, Bitmap& destination, int b,
                const std::array<OrientedBrush, kOrientations>& brushes, Records& records)
      : w_(source.Width()), h_(source.Height()), b_(b), half_(b / 2), brushes_(brushes), records_(records),
        src_(source.RowTable()), dst_(destination.RowTable()), sameRows_(destination.RowDistance() == source.RowDistance()) {
    // Rows lie one row distance apart, so an ink pixel of a footprint wholly on the picture is
    // a fixed distance from the footprint's corner.
    for (std::size_t j = 0; j < kOrientations; ++j) {
      inside_[j].reserve(brushes[j].ink.size());
      for (const InkPixel& p : brushes[j].ink)
        inside_[j].push_back({static_cast<std::ptrdiff_t>(p.v) * source.RowDistance() + 3 * p.u, p.weight});
    }
  }

  // Tries the ten orientations at (x, y); the record keeps the best one seen so far.
  void Evaluate(int x, int y) {
    const int left = x - half_, top = y - half_;
    if (Inside(left, top)) {
      EvaluateInside(Index(x, y), src_[static_cast<std::size_t>(top)] + 3 * left);
    } else {
      EvaluateAt<true>(x, y, left, top);
    }
  }

  std::int32_t Error(int x, int y) const { return records_.error[Index(x, y)]; }

  // Paints the record's orientation and colour centred on (x, y), shifted by (dx, dy) and
  // narrowed by the shift on each side.
  void PaintJittered(int x, int y, int dx, int dy) {
    const std::size_t i = Index(x, y);
    const OrientedBrush& brush = brushes_[records_.orientation[i]];
    std::uint8_t colour[3];
    RecordColour(x, y, colour);
    const int y0 = std::max(0, y - half_ + std::abs(dy)), y1 = std::min(h_ - 1, y + half_ - 1 - std::abs(dy));
    const int x0 = std::max(0, x - half_ + std::abs(dx)), x1 = std::min(w_ - 1, x + half_ - 1 - std::abs(dx));
    for (int ty = y0; ty <= y1; ++ty) {
      const std::uint8_t* levels = brush.level.data() + static_cast<std::size_t>(ty - y + half_ - dy) * b_;
      std::uint8_t* d = dst_[ty];
      for (int tx = x0; tx <= x1; ++tx) {
        const int v = levels[tx - x + half_ - dx];
        if (v >= kInk) continue;
        for (int c = 0; c < 3; ++c) d[3 * tx + c] = static_cast<std::uint8_t>((v * d[3 * tx + c] + colour[c] * (255 - v)) >> 8);
      }
    }
  }

  // Repaints the record at (px, py) in the refinement; `rank` 0 is the best fit of its cell.
  void Repaint(int px, int py, int rank, bool detailed) {
    const std::size_t i = Index(px, py);
    const OrientedBrush& brush = brushes_[records_.orientation[i]];
    std::uint8_t colour[3];
    RecordColour(px, py, colour);
    const int left = px - half_, top = py - half_;
    if (sameRows_ && Inside(left, top)) {
      // Only the ink is painted, each pixel once: its pixels are reached by their distance
      // from the footprint's corner (the destination's rows lie as the source's).
      std::uint8_t* corner = dst_[static_cast<std::size_t>(top)] + 3 * left;
      for (const InsidePixel& ink : inside_[records_.orientation[i]])
        PaintPixel(corner + ink.offset, 255 - ink.weight, colour, rank, detailed);
      return;
    }
    for (int v = 0; v < b_; ++v) {
      const int ty = top + v;
      if (ty < 0 || ty >= h_) continue;
      std::uint8_t* d = dst_[ty];
      for (int u = 0; u < b_; ++u) {
        const int tx = left + u;
        if (tx < 0 || tx >= w_) continue;
        const int level = brush.level[static_cast<std::size_t>(v) * b_ + u];
        if (level < kInk) PaintPixel(d + 3 * tx, level, colour, rank, detailed);
      }
    }
  }

  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * w_ + x; }

 private:
  // One destination pixel of a repaint under brush level `level`.
  static void PaintPixel(std::uint8_t* d, int level, const std::uint8_t colour[3], int rank, bool detailed) {
    for (int c = 0; c < 3; ++c) {
      int p = d[c];
      // The three best fits of a detailed cell get a second, slightly lighter layer.
      if (detailed && rank <= 2 && level < 240) {
        const int q = std::clamp(colour[c] + rank - 1, 0, 255);
        p = (((p * 50 + q * 50) / 100) + (level * p + colour[c] * (255 - level)) / 256) >> 1;
      }
      d[c] = static_cast<std::uint8_t>((level * p + colour[c] * (255 - level)) >> 8);
    }
  }

  // The mean colour of the source under orientation j's ink with its box at (left, top); false
  // when none of the ink lies on the picture. The mean leaves out the last row and column.
  template <bool kClip>
  bool InkMean(int left, int top, int j, int mean[3]) const {
    const std::vector<InkPixel>& ink = brushes_[static_cast<std::size_t>(j)].ink;
    int sum[3] = {0, 0, 0}, count = 0;
    for (const InkPixel& p : ink) {
      const int sx = left + p.u, sy = top + p.v;
      if (kClip && (sx < 0 || sy < 0 || sx > w_ - 2 || sy > h_ - 2)) continue;
      const std::uint8_t* s = src_[sy] + 3 * sx;
      sum[0] += s[0], sum[1] += s[1], sum[2] += s[2];
      ++count;
    }
    if (count == 0) return false;
    for (int c = 0; c < 3; ++c) mean[c] = sum[c] / count;
    return true;
  }

  // The colour of the record at (x, y): the mean its search found (black for an untried pixel).
  void RecordColour(int x, int y, std::uint8_t colour[3]) const {
    const std::size_t i = Index(x, y);
    int mean[3] = {0, 0, 0};
    if (records_.error[i] != kUntried) {
      const int left = x - half_, top = y - half_;
      const std::vector<InsidePixel>& ink = inside_[records_.orientation[i]];
      if (Inside(left, top)) {
        if (!ink.empty()) InsideMean(src_[static_cast<std::size_t>(top)] + 3 * left, ink, mean);
      } else {
        InkMean<true>(left, top, records_.orientation[i], mean);
      }
    }
    for (int c = 0; c < 3; ++c) colour[c] = static_cast<std::uint8_t>(mean[c]);
  }

  // A source pixel's colour distance from the mean times its ink (255 - brush level), in 32nds.
  static std::int32_t WeightedError(const std::uint8_t* s, const int mean[3], int weight) {
    const int d = std::abs(s[0] - mean[0]) + std::abs(s[1] - mean[1]) + std::abs(s[2] - mean[2]);
    return (d * weight) >> 5;
  }
  // Orientation j becomes pixel i's stroke when its error beats the best so far.
  void Offer(std::size_t i, std::size_t j, std::int32_t error) {
    if (error >= records_.error[i]) return;
    records_.error[i] = error;
    records_.orientation[i] = static_cast<std::uint8_t>(j);
  }

  template <bool kClip>
  void EvaluateAt(int x, int y, int left, int top) {
    const std::size_t i = Index(x, y);
    for (int j = 0; j < kOrientations; ++j) {
      const std::vector<InkPixel>& ink = brushes_[static_cast<std::size_t>(j)].ink;
      // A footprint whose ink lies wholly off the picture would score a perfect 0 with a black
      // mean and, jittered back onto the picture, paint black smudges: it is no candidate.
      int mean[3];
      if (!InkMean<kClip>(left, top, j, mean)) continue;
      const std::int32_t best = records_.error[i];
      std::int32_t error = 0;
      for (const InkPixel& p : ink) {
        const int sx = left + p.u, sy = top + p.v;
        if (kClip && (sx < 0 || sy < 0 || sx >= w_ || sy >= h_)) continue;
        error += WeightedError(src_[sy] + 3 * sx, mean, p.weight);
        if (error >= best) break;  // the sum only grows: this orientation cannot win
      }
      Offer(i, static_cast<std::size_t>(j), error);
    }
  }

  // EvaluateAt for a footprint wholly on the picture, less its last row and column, whose
  // corner is at `corner`: every ink pixel counts, reached by its distance from the corner.
  void EvaluateInside(std::size_t i, const std::uint8_t* corner) {
    for (std::size_t j = 0; j < kOrientations; ++j) {
      const std::vector<InsidePixel>& ink = inside_[j];
      if (ink.empty()) continue;  // no mean: no candidate
      int mean[3];
      InsideMean(corner, ink, mean);
      const std::int32_t best = records_.error[i];
      std::int32_t error = 0;
      for (const InsidePixel& p : ink) {
        error += WeightedError(corner + p.offset, mean, p.weight);
        if (error >= best) break;  // the sum only grows: this orientation cannot win
      }
      Offer(i, j, error);
    }
  }

  struct InsidePixel {
    std::ptrdiff_t offset;  // from the footprint's corner in the source (and the destination)
    int weight;
  };

  // A footprint with its corner at (left, top) lies wholly on the picture less its last row
  // and column, so that its mean counts every ink pixel and no pixel needs a test.
  bool Inside(int left, int top) const { return left >= 0 && top >= 0 && left + b_ <= w_ - 1 && top + b_ <= h_ - 1; }

  // InkMean of such a footprint (`ink` not empty).
  static void InsideMean(const std::uint8_t* corner, const std::vector<InsidePixel>& ink, int mean[3]) {
    int sum[3] = {0, 0, 0};
    for (const InsidePixel& p : ink) {
      const std::uint8_t* s = corner + p.offset;
      sum[0] += s[0], sum[1] += s[1], sum[2] += s[2];
    }
    const int count = static_cast<int>(ink.size());
    for (int c = 0; c < 3; ++c) mean[c] = sum[c] / count;
  }

  int w_, h_, b_, half_;
  std::array<std::vector<InsidePixel>, kOrientations> inside_;
  const std::array<OrientedBrush, kOrientations>& brushes_;
  Records& records_;
  std::vector<const std::uint8_t*> src_;
  std::vector<std::uint8_t*> dst_;
  bool sameRows_;  // the destination's rows lie as the source's (always, at the same size)
};

struct Candidate {
  std::int32_t error;
  int order;  // position in the search order of the cell: columns outer, rows inner
  int x, y;
};

}  // namespace

void ExpressiveStrokes(const Bitmap& source, Bitmap& destination, const ExpressiveStrokeArgs& args,
                       RunContext& ctx) {
  if (ctx.StopRequested()) return;
  if (&source == &destination) throw ImageError("The brushstrokes cannot be painted over their own source picture.");
  if (source.Width() != destination.Width() || source.Height() != destination.Height())
    throw ImageError("The brushstrokes need a destination of the source picture's size.");
  if (source.Empty()) return;
  int b = std::max(args.brushSize, 2);
  if (b % 2 != 0) ++b;
  const int half = b / 2;
  const int w = source.Width(), h = source.Height();
  const int t5 = ctx.S(3), t2 = ctx.S(2);
  const int code = ctx.Params().code;
  const int p = args.precision, e = std::max(args.strokes, 0);
  Random& random = ctx.Rand();
  random.SetSeed(kEffectSeed);

  Records records(static_cast<std::size_t>(w) * h);
  const std::vector<std::uint8_t> detail = DetailMap(source);
  const std::array<OrientedBrush, kOrientations> brushes = OrientBrushes(BrushImage(ctx, args.pass), b, ctx);
  std::int64_t ink = 0;
  for (const InkPixel& px : brushes[0].ink) ink += px.weight;
  const int base = static_cast<int>(ink * (125 - t5) / 5);

  StrokePainter painter(source, destination, b, brushes, records);
  // Pass A: every pixel may try a stroke; detail makes it likelier.
  for (int y = 0; y < h; ++y) {
    int coolDown = 0;  // a very good stroke pauses the next tries of its row
    const std::uint8_t* detailRow = detail.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      const int threshold = base + random.NextInt(base / 8);
      const int d = detailRow[x];
      if (d >= 5) coolDown = 0;
      if (coolDown > 0) --coolDown;
      if (random.NextInt(p) < 97 - d || coolDown != 0) continue;
      if (ctx.StopRequested()) return;
      painter.Evaluate(x, y);
      const std::int32_t best = painter.Error(x, y);
      if (threshold < best) continue;
      if ((threshold >> 3) >= best) coolDown = 33 - (t2 >> 3);
      const int s = 14 - std::min(d, 12);
      const int dx = random.NextInt(s) - s / 2;
      const int dy = random.NextInt(s) - s / 2;
      painter.PaintJittered(x, y, dx, dy);
    }
    if (y % 10 == 0 && code == kPainting8) {
      if (!ctx.preview) {
        ctx.ShowProgress(y, h, 2 * args.pass - 1, 4);
      } else {
        ctx.ShowInPreview(destination);
        if (args.pass == 1) ctx.PreviewProgressLine(y * 150 / h);
      }
    }
  }

  // Pass B: cell by cell, from the bottom right, the best-fitting records are painted again,
  // the worst accepted first and the best last.
  const int limit = base * 100 / 250;
  std::vector<Candidate> candidates;
  for (int cy = h / b - 1; cy >= 1; --cy) {
    for (int cx = w / b - 1; cx >= 1; --cx) {
      // Taking the smallest error again and again (the first in search order on a tie) until
      // it passes the limit is the order of a stable sort of the records within the limit.
      candidates.clear();
      int order = 0;
      for (int x = cx * b - half; x < cx * b + half; ++x)
        for (int y = cy * b - half; y < cy * b + half; ++y, ++order) {
          const std::int32_t error = painter.Error(x, y);
          if (error <= limit) candidates.push_back({error, order, x, y});
        }
      std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& c) {
        return a.error != c.error ? a.error < c.error : a.order < c.order;
      });
      const int accepted = static_cast<int>(std::min<std::size_t>(candidates.size(), static_cast<std::size_t>(e) + 1));
      for (int rank = accepted - 1; rank >= 0; --rank) {
        const Candidate& c = candidates[static_cast<std::size_t>(rank)];
        if (c.x == 0 || c.y == 0) continue;
        painter.Repaint(c.x, c.y, rank, detail[painter.Index(c.x, c.y)] >= 10);
      }
      if (ctx.preview && code == kPainting8) {
        ctx.ShowInPreview(destination);
        if (args.pass == 1) ctx.PreviewProgressLine(150 + cy * b * 50 / h);
      }
      if (ctx.StopRequested()) {
        ctx.ShowProgress(101, 100, 1, 1);
        return;
      }
    }
    if (!ctx.preview) {
      if (code == kPainting8) ctx.ShowProgress(h - cy * b, h, 2 * args.pass, 4);
      if (code == kWatercolour) ctx.ShowProgress(h - cy * b, h, 3, 4);
    }
  }
}

void ExpressivePainting(Bitmap& source, Bitmap& destination, RunContext& ctx) {
  ctx.MutableParams().code = kPainting8;
  if (destination.Width() != source.Width() || destination.Height() != source.Height()) destination = source;
  EnhanceLocalContrast(source, ctx.S(4) / 5, ctx.mean);
  const int b = ctx.S(1) / 4 + 15;
  const int e = (b * ctx.S(3)) * b / 256;
  ExpressiveStrokes(source, destination, {b, e, ctx.S(2) / 4 + 98, 1}, ctx);
  if (!ctx.StopRequested()) {
    Sharpen(destination);
    if (ctx.S(5) > 0) ExpressiveStrokes(source, destination, {b * 100 / 185, e, ctx.S(5) / 3 + 25, 2}, ctx);
    EnhanceLocalContrast(destination, ctx.S(4) / 4, ctx.mean);
  }
  ctx.ShowProgress(101, 100, 4, 4);
}

void PatchExpressivePainting(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  output = source;
  Bitmap work = source;
  ExpressivePainting(work, output, ctx);
}

// Code 20: the strokes are painted over a copy of the source in the result, which then goes
// through the surface stage.
void FrameExpressivePainting(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  PatchExpressivePainting(S, R, ctx);
  Deliver(R, R, ctx, Delivery::SurfaceFinish);
}

}  // namespace brumeleaf
