#include "effects/painting/StrokeAngleTable.h"

#include <cmath>

namespace brumeleaf {

double StrokeAngleTable::Compute(int a, int b) {
  if (a == 0) return 3.14159;
  return std::atan(static_cast<double>(b) / static_cast<double>(a)) + 1.5707;
}

StrokeAngleTable::StrokeAngleTable() : angles_(static_cast<std::size_t>(kSide) * kSide) {
  for (int a = -kLimit; a <= kLimit; ++a)
    for (int b = -kLimit; b <= kLimit; ++b)
      angles_[static_cast<std::size_t>((a + kLimit) * kSide + (b + kLimit))] = Compute(a, b);
}

const StrokeAngleTable& StrokeAngleTable::Instance() {
  static const StrokeAngleTable table;
  return table;
}

}  // namespace brumeleaf
