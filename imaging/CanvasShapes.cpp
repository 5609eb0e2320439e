// Polygon and ellipse fills and outlines of the canvas.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "imaging/Canvas.h"
#include "imaging/RasterMath.h"

namespace brumeleaf {

using raster::Int128;

namespace {

Point Clamped(const Point& p) { return {raster::ClampCoordinate(p.x), raster::ClampCoordinate(p.y)}; }

// A run of columns l..r of one row (empty when l > r).
struct Run {
  long long l = 1, r = 0;
  bool Empty() const { return l > r; }
};

// The inscribed ellipse of a rectangle in doubled coordinates: a pixel (x, y) is inside when
// (2x + 1 - sumX)^2 * h^2 + (2y + 1 - sumY)^2 * w^2 <= w^2 * h^2.
class EllipseRows {
 public:
  explicit EllipseRows(const Rect& r)
      : top_(r.top), bottom_(r.bottom), sumX_(static_cast<long long>(r.left) + r.right),
        sumY_(static_cast<long long>(r.top) + r.bottom), w_(r.right - r.left), h_(r.bottom - r.top) {}

  Run Row(long long y) const {
    if (y < top_ || y >= bottom_) return {};
    const long long v = 2 * y + 1 - sumY_;
    const Int128 room = static_cast<Int128>(w_) * w_ * (static_cast<Int128>(h_) * h_ - static_cast<Int128>(v) * v);
    const Int128 hh = static_cast<Int128>(h_) * h_;
    const double ratio = static_cast<double>(v) / static_cast<double>(h_);
    long long t = static_cast<long long>(static_cast<double>(w_) * std::sqrt(std::max(0.0, 1.0 - ratio * ratio)));
    while (t > 0 && static_cast<Int128>(t) * t * hh > room) --t;
    while (static_cast<Int128>(t + 1) * (t + 1) * hh <= room) ++t;
    return {raster::CeilDiv<long long>(sumX_ - 1 - t, 2), raster::FloorDiv<long long>(sumX_ - 1 + t, 2)};
  }
  long long Top() const { return top_; }
  long long Bottom() const { return bottom_; }

 private:
  long long top_, bottom_, sumX_, sumY_, w_, h_;
};

// Outline pixels of a row: those of `row` without a 4-neighbour in the rows above and below
// or beside it. Returned as a left and a right run (the same run when the row has no inside).
void OutlineRuns(const Run& up, const Run& row, const Run& down, Run& left, Run& right) {
  const long long innerL = std::max({up.l, down.l, row.l + 1});
  const long long innerR = std::min({up.r, down.r, row.r - 1});
  if (up.Empty() || down.Empty() || innerL > innerR) {
    left = right = row;
    return;
  }
  left = {row.l, innerL - 1};
  right = {innerR + 1, row.r};
}

Rect Ordered(const Rect& r) {
  Rect o{raster::ClampCoordinate(std::min(r.left, r.right)), raster::ClampCoordinate(std::min(r.top, r.bottom)),
         raster::ClampCoordinate(std::max(r.left, r.right)), raster::ClampCoordinate(std::max(r.top, r.bottom))};
  return o;
}

void PaintRun(Bitmap& target, int y, const Run& run, raster::PixelBytes c) {
  const long long x0 = std::max<long long>(run.l, 0), x1 = std::min<long long>(run.r, target.Width() - 1);
  if (x0 <= x1) raster::FillRun(target.ScanLine(y), static_cast<int>(x0), static_cast<int>(x1), c);
}

}  // namespace

void Canvas::Polygon(const std::vector<Point>& points, bool outline) {
  if (points.empty() || target_.Empty()) return;
  if (!brushClear && points.size() >= 3) FillPolygon(points);
  if (!outline || penWidth <= 0) return;
  const Point kept = current_;
  MoveTo(points.front().x, points.front().y);
  for (std::size_t i = 1; i < points.size(); ++i) LineTo(points[i].x, points[i].y);
  LineTo(points.front().x, points.front().y);
  current_ = kept;
}

namespace {

// One edge of a polygon with rows, walked down one row at a time. On row y its crossing is the
// first column whose centre lies at or right of it, ceil(x - 1/2) in exact integers:
// a.x + ceil((2n - d) / 2d) with d = 2 (b.y - a.y), n = (2 (y - a.y) + 1)(b.x - a.x). The
// quotient is carried from row to row with the remainder of its division, so a row costs an
// addition instead of a division and gives the same column.
class EdgeWalk {
 public:
  EdgeWalk() = default;
  EdgeWalk(Point a, Point b) {
    if (a.y > b.y) std::swap(a, b);
    a_ = a;
    top_ = a.y;
    bottom_ = b.y;
    dx_ = static_cast<long long>(b.x) - a.x;
    denominator_ = 4 * (static_cast<long long>(b.y) - a.y);  // 2d
    // The numerator 2n - d grows by 4 dx a row: A whole denominators and B left over.
    wholeSteps_ = raster::FloorDiv<long long>(4 * dx_, denominator_);
    stepRemainder_ = 4 * dx_ - wholeSteps_ * denominator_;
  }
  int Top() const { return top_; }
  int Bottom() const { return bottom_; }
  // The crossing on row y: the first call computes it, later calls must follow row by row.
  long long Crossing(int y) {
    if (!started_) {
      started_ = true;
      const long long d = denominator_ / 2;
      const long long numerator = 2 * ((2 * (static_cast<long long>(y) - a_.y) + 1) * dx_) - d;
      quotient_ = raster::CeilDiv<long long>(numerator, denominator_);
      remainder_ = quotient_ * denominator_ - numerator;  // 0 .. denominator - 1
    }
    return a_.x + quotient_;
  }
  // On to the next row: ceil((q D - r + A D + B) / D) = q + A + (B > r).
  void Next() {
    if (stepRemainder_ > remainder_) {
      quotient_ += wholeSteps_ + 1;
      remainder_ += denominator_ - stepRemainder_;
    } else {
      quotient_ += wholeSteps_;
      remainder_ -= stepRemainder_;
    }
  }

 private:
  Point a_;
  int top_ = 0, bottom_ = 0;
  long long dx_ = 0, denominator_ = 1, wholeSteps_ = 0, stepRemainder_ = 0;
  long long quotient_ = 0, remainder_ = 0;
  bool started_ = false;
};

// Paints runs of one colour: the colour's bytes repeated over 48 bytes (16 pixels) once, then
// copied a block at a time; the bytes are those of painting pixel after pixel.
class RunFiller {
 public:
  explicit RunFiller(raster::PixelBytes c) {
    for (int i = 0; i < kBlock; i += 3) raster::Put(pattern_ + i, c);
  }
  // Columns x0..x1 (inclusive, inside the row).
  void Fill(std::uint8_t* row, int x0, int x1) const {
    std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x0);
    std::size_t bytes = 3 * static_cast<std::size_t>(x1 - x0 + 1);
    for (; bytes >= kBlock; bytes -= kBlock, p += kBlock) std::memcpy(p, pattern_, kBlock);
    std::memcpy(p, pattern_, bytes);
  }

 private:
  static constexpr int kBlock = 48;
  std::uint8_t pattern_[kBlock];
};

}  // namespace

void Canvas::FillPolygon(const std::vector<Point>& points) {
  int minY = raster::kCoordinateLimit, maxY = -raster::kCoordinateLimit;
  for (const Point& p : points) {
    minY = std::min(minY, Clamped(p).y);
    maxY = std::max(maxY, Clamped(p).y);
  }
  const int firstRow = std::max(minY, 0), endRow = std::min(maxY, target_.Height());
  if (firstRow >= endRow) return;
  // Edges without rows cross no row of pixel centres.
  constexpr std::size_t kFewEdges = 8;
  EdgeWalk few[kFewEdges];
  std::vector<EdgeWalk> many;
  EdgeWalk* edges = few;
  std::size_t edgeCount = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Point a = Clamped(points[i]), b = Clamped(points[i + 1 == points.size() ? 0 : i + 1]);
    if (a.y == b.y) continue;
    if (edgeCount < kFewEdges) {
      few[edgeCount] = EdgeWalk(a, b);
    } else {
      if (many.empty()) many.assign(few, few + kFewEdges);
      many.emplace_back(a, b);
      edges = many.data();
    }
    ++edgeCount;
  }
  // Edges join the walk in the order of their top rows and leave it below their bottom rows,
  // so a row looks only at the edges that cross it.
  std::sort(edges, edges + edgeCount, [](const EdgeWalk& a, const EdgeWalk& b) { return a.Top() < b.Top(); });
  std::size_t next = 0, active = 0;  // edges[0 .. active) cross the row, edges[next ..) lie below
  const RunFiller run(raster::BytesOf(brushColor));
  const long long width = target_.Width();
  std::uint8_t* const base = target_.ScanLine(0);
  const std::ptrdiff_t rowDistance = target_.RowDistance();
  for (int y = firstRow; y < endRow; ++y) {
    for (std::size_t i = 0; i < active;) {
      if (edges[i].Bottom() <= y) {
        std::swap(edges[i], edges[active - 1]);
        --active;
      } else {
        ++i;
      }
    }
    while (next < edgeCount && edges[next].Top() <= y) {
      if (edges[next].Bottom() > y) {
        std::swap(edges[next], edges[active]);
        ++active;
      }
      ++next;
    }
    // A few crossings are kept on the stack and put in order by insertion.
    long long fewCrossings[kFewEdges];
    long long* crossings = fewCrossings;
    if (active > kFewEdges) {
      crossings_.resize(active);
      crossings = crossings_.data();
    }
    for (std::size_t i = 0; i < active; ++i) {
      const long long x = edges[i].Crossing(y);
      edges[i].Next();
      std::size_t j = i;
      if (active <= kFewEdges) {
        for (; j > 0 && crossings[j - 1] > x; --j) crossings[j] = crossings[j - 1];
      }
      crossings[j] = x;
    }
    if (active > kFewEdges) std::sort(crossings, crossings + active);
    std::uint8_t* row = base + rowDistance * y;
    for (std::size_t i = 0; i + 1 < active; i += 2) {
      const long long x0 = std::max(crossings[i], 0LL), x1 = std::min(crossings[i + 1], width) - 1;
      if (x0 <= x1) run.Fill(row, static_cast<int>(x0), static_cast<int>(x1));
    }
  }
}

void Canvas::Rectangle(const Rect& bounds, bool outline) {
  if (bounds.right <= bounds.left || bounds.bottom <= bounds.top || target_.Empty()) return;
  if (!brushClear) target_.FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom, brushColor);
  if (!outline || penWidth <= 0) return;
  const int right = bounds.right - 1, bottom = bounds.bottom - 1;
  const Point kept = current_;
  MoveTo(bounds.left, bounds.top);
  LineTo(right, bounds.top);
  LineTo(right, bottom);
  LineTo(bounds.left, bottom);
  LineTo(bounds.left, bounds.top);
  // Around a single pixel every side has no length; the outline is that pixel.
  if (penWidth <= 1 && right == bounds.left && bottom == bounds.top) Pixel(right, bottom, penColor);
  current_ = kept;
}

void Canvas::Ellipse(const Rect& bounds, bool outline) {
  const Rect r = Ordered(bounds);
  if (r.Width() == 0 || r.Height() == 0 || target_.Empty()) return;
  if (!brushClear) {
    const EllipseRows ellipse(r);
    const raster::PixelBytes c = raster::BytesOf(brushColor);
    const int endRow = std::min(r.bottom, target_.Height());
    for (int y = std::max(r.top, 0); y < endRow; ++y) PaintRun(target_, y, ellipse.Row(y), c);
  }
  if (!outline || penWidth <= 0) return;
  if (penWidth == 1) {
    ThinEllipseOutline(r);
  } else {
    WideEllipseOutline(r);
  }
}

void Canvas::ThinEllipseOutline(const Rect& r) {
  const EllipseRows ellipse(r);
  const raster::PixelBytes c = raster::BytesOf(penColor);
  const int firstRow = std::max(r.top, 0), endRow = std::min(r.bottom, target_.Height());
  Run up = ellipse.Row(firstRow - 1), row = ellipse.Row(firstRow);
  for (int y = firstRow; y < endRow; ++y) {
    const Run down = ellipse.Row(y + 1);
    Run left, right;
    OutlineRuns(up, row, down, left, right);
    PaintRun(target_, y, left, c);
    PaintRun(target_, y, right, c);
    up = row;
    row = down;
  }
}

// The pen disc stamped on every outline pixel; the left and right halves of the ring are
// collected separately because each covers one unbroken range per row.
void Canvas::WideEllipseOutline(const Rect& r) {
  PreparePen();
  const EllipseRows ellipse(r);
  const int height = target_.Height(), w = disc_.Width(), top = disc_.Top();
  const long long minX = -w - 1, maxX = static_cast<long long>(target_.Width()) + w;
  const auto stamp = [&](SpanRows& rows, int cy, const Run& run) {
    // Runs beyond the disc's reach of the picture's sides add nothing.
    if (run.Empty() || run.r < minX || run.l > maxX) return;
    const int l = static_cast<int>(std::clamp(run.l, minX, maxX));
    const int rr = static_cast<int>(std::clamp(run.r, minX, maxX));
    const int first = std::max(0, -(cy + top)), last = std::min(w - 1, height - 1 - (cy + top));
    for (int d = first; d <= last; ++d) rows.Add(cy + top + d, l + disc_.Left(d), rr + disc_.Right(d));
  };
  const int firstRow = std::max(r.top, -w), endRow = std::min(r.bottom, height + w);
  Run up = ellipse.Row(firstRow - 1), row = ellipse.Row(firstRow);
  for (int y = firstRow; y < endRow; ++y) {
    const Run down = ellipse.Row(y + 1);
    Run left, right;
    OutlineRuns(up, row, down, left, right);
    stamp(strokeRows_, y, left);
    stamp(secondRows_, y, right);
    up = row;
    row = down;
  }
  strokeRows_.Paint(target_, penColor);
  secondRows_.Paint(target_, penColor);
}

}  // namespace brumeleaf
