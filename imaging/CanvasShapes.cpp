// Polygon and ellipse fills and outlines of the canvas.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "imaging/Canvas.h"
#include "imaging/RasterMath.h"

namespace brumeleaf {

using raster::Int128;

namespace {

// The x value at which a pixel-centre row crosses an edge, as the first column whose centre
// lies at or right of the crossing: ceil(x - 1/2) in exact integers.
long long CrossingColumn(Point a, Point b, int y) {
  if (a.y > b.y) std::swap(a, b);
  const long long dx = static_cast<long long>(b.x) - a.x;
  const long long d = 2 * (static_cast<long long>(b.y) - a.y);
  const long long n = (2 * (static_cast<long long>(y) - a.y) + 1) * dx;
  return a.x + raster::CeilDiv<long long>(2 * n - d, 2 * d);
}

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

void Canvas::FillPolygon(const std::vector<Point>& points) {
  int minY = raster::kCoordinateLimit, maxY = -raster::kCoordinateLimit;
  for (const Point& p : points) {
    minY = std::min(minY, Clamped(p).y);
    maxY = std::max(maxY, Clamped(p).y);
  }
  const int firstRow = std::max(minY, 0), endRow = std::min(maxY, target_.Height());
  const raster::PixelBytes c = raster::BytesOf(brushColor);
  const long long width = target_.Width();
  for (int y = firstRow; y < endRow; ++y) {
    crossings_.clear();
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Point a = Clamped(points[i]), b = Clamped(points[(i + 1) % points.size()]);
      if (a.y == b.y || y < std::min(a.y, b.y) || y >= std::max(a.y, b.y)) continue;
      crossings_.push_back(CrossingColumn(a, b, y));
    }
    std::sort(crossings_.begin(), crossings_.end());
    std::uint8_t* row = target_.ScanLine(y);
    for (std::size_t i = 0; i + 1 < crossings_.size(); i += 2) {
      const long long x0 = std::max(crossings_[i], 0LL), x1 = std::min(crossings_[i + 1], width) - 1;
      if (x0 <= x1) raster::FillRun(row, static_cast<int>(x0), static_cast<int>(x1), c);
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
