#pragma once
// A grid of real values whose coordinates wrap around at both edges, and the periodic noise
// and shading the generated pictures are built from. Everything wraps, so a field made here
// tiles without a seam. Only exact IEEE operations (+, -, *, /, sqrt) are used, so the same
// bytes come out on every machine.

#include <cstdint>
#include <vector>

#include "imaging/Random.h"

namespace brumeleaf {

class TileField {
 public:
  TileField(int width, int height, double value = 0.0)
      : width_(width), height_(height), values_(static_cast<std::size_t>(width) * height, value) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Coordinates wrap: (-1, y) is the last column.
  double At(int x, int y) const { return values_[Index(x, y)]; }
  double& At(int x, int y) { return values_[Index(x, y)]; }

  void Add(const TileField& other, double weight);
  void Scale(double factor);
  double Mean() const;
  double Deviation() const;

 private:
  std::size_t Index(int x, int y) const {
    x %= width_;
    y %= height_;
    if (x < 0) x += width_;
    if (y < 0) y += height_;
    return static_cast<std::size_t>(y) * width_ + x;
  }
  int width_, height_;
  std::vector<double> values_;
};

// Smooth noise in -1..1 from a lattice of cellsX x cellsY random values spread over the field
// (each count must divide the field's size), interpolated with a smooth cubic.
TileField ValueNoise(int width, int height, int cellsX, int cellsY, Random& random);
// Octaves of value noise, each with twice the cells of the last and `persistence` times its
// weight, starting from `cells` cells across.
TileField FractalNoise(int size, int cells, int octaves, double persistence, Random& random);
// Independent values in -1..1 per pixel.
TileField PixelNoise(int width, int height, Random& random);
// Mean over a (2r+1) x (2r+1) square, wrapping.
TileField BoxBlur(const TileField& field, int radius);
// Light falling on a height field from the upper left: the slope toward the light.
TileField Relief(const TileField& height);
// Grey levels with the given mean and spread: the field is scaled to `deviation`, centred on
// `mean`, rounded and clamped; a final shift keeps the mean of the levels within half a level.
std::vector<std::uint8_t> ToLevels(const TileField& field, double mean, double deviation);

}  // namespace brumeleaf
