#include "resources/TileField.h"

#include <algorithm>
#include <cmath>

namespace brumeleaf {

namespace {

double SmoothStep(double t) { return t * t * (3.0 - 2.0 * t); }

double Signed(Random& random) { return random.NextFloat() * 2.0 - 1.0; }

std::vector<std::uint8_t> Quantise(const TileField& field, double mean, double scale, double shift) {
  std::vector<std::uint8_t> levels(static_cast<std::size_t>(field.Width()) * field.Height());
  std::size_t i = 0;
  for (int y = 0; y < field.Height(); ++y) {
    for (int x = 0; x < field.Width(); ++x) {
      const double v = std::nearbyint(mean + shift + field.At(x, y) * scale);
      levels[i++] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
    }
  }
  return levels;
}

double MeanOf(const std::vector<std::uint8_t>& levels) {
  double sum = 0;
  for (std::uint8_t v : levels) sum += v;
  return sum / static_cast<double>(levels.size());
}

}  // namespace

void TileField::Add(const TileField& other, double weight) {
  for (std::size_t i = 0; i < values_.size(); ++i) values_[i] += weight * other.values_[i];
}

void TileField::Scale(double factor) {
  for (double& v : values_) v *= factor;
}

double TileField::Mean() const {
  double sum = 0;
  for (double v : values_) sum += v;
  return sum / static_cast<double>(values_.size());
}

double TileField::Deviation() const {
  const double mean = Mean();
  double sum = 0;
  for (double v : values_) sum += (v - mean) * (v - mean);
  return std::sqrt(sum / static_cast<double>(values_.size()));
}

TileField ValueNoise(int width, int height, int cellsX, int cellsY, Random& random) {
  TileField lattice(cellsX, cellsY);
  for (int y = 0; y < cellsY; ++y)
    for (int x = 0; x < cellsX; ++x) lattice.At(x, y) = Signed(random);
  const int cellW = width / cellsX, cellH = height / cellsY;
  TileField out(width, height);
  for (int y = 0; y < height; ++y) {
    const int cy = y / cellH;
    const double fy = SmoothStep(static_cast<double>(y % cellH) / cellH);
    for (int x = 0; x < width; ++x) {
      const int cx = x / cellW;
      const double fx = SmoothStep(static_cast<double>(x % cellW) / cellW);
      const double top = lattice.At(cx, cy) + (lattice.At(cx + 1, cy) - lattice.At(cx, cy)) * fx;
      const double bottom = lattice.At(cx, cy + 1) + (lattice.At(cx + 1, cy + 1) - lattice.At(cx, cy + 1)) * fx;
      out.At(x, y) = top + (bottom - top) * fy;
    }
  }
  return out;
}

TileField FractalNoise(int size, int cells, int octaves, double persistence, Random& random) {
  TileField sum(size, size);
  double weight = 1.0;
  for (int octave = 0; octave < octaves && cells <= size; ++octave, cells *= 2, weight *= persistence) {
    sum.Add(ValueNoise(size, size, cells, cells, random), weight);
  }
  return sum;
}

TileField PixelNoise(int width, int height, Random& random) {
  TileField out(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.At(x, y) = Signed(random);
  return out;
}

TileField BoxBlur(const TileField& field, int radius) {
  const int w = field.Width(), h = field.Height();
  const double count = 2.0 * radius + 1.0;
  TileField rows(w, h), out(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double sum = 0;
      for (int d = -radius; d <= radius; ++d) sum += field.At(x + d, y);
      rows.At(x, y) = sum / count;
    }
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double sum = 0;
      for (int d = -radius; d <= radius; ++d) sum += rows.At(x, y + d);
      out.At(x, y) = sum / count;
    }
  }
  return out;
}

TileField Relief(const TileField& height) {
  TileField out(height.Width(), height.Height());
  for (int y = 0; y < height.Height(); ++y) {
    for (int x = 0; x < height.Width(); ++x) {
      out.At(x, y) = (height.At(x - 1, y - 1) - height.At(x + 1, y + 1)) +
                     0.5 * (height.At(x - 1, y) - height.At(x + 1, y) + height.At(x, y - 1) - height.At(x, y + 1));
    }
  }
  return out;
}

std::vector<std::uint8_t> ToLevels(const TileField& field, double mean, double deviation) {
  const double spread = field.Deviation();
  const double scale = spread > 0 ? deviation / spread : 0.0;
  TileField centred = field;
  const double fieldMean = field.Mean();
  for (int y = 0; y < field.Height(); ++y)
    for (int x = 0; x < field.Width(); ++x) centred.At(x, y) -= fieldMean;
  // Clamping at 0 or 255 moves the mean; a few steps of shifting bring it back.
  double shift = 0;
  std::vector<std::uint8_t> levels = Quantise(centred, mean, scale, shift);
  for (int step = 0; step < 8 && std::abs(MeanOf(levels) - mean) > 0.5; ++step) {
    shift += mean - MeanOf(levels);
    levels = Quantise(centred, mean, scale, shift);
  }
  return levels;
}

}  // namespace brumeleaf
