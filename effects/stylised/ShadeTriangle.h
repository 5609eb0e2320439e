#pragma once
// Gouraud-shaded triangles: the colours of the three corners interpolated across the triangle,
// row by row, with the left and right edge positions and colours added up one row at a time.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/Round.h"

namespace brumeleaf {

struct ShadedVertex {
  int x = 0;
  int y = 0;
  double colour[3] = {0, 0, 0};  // red, green, blue
};

// A level from an interpolated value: truncated, and kept to 0..255 against the last bit of
// drift that adding up many steps can leave at the ends of an edge.
inline int Truncated(double v) {
  if (!(v > 0)) return 0;
  return v >= 255 ? 255 : static_cast<int>(v);
}

// One row of a shaded triangle: the columns first .. last (first <= last, inside the picture)
// and the colour at `first` (red, green, blue) with its step from one column to the next. The
// colour of column x is the one at `first` with the step added x - first times, one addition
// at a time: NextColour keeps that order so every walker gives the same bits.
struct ShadedSpan {
  int y = 0;
  int first = 0;
  int last = -1;
  double colour[3] = {0, 0, 0};
  double step[3] = {0, 0, 0};
};

// Rows top.y .. bottom.y - 1 of the triangle (the bottom row is left to the triangle below it),
// inside 0 .. height - 1; on each row the columns round(xLeft) .. round(xRight) - 1 inside
// 0 .. width - 1. Calls row(span) for every row with at least one column, from the top down;
// the walk ends early when row returns false. Edges without rows (a flat top or bottom) are
// skipped, so a slope is never divided by zero; a triangle whose corners share one row paints
// nothing.
template <class Row>
void WalkShadedRows(int width, int height, ShadedVertex a, ShadedVertex b, ShadedVertex c, Row&& row) {
  // Sort by row (stable: corners on the same row keep their order).
  if (b.y < a.y) std::swap(a, b);
  if (c.y < b.y) std::swap(b, c);
  if (b.y < a.y) std::swap(a, b);
  const ShadedVertex &top = a, &mid = b, &bottom = c;
  if (bottom.y == top.y) return;

  const double longRows = bottom.y - top.y;
  const double longStep = (bottom.x - top.x) / longRows;
  double longColourStep[3], shortColourStep[3] = {0, 0, 0};
  for (int k = 0; k < 3; ++k) longColourStep[k] = (bottom.colour[k] - top.colour[k]) / longRows;
  double shortStep = 0;
  if (mid.y > top.y) {
    const double rows = mid.y - top.y;
    shortStep = (mid.x - top.x) / rows;
    for (int k = 0; k < 3; ++k) shortColourStep[k] = (mid.colour[k] - top.colour[k]) / rows;
  }
  // The long edge is the left one when its x at the middle row is the smaller.
  const bool longIsLeft = top.x + longStep * (mid.y - top.y) <= mid.x;

  double longX = top.x, shortX = top.x;
  double longColour[3], shortColour[3];
  for (int k = 0; k < 3; ++k) longColour[k] = shortColour[k] = top.colour[k];

  for (int y = top.y; y < bottom.y && y < height; ++y) {
    if (y == mid.y) {  // the lower short edge takes over (it has rows: y < bottom.y)
      const double rows = bottom.y - mid.y;
      shortX = mid.x;
      shortStep = (bottom.x - mid.x) / rows;
      for (int k = 0; k < 3; ++k) {
        shortColour[k] = mid.colour[k];
        shortColourStep[k] = (bottom.colour[k] - mid.colour[k]) / rows;
      }
    }
    if (y >= 0) {
      const double xLeft = longIsLeft ? longX : shortX;
      const double xRight = longIsLeft ? shortX : longX;
      const double* cLeft = longIsLeft ? longColour : shortColour;
      const double* cRight = longIsLeft ? shortColour : longColour;
      int first = static_cast<int>(RoundHalfEven(xLeft));
      int last = static_cast<int>(RoundHalfEven(xRight)) - 1;
      // Rounding keeps the order, so a non-empty span has xRight > xLeft: no division by zero.
      if (first <= last) {
        const double spanWidth = xRight - xLeft;
        ShadedSpan span;
        span.y = y;
        for (int k = 0; k < 3; ++k) {
          span.step[k] = (cRight[k] - cLeft[k]) / spanWidth;
          span.colour[k] = cLeft[k];
        }
        if (xLeft < 0) {
          first = 0;
          for (int k = 0; k < 3; ++k) span.colour[k] += -xLeft * span.step[k];
        }
        last = std::min(last, width - 1);
        span.first = first;
        span.last = last;
        if (first <= last && !row(static_cast<const ShadedSpan&>(span))) return;
      }
    }
    longX += longStep;
    shortX += shortStep;
    for (int k = 0; k < 3; ++k) {
      longColour[k] += longColourStep[k];
      shortColour[k] += shortColourStep[k];
    }
  }
}

// The next column's colour: the step added once.
inline void NextColour(double colour[3], const double step[3]) {
  for (int k = 0; k < 3; ++k) colour[k] += step[k];
}

// Calls plot(x, y, red, green, blue) for every pixel of the triangle (see WalkShadedRows), each
// channel the truncated interpolated value.
template <class Plot>
void WalkShadedTriangle(int width, int height, const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c,
                        Plot&& plot) {
  WalkShadedRows(width, height, a, b, c, [&](const ShadedSpan& span) {
    double colour[3] = {span.colour[0], span.colour[1], span.colour[2]};
    for (int x = span.first; x <= span.last; ++x) {
      plot(x, span.y, Truncated(colour[0]), Truncated(colour[1]), Truncated(colour[2]));
      NextColour(colour, span.step);
    }
    return true;
  });
}

// Paints the shaded triangle into `picture`.
void ShadeTriangle(Bitmap& picture, const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c);

// Triangles laid one over the other on a picture, kept until they are painted together. What
// a pixel shows then is decided by the last triangle over it alone, so painting them from the
// last back to the first, each pixel once, gives the bytes of painting them one after another
// with most of the pixels of the covered triangles never shaded. Until then, ColourAt reads a
// pixel as it would be after painting.
class LayeredShadedTriangles {
 public:
  void Add(const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c);
  bool Empty() const { return layers_.empty(); }
  // Pixel (x, y) of `picture` (blue, green, red) with the waiting triangles painted over it.
  void ColourAt(const Bitmap& picture, int x, int y, std::uint8_t bgr[3]) const;
  // Paints every waiting triangle into `picture` and forgets them.
  void PaintInto(Bitmap& picture);

 private:
  struct Layer {
    ShadedVertex v[3];
    int left, top, right, bottom;  // a box holding every pixel the triangle paints
  };
  std::vector<Layer> layers_;
};

}  // namespace brumeleaf
