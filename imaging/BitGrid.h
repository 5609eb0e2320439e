#pragma once
// One bit per pixel, each row in 64-bit words of its own (so row bands can be written apart):
// the yes/no maps that random searches read, which stay in the cache where the pictures they
// summarise would miss at every try.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/PixelAllocator.h"

namespace brumeleaf {

class BitGrid {
 public:
  BitGrid() = default;
  // `pages`: large ones for a grid read at random places millions of times (see PixelAllocator).
  BitGrid(int width, int height, bool on, PixelPages pages = PixelPages::kOrdinary)
      : words_((static_cast<std::size_t>(width) + 63) / 64),
        bits_(words_ * static_cast<std::size_t>(height), on ? ~std::uint64_t{0} : 0, PixelAllocator<std::uint64_t>(pages)) {}

  bool Test(int x, int y) const { return (Row(y)[x >> 6] >> (x & 63)) & 1u; }
  static void Set(std::uint64_t* row, int x, bool on) {
    std::uint64_t& word = row[x >> 6];
    word = (word & ~(std::uint64_t{1} << (x & 63))) | (std::uint64_t{on} << (x & 63));
  }
  std::uint64_t* Row(int y) { return bits_.data() + static_cast<std::size_t>(y) * words_; }
  const std::uint64_t* Row(int y) const { return bits_.data() + static_cast<std::size_t>(y) * words_; }

 private:
  std::size_t words_ = 0;
  std::vector<std::uint64_t, PixelAllocator<std::uint64_t>> bits_;
};

}  // namespace brumeleaf
