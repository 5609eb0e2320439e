#include "effects/stylised/LayeredPolygons.h"

#include <algorithm>

#include "effects/stylised/TopmostCoverage.h"
#include "imaging/LineWalk.h"
#include "imaging/RasterMath.h"

namespace brumeleaf {

namespace {

Point Clamped(const Point& p) { return {raster::ClampCoordinate(p.x), raster::ClampCoordinate(p.y)}; }

// The fill's crossings of row y in order, as the canvas finds them: per edge with rows, the
// first column whose centre lies at or right of it, ceil(x - 1/2) in exact integers; the row's
// runs are then [c0, c1 - 1], [c2, c3 - 1], ... (even-odd).
void RowCrossings(const std::vector<Point>& corners, int y, std::vector<long long>& crossings) {
  crossings.clear();
  for (std::size_t i = 0; i < corners.size(); ++i) {
    Point a = Clamped(corners[i]), b = Clamped(corners[i + 1 == corners.size() ? 0 : i + 1]);
    if (a.y > b.y) std::swap(a, b);
    if (a.y == b.y || y < a.y || y >= b.y) continue;
    const long long dx = static_cast<long long>(b.x) - a.x;
    const long long d = 2 * (static_cast<long long>(b.y) - a.y);
    const long long n = (2 * (static_cast<long long>(y) - a.y) + 1) * dx;
    crossings.push_back(a.x + raster::CeilDiv<long long>(2 * n - d, 2 * d));
  }
  std::sort(crossings.begin(), crossings.end());
}

// Calls line(x0, y0, x1, y1) for the outline's sides in the order the canvas draws them.
template <class Line>
void Sides(const std::vector<Point>& corners, Line&& line) {
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Point& a = corners[i];
    const Point& b = corners[i + 1 == corners.size() ? 0 : i + 1];
    line(a.x, a.y, b.x, b.y);
  }
}

}  // namespace

void LayeredFlatPolygons::Add(const std::vector<Point>& corners, Colour colour) {
  Layer layer;
  layer.corners = corners;
  const raster::PixelBytes c = raster::BytesOf(colour);
  layer.bgr[0] = c.b, layer.bgr[1] = c.g, layer.bgr[2] = c.r;
  layer.left = layer.top = raster::kCoordinateLimit;
  layer.right = layer.bottom = -raster::kCoordinateLimit;
  for (const Point& p : corners) {
    // The outline runs through the corners themselves, the fill within the clamped ones.
    layer.left = std::min({layer.left, p.x, Clamped(p).x}), layer.right = std::max({layer.right, p.x, Clamped(p).x});
    layer.top = std::min({layer.top, p.y, Clamped(p).y}), layer.bottom = std::max({layer.bottom, p.y, Clamped(p).y});
  }
  layers_.push_back(std::move(layer));
}

bool LayeredFlatPolygons::Covers(const Layer& layer, int width, int height, int x, int y) const {
  if (x < layer.left || x > layer.right || y < layer.top || y > layer.bottom) return false;
  RowCrossings(layer.corners, y, crossings_);
  for (std::size_t i = 0; i + 1 < crossings_.size(); i += 2)
    if (x >= crossings_[i] && x < crossings_[i + 1]) return true;
  // The outline: each side walked only over this one pixel.
  bool hit = false;
  const raster::ClipBox pixel{x, y, std::min(x + 1, width), std::min(y + 1, height)};
  Sides(layer.corners, [&](int x0, int y0, int x1, int y1) {
    if (!hit) raster::WalkLine(x0, y0, x1, y1, false, pixel, [&](int, int) { hit = true; });
  });
  return hit;
}

void LayeredFlatPolygons::ColourAt(const Bitmap& picture, int x, int y, std::uint8_t bgr[3]) const {
  for (auto layer = layers_.rbegin(); layer != layers_.rend(); ++layer) {
    if (Covers(*layer, picture.Width(), picture.Height(), x, y)) {
      std::copy_n(layer->bgr, 3, bgr);
      return;
    }
  }
  std::copy_n(picture.ScanLine(y) + 3 * x, 3, bgr);
}

void LayeredFlatPolygons::PaintInto(Bitmap& picture) {
  if (layers_.empty() || picture.Empty()) {
    layers_.clear();
    return;
  }
  if (layers_.size() == 1) {
    Canvas canvas(picture);
    canvas.brushColor = canvas.penColor =
        MakeColour(layers_[0].bgr[2], layers_[0].bgr[1], layers_[0].bgr[0]);
    canvas.Polygon(layers_[0].corners);
    layers_.clear();
    return;
  }
  // From the last polygon back: a pixel is painted by the first polygon found over it.
  const int width = picture.Width(), height = picture.Height();
  TopmostCoverage coverage(width, height);
  std::uint8_t* const base = picture.ScanLine(0);
  const std::ptrdiff_t rowDistance = picture.RowDistance();
  const auto paint = [&](const Layer& layer, int x, int y) {
    if (coverage.Claim(x, y)) std::copy_n(layer.bgr, 3, base + rowDistance * y + 3 * x);
  };
  for (auto layer = layers_.rbegin(); layer != layers_.rend() && !coverage.Complete(); ++layer) {
    const int firstRow = std::max(layer->top, 0), endRow = std::min(layer->bottom, height);
    for (int y = firstRow; y < endRow; ++y) {
      const int lo = coverage.First(y), hi = coverage.Last(y);
      if (lo > hi || layer->right < lo || layer->left > hi) continue;
      RowCrossings(layer->corners, y, crossings_);
      for (std::size_t i = 0; i + 1 < crossings_.size(); i += 2) {
        const long long from = std::max<long long>(crossings_[i], lo);
        const long long to = std::min<long long>(crossings_[i + 1] - 1, hi);
        for (long long x = from; x <= to; ++x) paint(*layer, static_cast<int>(x), y);
      }
      coverage.Tighten(y);
    }
    // The outline; the rows' first and last columns stay true bounds of what is unclaimed.
    const raster::ClipBox box{0, 0, width, height};
    Sides(layer->corners, [&](int x0, int y0, int x1, int y1) {
      raster::WalkLine(x0, y0, x1, y1, false, box, [&](int x, int y) { paint(*layer, x, y); });
    });
  }
  layers_.clear();
}

}  // namespace brumeleaf
