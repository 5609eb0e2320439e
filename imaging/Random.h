#pragma once
// The program's one random generator: a 32-bit linear congruential generator whose sequence
// is part of every effect (seed <- seed * 134775813 + 1; Next(n) = high 32 bits of seed * n).
// One instance lives per application session and is handed to every run.

#include <cstdint>

namespace brumeleaf {

class Random {
 public:
  explicit Random(std::uint32_t seed = 0) : seed_(seed) {}

  void SetSeed(std::uint32_t seed) { seed_ = seed; }
  std::uint32_t Seed() const { return seed_; }

  // 0 <= r < n for n > 0. Next(0) advances the sequence and returns 0.
  std::uint32_t Next(std::uint32_t n) {
    Advance();
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * n) >> 32);
  }
  // For callers that hold a signed count: a negative n is taken as its 32-bit pattern, the
  // way the draw has always read its argument.
  int NextInt(int n) { return static_cast<int>(Next(static_cast<std::uint32_t>(n))); }

  // 0 <= r < 1.
  double NextFloat() {
    Advance();
    return static_cast<double>(seed_) * (1.0 / 4294967296.0);
  }

 private:
  void Advance() { seed_ = seed_ * 134775813u + 1u; }
  std::uint32_t seed_;
};

// The fixed seeds of the reseeding effects.
inline constexpr std::uint32_t kEffectSeed = 1969;
inline constexpr std::uint32_t kPainting10Seed = 69006;

}  // namespace brumeleaf
