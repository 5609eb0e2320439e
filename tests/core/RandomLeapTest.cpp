#include <gtest/gtest.h>

#include "imaging/Random.h"
#include "imaging/RandomLeap.h"

using namespace brumeleaf;

TEST(RandomLeap, DrawsTakenAheadAreTheGeneratorsOwnInOrder) {
  constexpr auto kLeaps = LeapTable<40>();
  for (std::uint32_t seed : {0u, 1u, 1969u, 69006u, 0xFFFFFFFFu, 0x80000000u}) {
    Random random(seed);
    for (int k = 1; k < 40; ++k) {
      const std::uint32_t n = static_cast<std::uint32_t>(k * 97 + 3);
      const std::uint32_t ahead = DrawOf(kLeaps[static_cast<std::size_t>(k)].SeedAfter(seed), n);
      EXPECT_EQ(ahead, random.Next(n)) << seed << " draw " << k;
      EXPECT_EQ(kLeaps[static_cast<std::size_t>(k)].SeedAfter(seed), random.Seed());
    }
  }
  // A leap over no draws leaves the seed as it is.
  EXPECT_EQ(LeapOver(0).SeedAfter(12345u), 12345u);
}
