#pragma once
// The pixels where the oil pastel may still place a stamp: those whose red differs from the
// source's by at least the search tolerance. The stamp loop draws random positions until it
// meets one; this count tells it beforehand whether one exists at all, so the search cannot
// run forever on a picture the drawing already matches (a white one, for instance).

#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

class StampSearchTargets {
 public:
  StampSearchTargets(const Bitmap& source, const Bitmap& drawing, int tolerance);

  bool Any() const { return count_ > 0; }
  std::int64_t Count() const { return count_; }
  bool Qualifies(int x, int y) const;

  // One pixel of the drawing changed: whether it qualified before and whether it does now.
  void Changed(bool before, bool after) { count_ += (after ? 1 : 0) - (before ? 1 : 0); }
  // Call around every change of the drawing inside the rectangle (clipped to the picture):
  // Forget before the change, Recount after it.
  void Forget(int left, int top, int right, int bottom) { count_ -= CountIn(left, top, right, bottom); }
  void Recount(int left, int top, int right, int bottom) { count_ += CountIn(left, top, right, bottom); }

 private:
  std::int64_t CountIn(int left, int top, int right, int bottom) const;

  std::vector<const std::uint8_t*> sourceRows_;
  std::vector<const std::uint8_t*> drawingRows_;
  int width_;
  int height_;
  int tolerance_;
  std::int64_t count_ = 0;
};

}  // namespace brumeleaf
