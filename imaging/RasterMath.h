#pragma once
// Small exact integer helpers shared by the rasteriser: rounding divisions for negative
// numerators, a 128-bit type for products of two 33-bit distances, and the colour bytes.

#include <cstdint>

#include "imaging/Bitmap.h"

namespace brumeleaf::raster {

// Products of two coordinate differences of the full int range need 66 bits.
__extension__ typedef __int128 Int128;

// Shapes are computed with 64-bit products of coordinates; vertices further out than this
// are pulled in to it. Only coordinates far beyond any picture are affected.
inline constexpr int kCoordinateLimit = 1 << 29;

constexpr int ClampCoordinate(int v) {
  return v < -kCoordinateLimit ? -kCoordinateLimit : (v > kCoordinateLimit ? kCoordinateLimit : v);
}

// Division rounding toward minus infinity / plus infinity, for any sign of a and b > 0.
template <typename T>
constexpr T FloorDiv(T a, T b) {
  T q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}
template <typename T>
constexpr T CeilDiv(T a, T b) {
  T q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

// A colour as the three bytes of a pixel, blue first.
struct PixelBytes {
  std::uint8_t b, g, r;
};

constexpr PixelBytes BytesOf(Colour c) {
  return {static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
          static_cast<std::uint8_t>(RedOf(c))};
}

inline void Put(std::uint8_t* p, PixelBytes c) {
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

inline bool Equals(const std::uint8_t* p, PixelBytes c) {
  return p[0] == c.b && p[1] == c.g && p[2] == c.r;
}

// Paints columns x0..x1 (inclusive, already inside the row) of one row.
inline void FillRun(std::uint8_t* row, int x0, int x1, PixelBytes c) {
  for (std::uint8_t* p = row + 3 * x0; x0 <= x1; ++x0, p += 3) Put(p, c);
}

}  // namespace brumeleaf::raster
