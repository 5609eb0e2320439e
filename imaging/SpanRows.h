#pragma once
// Collects, for each row of a picture, the leftmost and rightmost column that a wide stroke
// covers, and then paints each row's range once. Stamping a pen disc along a path therefore
// costs one range update per disc row instead of one write per covered pixel.
//
// It relies on the stamps of one stroke covering an unbroken range in every row, which holds
// for discs stamped along a path whose consecutive points touch and whose rows are reached
// in order (a line, or one side of an ellipse).

#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

class SpanRows {
 public:
  // Prepares for a picture of `height` rows; all rows start empty.
  void Reset(int height);
  int Rows() const { return static_cast<int>(left_.size()); }
  // Widens row y (0 <= y < height) to include columns x0..x1.
  void Add(int y, int x0, int x1) {
    if (left_[y] > right_[y]) {
      left_[y] = x0;
      right_[y] = x1;
    } else {
      if (x0 < left_[y]) left_[y] = x0;
      if (x1 > right_[y]) right_[y] = x1;
    }
    if (y < top_) top_ = y;
    if (y > bottom_) bottom_ = y;
  }
  // Paints every collected range, clipped to the picture, and empties the rows again.
  void Paint(Bitmap& target, Colour colour);

 private:
  std::vector<int> left_, right_;
  int top_ = 0, bottom_ = -1;
};

}  // namespace brumeleaf
