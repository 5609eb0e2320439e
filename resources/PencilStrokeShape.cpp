#include "resources/PencilStrokeShape.h"

#include <algorithm>
#include <cmath>

#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

constexpr double kLeft = 6.0;
constexpr double kRight = 93.0;
constexpr double kMiddleRow = 49.5;
// The dark core and the faint graphite halo around it. The halo is wide on purpose: the
// effect shrinks these pictures to as little as 7 x 7 with bilinear sampling, whose sample
// rows fall about 7 pixels either side of the middle, and the stroke must still show there.
constexpr double kCoreHalfWidth = 3.6;
constexpr double kHaloHalfWidth = 10.0;

struct StrokePoint {
  double centre = 0;  // row of the stroke's centre line at this column
  double slope = 0;   // its slope, to measure distances across the stroke
  double taper = 0;   // 1 in the middle, 0 at the ends
};

StrokePoint PointAt(double x, double arch) {
  const double t = (2.0 * x - (kLeft + kRight)) / (kRight - kLeft);  // -1 .. 1 along the stroke
  StrokePoint p;
  p.centre = kMiddleRow - arch * (1.0 - t * t);
  p.slope = arch * 2.0 * t * 2.0 / (kRight - kLeft);
  const double inside = std::max(0.0, 1.0 - t * t);
  p.taper = std::pow(inside, 0.35);
  return p;
}

// Level of one pixel, 255 when it is not part of the stroke.
int StrokeLevel(int x, int y, double arch, std::uint32_t salt) {
  const double cx = x + 0.5;
  if (cx < kLeft || cx > kRight) return 255;
  const StrokePoint p = PointAt(cx, arch);
  if (p.taper <= 0.0) return 255;
  const double across = std::abs((y + 0.5) - p.centre) / std::sqrt(1.0 + p.slope * p.slope);
  const double core = 0.7 + (kCoreHalfWidth - 0.7) * p.taper;
  const double halo = core + (kHaloHalfWidth - kCoreHalfWidth) * p.taper + 0.8;
  const double grain = grain::Hash01(x, y, salt);
  const double pressure = 1.0 - 0.35 * (1.0 - p.taper);  // lighter towards the ends
  double level;
  if (across <= core) {
    const double r = across / core;
    level = 255.0 - pressure * (185.0 - 70.0 * r * r) + 45.0 * (grain - 0.5);
  } else if (across <= halo) {
    const double r = (across - core) / (halo - core);
    level = 255.0 - pressure * (60.0 - 45.0 * r) + 14.0 * (grain - 0.5);
    // The tooth of the paper leaves some halo pixels bare.
    if (grain > 0.55 + 0.4 * (1.0 - r)) return 255;
  } else {
    return 255;
  }
  return std::clamp(static_cast<int>(std::lround(level)), 0, kPencilStrokeLightest);
}

}  // namespace

Bitmap DrawPencilStroke(double arch, std::uint32_t salt) {
  Bitmap picture(kPencilStrokeSize, kPencilStrokeSize);
  for (int y = 0; y < kPencilStrokeSize; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < kPencilStrokeSize; ++x) {
      const auto level = static_cast<std::uint8_t>(StrokeLevel(x, y, arch, salt));
      row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = level;
    }
  }
  return picture;
}

}  // namespace brumeleaf
