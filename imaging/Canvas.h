#pragma once
// Our own rasteriser for what the effects draw on a Bitmap. Exact and identical on every
// machine: integer line stepping, MoveTo/LineTo without the end point, round ends and joins for
// pens wider than one pixel, polygon and ellipse fills, flood fill, scaled copies.
// Text is drawn by the finishing code through QtGui, not here.

#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/PenDisc.h"
#include "imaging/SpanRows.h"

namespace brumeleaf {

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

enum class FloodFillStyle {
  Surface,  // fill the connected area of the given colour
  Border    // fill the connected area up to the given border colour
};

class Canvas {
 public:
  explicit Canvas(Bitmap& target) : target_(target) {}

  Colour penColor = kBlack;
  int penWidth = 1;
  Colour brushColor = kWhite;
  // A clear brush: Polygon and Ellipse draw only their outline (FillRect still fills).
  bool brushClear = false;

  void MoveTo(int x, int y) { current_ = {x, y}; }
  Point PenPos() const { return current_; }
  // Line from the current point to (x, y) with the pen; the end point itself is not painted
  // for a 1-pixel pen (a width of 0 or less draws as 1 pixel). Wider pens paint a stroke of
  // that width with round ends, so consecutive strokes meet in round joins.
  void LineTo(int x, int y);
  void Pixel(int x, int y, Colour c);  // clipped single pixel
  void FillRect(const Rect& r);        // with brushColor, clipped
  // Filled with the brush and outlined with the pen (penWidth 0 or `outline` false: no outline).
  // The fill takes the pixels whose centres lie inside (even-odd rule), with vertices on pixel
  // corners: the square (0,0) (10,0) (10,10) (0,10) fills columns and rows 0..9, and its outline
  // runs through the vertex pixels, adding column and row 10. The pen position is kept.
  void Polygon(const std::vector<Point>& points, bool outline = true);
  // Filled with the brush and outlined with the pen along its outermost pixels: for bounds
  // (l, t, r, b) the outline runs through the corners (l, t) and (r - 1, b - 1), so an outline
  // given by inclusive corners (a, b)-(c, d) is Rectangle({a, b, c + 1, d + 1}). Wider pens
  // centre their stroke on that path. The pen position is kept.
  void Rectangle(const Rect& bounds, bool outline = true);
  // The ellipse inscribed in `bounds` (right and bottom exclusive; inverted bounds are put
  // in order): the pixels whose centres lie inside. The 1-pixel outline is the ring of those
  // pixels that touch the outside; a wider pen stamps its disc along that ring.
  void Ellipse(const Rect& bounds, bool outline = true);
  // Fills with the brush colour, 4-connected from (x, y). Surface: the area of exactly
  // `colour` (nothing happens unless (x, y) has it). Border: the area of every colour other
  // than `colour`. Iterative, with its own stack: any picture size is safe.
  void FloodFill(int x, int y, Colour colour, FloodFillStyle style);
  void Draw(int x, int y, const Bitmap& image);
  // Scaled copy by repeating or dropping pixels: destination column x takes source column
  // left + (x - destination.left) * sourceWidth / destinationWidth, rows alike. Destination
  // pixels whose source pixel lies outside the source picture keep their colour; empty or
  // inverted rectangles copy nothing. The source may be the canvas's own picture.
  void StretchDraw(const Rect& destination, const Bitmap& image);
  void CopyRect(const Rect& destination, const Bitmap& source, const Rect& sourceRect);

 private:
  void ThinLine(int x0, int y0, int x1, int y1);
  void WideLine(int x0, int y0, int x1, int y1);
  void FillPolygon(const std::vector<Point>& points);
  void ThinEllipseOutline(const Rect& bounds);
  void WideEllipseOutline(const Rect& bounds);
  void PreparePen();

  Bitmap& target_;
  Point current_;
  // Scratch kept between calls so that repeated strokes and fills do not allocate.
  PenDisc disc_;
  SpanRows strokeRows_, secondRows_;
  std::vector<long long> crossings_;
  std::vector<Point> fillStack_;
  std::vector<int> sourceColumns_;
};

}  // namespace brumeleaf
