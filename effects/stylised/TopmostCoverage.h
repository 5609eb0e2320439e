#pragma once
// Which pixels of a picture the shapes painted so far have claimed, for shapes laid one over
// the other and painted from the topmost back: a pixel takes the colour of the first shape
// found over it and is never painted again. Each row keeps its first and last columns still
// unclaimed, so that rows and row ends already done are passed over; the walk can end once
// every pixel is claimed.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brumeleaf {

class TopmostCoverage {
 public:
  TopmostCoverage(int width, int height)
      : width_(width),
        claimed_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0),
        open_(static_cast<std::size_t>(height), 0),
        close_(static_cast<std::size_t>(height), width - 1),
        unclaimed_(claimed_.size()) {}

  bool Complete() const { return unclaimed_ == 0; }
  // The first and last columns of row y that may still be unclaimed (first > last: none).
  int First(int y) const { return open_[static_cast<std::size_t>(y)]; }
  int Last(int y) const { return close_[static_cast<std::size_t>(y)]; }

  // Claims (x, y) for the shape being painted: true when no shape had it yet.
  bool Claim(int x, int y) {
    std::uint8_t& done = claimed_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                                 static_cast<std::size_t>(x)];
    if (done) return false;
    done = 1;
    --unclaimed_;
    return true;
  }

  // Moves row y's first and last columns inwards past the pixels claimed at its ends.
  void Tighten(int y) {
    const std::uint8_t* done = claimed_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    int& lo = open_[static_cast<std::size_t>(y)];
    int& hi = close_[static_cast<std::size_t>(y)];
    while (lo <= hi && done[lo]) ++lo;
    while (hi >= lo && done[hi]) --hi;
  }

 private:
  int width_;
  std::vector<std::uint8_t> claimed_;
  std::vector<int> open_, close_;
  std::size_t unclaimed_;
};

}  // namespace brumeleaf
