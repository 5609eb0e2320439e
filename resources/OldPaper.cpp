#include "resources/OldPaper.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

// The effect samples columns 0..55 and rows 0..62 of the tile (it repeats every 56 x 63
// pixels), so the defects are laid out on that period and the neutral level is measured there.
constexpr int kPeriodX = kOldPaperWidth - 1;
constexpr int kPeriodY = kOldPaperHeight - 1;

// Distance along the wrapped period, so spots and fibres continue across the tile's seams.
double Wrapped(double d, double period) {
  d = std::fmod(std::fabs(d), period);
  return std::min(d, period - d);
}

// Brightness deviation of the paper at (x, y) from its mean, in red levels. Positive is lighter.
double Deviation(int x, int y) {
  double v = 0.0;
  // Fine tooth of the paper and a slower cloudiness of the pulp.
  v += 7.0 * (grain::Hash01(x, y, 0x01D9u) - 0.5);
  v += 9.0 * (grain::Soft01(x / 4, y / 4, kPeriodX / 4 + 1, kPeriodY / 4 + 1, 0x0C10u) - 0.5);
  // Two thin fibres running across the sheet, a little darker than the paper around them.
  const double f1 = Wrapped(y - 0.35 * x - 17.0, kPeriodY);
  if (f1 < 0.9) v -= 10.0 * (1.0 - f1 / 0.9);
  const double f2 = Wrapped(x + 0.6 * y - 40.0, kPeriodX);
  if (f2 < 0.7) v -= 7.0 * (1.0 - f2 / 0.7);
  // A worn, brownish stain (darker) and a rubbed patch (lighter), soft at their rims.
  const double sx = Wrapped(x - 12.0, kPeriodX), sy = Wrapped(y - 45.0, kPeriodY);
  const double stain = std::sqrt(sx * sx + 1.3 * sy * sy);
  if (stain < 7.0) v -= 18.0 * (1.0 - stain / 7.0);
  const double rx = Wrapped(x - 38.0, kPeriodX), ry = Wrapped(y - 14.0, kPeriodY);
  const double rub = std::sqrt(1.4 * rx * rx + ry * ry);
  if (rub < 6.0) v += 14.0 * (1.0 - rub / 6.0);
  // Scattered specks of dust and foxing: single dark or light pixels.
  const double speck = grain::Hash01(x, y, 0x5BEC);
  if (speck > 0.993) v -= 38.0;
  if (speck < 0.005) v += 30.0;
  return v;
}

Bitmap DrawTile() {
  std::vector<double> deviation(static_cast<std::size_t>(kOldPaperWidth) * kOldPaperHeight);
  double sum = 0.0;
  for (int y = 0; y < kOldPaperHeight; ++y) {
    for (int x = 0; x < kOldPaperWidth; ++x) {
      // The last column and row repeat the first ones, so the whole tile also wraps cleanly.
      const double d = Deviation(x % kPeriodX, y % kPeriodY);
      deviation[static_cast<std::size_t>(y) * kOldPaperWidth + x] = d;
      if (x < kPeriodX && y < kPeriodY) sum += d;
    }
  }
  const double mean = sum / (kPeriodX * kPeriodY);
  Bitmap tile(kOldPaperWidth, kOldPaperHeight);
  for (int y = 0; y < kOldPaperHeight; ++y) {
    std::uint8_t* row = tile.ScanLine(y);
    for (int x = 0; x < kOldPaperWidth; ++x) {
      const double d = deviation[static_cast<std::size_t>(y) * kOldPaperWidth + x] - mean;
      const int red = std::clamp(static_cast<int>(std::lround(kOldPaperNeutralRed + d)), 0, 255);
      // Yellowed paper: green a little and blue clearly below red.
      row[3 * x + 2] = static_cast<std::uint8_t>(red);
      row[3 * x + 1] = static_cast<std::uint8_t>(std::max(0, red - 14));
      row[3 * x] = static_cast<std::uint8_t>(std::max(0, red - 48));
    }
  }
  return tile;
}

}  // namespace

const Bitmap& OldPaperTile() {
  static const Bitmap tile = DrawTile();
  return tile;
}

}  // namespace brumeleaf
