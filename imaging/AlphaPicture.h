#pragma once
// A picture with a transparency channel, for brushes: 4 bytes per pixel (blue, green, red,
// alpha), rows top to bottom without padding. Only brushes use it; every other picture is a
// 24-bit Bitmap.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brumeleaf {

struct AlphaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgra;

  AlphaPicture() = default;
  AlphaPicture(int w, int h) : width(w), height(h), bgra(static_cast<std::size_t>(w) * h * 4, 0) {}
  bool Empty() const { return width <= 0 || height <= 0; }
  std::uint8_t* At(int x, int y) { return bgra.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
  const std::uint8_t* At(int x, int y) const { return bgra.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
};

}  // namespace brumeleaf
