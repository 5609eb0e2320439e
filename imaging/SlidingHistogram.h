#pragma once
// A window histogram that follows the window as it slides, and the value at a given rank of the
// window's sorted values. Shared by the median and rank-order filters.

#include <array>
#include <cstdint>

namespace brumeleaf {

// One channel's histogram of the current window and a cursor into it: `below` counts the window
// values under `level`. Moving the window changes the asked rank's value only a little, so the
// cursor walks few bins per pixel.
struct SlidingHistogram {
  std::array<std::int32_t, 256> bins{};
  int level = 0;
  int below = 0;

  void Add(int v) {
    ++bins[static_cast<std::size_t>(v)];
    if (v < level) ++below;
  }
  void Remove(int v) {
    --bins[static_cast<std::size_t>(v)];
    if (v < level) --below;
  }
  // The value at 0-based rank `rank` of the window's sorted values.
  int At(int rank) {
    while (below > rank) {
      --level;
      below -= bins[static_cast<std::size_t>(level)];
    }
    while (below + bins[static_cast<std::size_t>(level)] <= rank) {
      below += bins[static_cast<std::size_t>(level)];
      ++level;
    }
    return level;
  }
  // The middle value of `count` values, or the truncated mean of the two middle ones.
  int Middle(int count) {
    const int upper = At(count / 2);
    if (count % 2 == 1) return upper;
    // Rank count/2 - 1 lies in the same bin unless the upper value starts its bin.
    if (below <= count / 2 - 1) return upper;
    int lower = upper - 1;
    while (bins[static_cast<std::size_t>(lower)] == 0) --lower;
    return (lower + upper) / 2;
  }
};

}  // namespace brumeleaf
