#pragma once
// The round footprint of a wide pen: a disc of diameter w pixels, stored as one column range
// per row. A pixel belongs to it when its centre lies within w/2 of the disc's centre; for an
// even w that centre sits on the corner between the four middle pixels, so the footprint is
// exactly w pixels across in both directions.

#include <vector>

namespace brumeleaf {

class PenDisc {
 public:
  // Widths above this are treated as this width: such a disc already covers any picture.
  static constexpr int kMaxWidth = 65536;

  void SetWidth(int width);
  int Width() const { return width_; }
  // Row offset of the disc's first row from the centre pixel (rows Top() .. Top() + Width() - 1).
  int Top() const { return -(width_ / 2); }
  // Column offsets (inclusive) covered in disc row `row` (0 .. Width() - 1).
  int Left(int row) const { return left_[row]; }
  int Right(int row) const { return right_[row]; }

 private:
  int width_ = 0;
  std::vector<int> left_, right_;
};

}  // namespace brumeleaf
