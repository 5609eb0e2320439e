#pragma once
// Direction of a pencil or edge stroke from the two luminance gradients, looked up instead of
// computing an arctangent per pixel. a is the horizontal gradient (left minus right), b the
// vertical one (top minus bottom), each -255..255; the angle lies across the gradient, so the
// stroke runs along the edge. The constants 1.5707 and 3.14159 are deliberately not pi/2 and
// pi: with them a vertical stroke advances dy = count - 1, which is part of the look.

#include <vector>

namespace brumeleaf {

class StrokeAngleTable {
 public:
  static constexpr int kLimit = 255;

  // The one table of the program, built on first use (thread-safe).
  static const StrokeAngleTable& Instance();

  // ArcTan(b / a) + 1.5707 for a != 0, 3.14159 for a = 0. Both arguments within -255..255.
  double operator()(int a, int b) const {
    return angles_[static_cast<std::size_t>((a + kLimit) * kSide + (b + kLimit))];
  }

  // The same value computed directly (what the table holds).
  static double Compute(int a, int b);

 private:
  static constexpr int kSide = 2 * kLimit + 1;
  StrokeAngleTable();
  std::vector<double> angles_;
};

}  // namespace brumeleaf
