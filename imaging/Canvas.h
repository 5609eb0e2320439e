#pragma once
// Our own rasteriser for what the effects draw on a Bitmap. Exact and identical on every
// machine: integer line stepping, MoveTo/LineTo without the end point, round ends and joins for
// pens wider than one pixel, polygon and ellipse fills, flood fill, scaled copies.
// Text is drawn by the finishing code through QtGui, not here.

#include <vector>

#include "imaging/Bitmap.h"

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

  void MoveTo(int x, int y) { current_ = {x, y}; }
  Point PenPos() const { return current_; }
  // Line from the current point to (x, y) with the pen; the end point itself is not painted
  // for a 1-pixel pen. Wider pens paint a stroke of that width with round ends.
  void LineTo(int x, int y);
  void Pixel(int x, int y, Colour c);  // clipped single pixel
  void FillRect(const Rect& r);        // with brushColor, clipped
  // Filled with the brush and outlined with the pen (penWidth 0 or `outline` false: no outline).
  void Polygon(const std::vector<Point>& points, bool outline = true);
  void Ellipse(const Rect& bounds, bool outline = true);
  void FloodFill(int x, int y, Colour colour, FloodFillStyle style);
  void Draw(int x, int y, const Bitmap& image);
  // Scaled copy by repeating or dropping pixels.
  void StretchDraw(const Rect& destination, const Bitmap& image);
  void CopyRect(const Rect& destination, const Bitmap& source, const Rect& sourceRect);

 private:
  Bitmap& target_;
  Point current_;
};

}  // namespace brumeleaf
