#pragma once
// The pixels where the oil pastel may still place a stamp: those whose red differs from the
// source's by at least the search tolerance. The stamp loop draws random positions until it
// meets one; the count tells it beforehand whether one exists at all, so the search cannot
// run forever on a picture the drawing already matches (a white one, for instance).
//
// The answer for every pixel is kept as one bit: the search makes several draws per stamp,
// and reading two 24-bit pictures at random places costs two cache misses per draw, while
// the bits of a 12-megapixel picture (1.5 MB) stay in the cache.

#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

class StampSearchTargets {
 public:
  StampSearchTargets(const Bitmap& source, const Bitmap& drawing, int tolerance);

  bool Any() const { return count_ > 0; }
  std::int64_t Count() const { return count_; }
  bool Qualifies(int x, int y) const {
    return (bits_[static_cast<std::size_t>(y) * words_ + static_cast<std::size_t>(x >> 6)] >> (x & 63)) & 1u;
  }

  // Call after every change of the drawing inside the rectangle [left, right) x [top, bottom)
  // (clipped to the picture): its bits and the count follow the drawing again.
  void Refresh(int left, int top, int right, int bottom);

 private:
  bool Differs(int x, int y) const;

  std::vector<const std::uint8_t*> sourceRows_;
  std::vector<const std::uint8_t*> drawingRows_;
  std::vector<std::uint64_t> bits_;
  std::size_t words_ = 0;  // words per row
  int width_;
  int height_;
  int tolerance_;
  std::int64_t count_ = 0;
};

}  // namespace brumeleaf
