#pragma once
// Draws of the session's generator taken several at a time. The generator's seed after k more
// draws is a fixed affine function of the seed now (seed * a^k + c_k, modulo 2^32), so a loop
// that needs k draws can compute all of them from the current seed side by side instead of
// waiting for each multiplication in turn. The values and their order are exactly those of
// k calls of Random::Next; the caller sets the generator's seed forward when it is done.

#include <array>
#include <cstdint>

#include "imaging/Random.h"

namespace brumeleaf {

struct RandomLeap {
  std::uint32_t multiplier = 1;
  std::uint32_t increment = 0;
  constexpr std::uint32_t SeedAfter(std::uint32_t seed) const { return seed * multiplier + increment; }
};

// The leap over `draws` draws.
constexpr RandomLeap LeapOver(int draws) {
  RandomLeap leap;
  for (int i = 0; i < draws; ++i) {
    leap.multiplier *= 134775813u;
    leap.increment = leap.increment * 134775813u + 1u;
  }
  return leap;
}

// Leaps over 0 .. N-1 draws.
template <int N>
constexpr std::array<RandomLeap, N> LeapTable() {
  std::array<RandomLeap, N> table{};
  for (int i = 0; i < N; ++i) table[static_cast<std::size_t>(i)] = LeapOver(i);
  return table;
}

// The value Random::Next(n) returns when its advanced seed is `seed`.
constexpr std::uint32_t DrawOf(std::uint32_t seed, std::uint32_t n) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed) * n) >> 32);
}

}  // namespace brumeleaf
