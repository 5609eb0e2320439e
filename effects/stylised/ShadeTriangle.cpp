#include "effects/stylised/ShadeTriangle.h"

#include <algorithm>
#include <cstdint>

#include "effects/stylised/TopmostCoverage.h"

namespace brumeleaf {

void ShadeTriangle(Bitmap& picture, const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c) {
  if (picture.Empty()) return;
  std::uint8_t* const base = picture.ScanLine(0);
  const std::ptrdiff_t rowDistance = picture.RowDistance();
  WalkShadedTriangle(picture.Width(), picture.Height(), a, b, c, [&](int x, int y, int r, int g, int bl) {
    std::uint8_t* p = base + rowDistance * y + 3 * x;
    p[0] = static_cast<std::uint8_t>(bl);
    p[1] = static_cast<std::uint8_t>(g);
    p[2] = static_cast<std::uint8_t>(r);
  });
}

void LayeredShadedTriangles::Add(const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c) {
  // Rounding the interpolated edges can reach half a column past the corners; one column of
  // margin each side also holds the drift of the added-up steps.
  Layer t{{a, b, c}, std::min({a.x, b.x, c.x}) - 1, std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}) + 1,
          std::max({a.y, b.y, c.y})};
  layers_.push_back(t);
}

namespace {

void StoreTruncated(const double colour[3], std::uint8_t* bgr) {
  bgr[0] = static_cast<std::uint8_t>(Truncated(colour[2]));
  bgr[1] = static_cast<std::uint8_t>(Truncated(colour[1]));
  bgr[2] = static_cast<std::uint8_t>(Truncated(colour[0]));
}

}  // namespace

void LayeredShadedTriangles::ColourAt(const Bitmap& picture, int x, int y, std::uint8_t bgr[3]) const {
  const int width = picture.Width(), height = picture.Height();
  for (auto t = layers_.rbegin(); t != layers_.rend(); ++t) {
    if (x < t->left || x > t->right || y < t->top || y > t->bottom) continue;
    bool inside = false;
    WalkShadedRows(width, height, t->v[0], t->v[1], t->v[2], [&](const ShadedSpan& span) {
      if (span.y < y) return true;
      if (span.y == y && span.first <= x && x <= span.last) {
        double colour[3] = {span.colour[0], span.colour[1], span.colour[2]};
        for (int i = span.first; i < x; ++i) NextColour(colour, span.step);
        StoreTruncated(colour, bgr);
        inside = true;
      }
      return false;
    });
    if (inside) return;
  }
  std::copy_n(picture.ScanLine(y) + 3 * x, 3, bgr);
}

void LayeredShadedTriangles::PaintInto(Bitmap& picture) {
  if (layers_.empty() || picture.Empty()) {
    layers_.clear();
    return;
  }
  if (layers_.size() == 1) {
    ShadeTriangle(picture, layers_[0].v[0], layers_[0].v[1], layers_[0].v[2]);
    layers_.clear();
    return;
  }
  // From the last triangle back: a pixel is painted by the first triangle found over it; the
  // colours are still added up from each span's first column.
  const int width = picture.Width(), height = picture.Height();
  TopmostCoverage coverage(width, height);
  std::uint8_t* const base = picture.ScanLine(0);
  const std::ptrdiff_t rowDistance = picture.RowDistance();
  for (auto t = layers_.rbegin(); t != layers_.rend() && !coverage.Complete(); ++t) {
    WalkShadedRows(width, height, t->v[0], t->v[1], t->v[2], [&](const ShadedSpan& span) {
      const int lo = coverage.First(span.y), hi = coverage.Last(span.y);
      if (span.last < lo || span.first > hi) return true;
      std::uint8_t* row = base + rowDistance * span.y;
      double colour[3] = {span.colour[0], span.colour[1], span.colour[2]};
      int x = span.first;
      for (; x < lo; ++x) NextColour(colour, span.step);
      const int end = std::min(span.last, hi);
      for (; x <= end; ++x) {
        if (coverage.Claim(x, span.y)) StoreTruncated(colour, row + 3 * x);
        NextColour(colour, span.step);
      }
      coverage.Tighten(span.y);
      return true;
    });
  }
  layers_.clear();
}

}  // namespace brumeleaf
