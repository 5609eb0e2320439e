// Scaled copies of the canvas: nearest pixel by repeating or dropping, never smoothing.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "imaging/Canvas.h"
#include "imaging/RasterMath.h"

namespace brumeleaf {

namespace {

// Source position start + floor(i * sourceLength / destinationLength) for i = first, first+1, ...
// without a division per step.
class NearestStep {
 public:
  NearestStep(long long start, long long sourceLength, long long destinationLength, long long first)
      : step_(sourceLength / destinationLength), extra_(sourceLength % destinationLength),
        length_(destinationLength) {
    const raster::Int128 product = static_cast<raster::Int128>(first) * sourceLength;
    position_ = start + static_cast<long long>(product / destinationLength);
    rest_ = static_cast<long long>(product % destinationLength);
  }
  long long Position() const { return position_; }
  void Next() {
    position_ += step_;
    rest_ += extra_;
    if (rest_ >= length_) {
      rest_ -= length_;
      ++position_;
    }
  }

 private:
  long long step_, extra_, length_, position_, rest_;
};

long long Span(int from, int to) { return static_cast<long long>(to) - from; }

}  // namespace

void Canvas::StretchDraw(const Rect& destination, const Bitmap& image) {
  CopyRect(destination, image, {0, 0, image.Width(), image.Height()});
}

void Canvas::CopyRect(const Rect& destination, const Bitmap& source, const Rect& sourceRect) {
  const long long dw = Span(destination.left, destination.right), dh = Span(destination.top, destination.bottom);
  const long long sw = Span(sourceRect.left, sourceRect.right), sh = Span(sourceRect.top, sourceRect.bottom);
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || source.Empty() || target_.Empty()) return;
  if (&source == &target_) {
    // Copying within one picture: read from a copy of the part of the source that exists, so
    // that rows written early are not read again later.
    const int left = std::clamp(sourceRect.left, 0, source.Width());
    const int top = std::clamp(sourceRect.top, 0, source.Height());
    const int right = std::clamp(sourceRect.right, 0, source.Width());
    const int bottom = std::clamp(sourceRect.bottom, 0, source.Height());
    if (left >= right || top >= bottom) return;
    Bitmap part(right - left, bottom - top);
    part.Draw(-left, -top, source);
    const Rect shifted{static_cast<int>(sourceRect.left - static_cast<long long>(left)),
                       static_cast<int>(sourceRect.top - static_cast<long long>(top)),
                       static_cast<int>(sourceRect.right - static_cast<long long>(left)),
                       static_cast<int>(sourceRect.bottom - static_cast<long long>(top))};
    CopyRect(destination, part, shifted);
    return;
  }
  const int x0 = std::max(destination.left, 0), x1 = std::min(destination.right, target_.Width());
  const int y0 = std::max(destination.top, 0), y1 = std::min(destination.bottom, target_.Height());
  if (x0 >= x1 || y0 >= y1) return;

  // Source column of every visible destination column, -1 where it falls outside the source.
  sourceColumns_.resize(x1 - x0);
  NearestStep column(sourceRect.left, sw, dw, Span(destination.left, x0));
  for (int x = x0; x < x1; ++x, column.Next()) {
    const long long sx = column.Position();
    sourceColumns_[x - x0] = (sx >= 0 && sx < source.Width()) ? static_cast<int>(sx) : -1;
  }
  // Unscaled columns form one contiguous block that can be copied row by row.
  const bool sameWidth = sw == dw;
  int blockFirst = x1, blockLast = x0 - 1;
  for (int x = x0; x < x1; ++x) {
    if (sourceColumns_[x - x0] < 0) continue;
    blockFirst = std::min(blockFirst, x);
    blockLast = std::max(blockLast, x);
  }
  if (blockFirst > blockLast) return;

  NearestStep row(sourceRect.top, sh, dh, Span(destination.top, y0));
  for (int y = y0; y < y1; ++y, row.Next()) {
    const long long sy = row.Position();
    if (sy < 0 || sy >= source.Height()) continue;
    const std::uint8_t* in = source.ScanLine(static_cast<int>(sy));
    std::uint8_t* out = target_.ScanLine(y);
    if (sameWidth) {
      std::memcpy(out + 3 * blockFirst, in + 3 * sourceColumns_[blockFirst - x0],
                  3 * static_cast<std::size_t>(blockLast - blockFirst + 1));
      continue;
    }
    for (int x = blockFirst; x <= blockLast; ++x) {
      const int sx = sourceColumns_[x - x0];
      if (sx < 0) continue;
      std::memcpy(out + 3 * x, in + 3 * sx, 3);
    }
  }
}

}  // namespace brumeleaf
