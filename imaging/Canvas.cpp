#include "imaging/Canvas.h"

#include <algorithm>

#include "imaging/LineWalk.h"
#include "imaging/RasterMath.h"

namespace brumeleaf {

void Canvas::LineTo(int x, int y) {
  const Point from = current_;
  current_ = {x, y};
  if (target_.Empty()) return;
  if (penWidth <= 1) {
    ThinLine(from.x, from.y, x, y);
  } else {
    WideLine(from.x, from.y, x, y);
  }
}

void Canvas::ThinLine(int x0, int y0, int x1, int y1) {
  const raster::PixelBytes c = raster::BytesOf(penColor);
  const raster::ClipBox box{0, 0, target_.Width(), target_.Height()};
  std::uint8_t* const base = target_.ScanLine(0);
  const std::ptrdiff_t rowDistance = target_.RowDistance();
  raster::WalkLine(x0, y0, x1, y1, false, box, [&](int x, int y) {
    raster::Put(base + rowDistance * y + 3 * x, c);
  });
}

void Canvas::PreparePen() {
  disc_.SetWidth(penWidth);
  if (strokeRows_.Rows() != target_.Height()) strokeRows_.Reset(target_.Height());
  if (secondRows_.Rows() != target_.Height()) secondRows_.Reset(target_.Height());
}

// The stroke is the union of pen discs centred on every pixel of the thin line, both end
// points included: that gives the round ends, and round joins where strokes meet.
void Canvas::WideLine(int x0, int y0, int x1, int y1) {
  PreparePen();
  const int height = target_.Height();
  const int top = disc_.Top(), w = disc_.Width();
  // Centres further out than the disc reaches cannot touch the picture.
  const raster::ClipBox reach{-w, -w, target_.Width() + w, height + w};
  raster::WalkLine(x0, y0, x1, y1, true, reach, [&](int cx, int cy) {
    const int first = std::max(0, -(cy + top)), last = std::min(w - 1, height - 1 - (cy + top));
    for (int row = first; row <= last; ++row) {
      strokeRows_.Add(cy + top + row, cx + disc_.Left(row), cx + disc_.Right(row));
    }
  });
  strokeRows_.Paint(target_, penColor);
}

void Canvas::Pixel(int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= target_.Width() || y >= target_.Height()) return;
  raster::Put(target_.ScanLine(y) + 3 * x, raster::BytesOf(c));
}

void Canvas::FillRect(const Rect& r) { target_.FillRect(r.left, r.top, r.right, r.bottom, brushColor); }

void Canvas::Draw(int x, int y, const Bitmap& image) { target_.Draw(x, y, image); }

}  // namespace brumeleaf
