#include "imaging/SpanRows.h"

#include <algorithm>

#include "imaging/RasterMath.h"

namespace brumeleaf {

void SpanRows::Reset(int height) {
  left_.assign(height, 1);
  right_.assign(height, 0);
  top_ = height;
  bottom_ = -1;
}

void SpanRows::Paint(Bitmap& target, Colour colour) {
  const raster::PixelBytes c = raster::BytesOf(colour);
  const int width = target.Width();
  for (int y = top_; y <= bottom_; ++y) {
    const int x0 = std::max(left_[y], 0), x1 = std::min(right_[y], width - 1);
    if (x0 <= x1) raster::FillRun(target.ScanLine(y), x0, x1, c);
    left_[y] = 1;
    right_[y] = 0;
  }
  top_ = static_cast<int>(left_.size());
  bottom_ = -1;
}

}  // namespace brumeleaf
