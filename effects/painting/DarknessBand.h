#pragma once
// Darkening collected from many strokes before it reaches the picture. Strokes only ever
// subtract, with a floor at 0, so max(0, c - w1 - w2 ...) is the same in any order: bands of
// rows can be drawn on separate threads and applied afterwards, giving the bytes one thread
// would give.

#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

class DarknessBand {
 public:
  // Collects darkening of rows top .. top + rows - 1 of a width x height picture. Strokes
  // reach only columns 0..width-2 and rows 0..height-2, like StrokeTarget.
  DarknessBand(int width, int height, int top, int rows)
      : width_(width), height_(height), top_(top), rows_(rows),
        sums_(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows > 0 ? rows : 0), 0) {}

  void Darken(int x, int y, int amount) {
    if (x < 0 || x > width_ - 2 || y < 0 || y > height_ - 2) return;
    if (y < top_ || y >= top_ + rows_) return;  // never happens for a band with the stroke margin
    sums_[static_cast<std::size_t>(y - top_) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] += amount;
  }

  // Subtracts the collected darkening from all three channels, floor 0.
  void ApplyTo(Bitmap& picture) const {
    for (int r = 0; r < rows_; ++r) {
      const int y = top_ + r;
      if (y < 0 || y >= picture.Height()) continue;
      std::uint8_t* p = picture.ScanLine(y);
      const int* sum = &sums_[static_cast<std::size_t>(r) * static_cast<std::size_t>(width_)];
      for (int x = 0; x < width_; ++x, p += 3) {
        const int amount = sum[x];
        if (amount == 0) continue;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(p[c] > amount ? p[c] - amount : 0);
      }
    }
  }

 private:
  int width_;
  int height_;
  int top_;
  int rows_;
  std::vector<int> sums_;
};

}  // namespace brumeleaf
