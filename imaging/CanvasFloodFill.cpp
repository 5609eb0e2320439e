// Flood fill of the canvas: 4-connected, row runs at a time, with an explicit stack of seeds
// so that no picture is deep enough to exhaust the call stack.

#include <cstdint>
#include <vector>

#include "imaging/Canvas.h"
#include "imaging/RasterMath.h"

namespace brumeleaf {

namespace {

// Which pixels the fill may still take. Surface: pixels of exactly the surface colour, which
// stop qualifying once painted (the brush colour differs). Border: pixels other than the border
// colour that are not yet taken; when the brush colour differs from the border, painted pixels
// still look fillable, so a mark per pixel remembers them.
class FillRule {
 public:
  FillRule(const Bitmap& target, Colour colour, FloodFillStyle style, Colour brush)
      : colour_(raster::BytesOf(colour)), border_(style == FloodFillStyle::Border), width_(target.Width()) {
    if (border_ && brush != colour) taken_.assign(static_cast<std::size_t>(width_) * target.Height(), false);
  }
  bool Takes(const std::uint8_t* row, int x, int y) const {
    const bool match = raster::Equals(row + 3 * x, colour_);
    if (!border_) return match;
    return !match && (taken_.empty() || !taken_[Index(x, y)]);
  }
  void Mark(int x0, int x1, int y) {
    if (taken_.empty()) return;
    for (int x = x0; x <= x1; ++x) taken_[Index(x, y)] = true;
  }

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
  raster::PixelBytes colour_;
  bool border_;
  int width_;
  std::vector<bool> taken_;
};

}  // namespace

void Canvas::FloodFill(int x, int y, Colour colour, FloodFillStyle style) {
  const int width = target_.Width(), height = target_.Height();
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  // Painting a surface with its own colour changes nothing (and would never finish).
  if (style == FloodFillStyle::Surface && brushColor == colour) return;
  FillRule rule(target_, colour, style, brushColor);
  if (!rule.Takes(target_.ScanLine(y), x, y)) return;
  const raster::PixelBytes paint = raster::BytesOf(brushColor);
  fillStack_.clear();
  fillStack_.push_back({x, y});
  while (!fillStack_.empty()) {
    const Point seed = fillStack_.back();
    fillStack_.pop_back();
    std::uint8_t* row = target_.ScanLine(seed.y);
    if (!rule.Takes(row, seed.x, seed.y)) continue;
    int left = seed.x, right = seed.x;
    while (left > 0 && rule.Takes(row, left - 1, seed.y)) --left;
    while (right < width - 1 && rule.Takes(row, right + 1, seed.y)) ++right;
    raster::FillRun(row, left, right, paint);
    rule.Mark(left, right, seed.y);
    // One seed for every run of fillable pixels touching this run above and below.
    for (const int ny : {seed.y - 1, seed.y + 1}) {
      if (ny < 0 || ny >= height) continue;
      const std::uint8_t* next = target_.ScanLine(ny);
      bool inRun = false;
      for (int nx = left; nx <= right; ++nx) {
        const bool takes = rule.Takes(next, nx, ny);
        if (takes && !inRun) fillStack_.push_back({nx, ny});
        inRun = takes;
      }
    }
  }
}

}  // namespace brumeleaf
