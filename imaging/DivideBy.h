#pragma once
// Division by a divisor that stays the same for a whole pass, as one multiplication and a
// shift. With M = ceil(2^32 / d) the error e = M d - 2^32 is below d, so
// (n M) >> 32 = floor(n / d + n e / (d 2^32)) is exactly n div d as long as n e < 2^32,
// which holds for every n below 2^32 / d. The passes that use it divide sums of a few
// hundred levels, far inside that bound.

#include <cstdint>

namespace brumeleaf {

class DivideBy {
 public:
  // d >= 1.
  explicit DivideBy(std::uint32_t d) : multiplier_(((std::uint64_t{1} << 32) + d - 1) / d) {}
  // n div d for 0 <= n < 2^32 / d.
  std::uint32_t operator()(std::uint32_t n) const {
    return static_cast<std::uint32_t>((n * multiplier_) >> 32);
  }

 private:
  std::uint64_t multiplier_;
};

}  // namespace brumeleaf
