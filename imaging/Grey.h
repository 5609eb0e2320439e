#pragma once
// The three grey formulas of the effects; each effect uses the one its look was tuned with.

#include <cstdint>

namespace brumeleaf {

// Pixel bytes are blue, green, red.
constexpr int WeightedGrey(int r, int g, int b) { return (30 * r + 59 * g + 11 * b) / 100; }
constexpr int PencilGrey(int r, int g, int b) { return (3 * r + 6 * g + b) / 10; }
constexpr int MeanGrey(int r, int g, int b) { return (r + g + b) / 3; }

inline int WeightedGrey(const std::uint8_t* bgr) { return WeightedGrey(bgr[2], bgr[1], bgr[0]); }
inline int PencilGrey(const std::uint8_t* bgr) { return PencilGrey(bgr[2], bgr[1], bgr[0]); }
inline int MeanGrey(const std::uint8_t* bgr) { return MeanGrey(bgr[2], bgr[1], bgr[0]); }

}  // namespace brumeleaf
