#include "resources/PaintBrushes.h"

#include <algorithm>
#include <cmath>

#include "imaging/Geometry.h"
#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kReach = 118.0;  // no dab pixel lies farther from the tile centre

// The shape of one dab, drawn from the tile number so that the forty dabs differ.
struct DabShape {
  double halfLength, halfWidth, tilt, bend, density;
  std::uint32_t salt;
};

DabShape ShapeOf(int tile) {
  const std::uint32_t salt = 0xB5u + 977u * static_cast<std::uint32_t>(tile);
  DabShape s;
  s.halfLength = 78.0 + 30.0 * grain::Hash01(tile, 1, salt);
  s.halfWidth = 20.0 + 22.0 * grain::Hash01(tile, 2, salt);
  s.tilt = 0.5 * (grain::Hash01(tile, 3, salt) - 0.5);
  s.bend = 0.0022 * (grain::Hash01(tile, 4, salt) - 0.5);
  s.density = 0.75 + 0.25 * grain::Hash01(tile, 5, salt);
  s.salt = salt;
  return s;
}

// Paint amount 0..1 of one pixel of a dab; the pixel's offset from the tile centre is (dx, dy).
double DabPaint(const DabShape& s, double dx, double dy) {
  const double c = std::cos(s.tilt), sn = std::sin(s.tilt);
  const double along = dx * c + dy * sn;
  double across = -dx * sn + dy * c;
  across -= s.bend * along * along;  // a slight curve, as a stroke pulled by hand
  if (std::hypot(dx, dy) > kReach) return 0.0;
  // Bristle lanes run along the stroke; each lane has its own strength and end points.
  const double laneWidth = 3.2;
  const int lane = static_cast<int>(std::floor(across / laneWidth + 1000.0)) - 1000;
  const double strength = grain::Hash01(lane, 11, s.salt);
  const double startJitter = 14.0 * grain::Hash01(lane, 12, s.salt);
  const double endJitter = 22.0 * grain::Hash01(lane, 13, s.salt);
  // The dab narrows toward both ends (a lens), more at the tail.
  const double t = along / s.halfLength;
  if (t < -1.0 || t > 1.0) return 0.0;
  const double width = s.halfWidth * std::sqrt(std::max(0.0, 1.0 - t * t)) * (t > 0 ? 1.0 - 0.25 * t : 1.0);
  if (std::fabs(across) > width) return 0.0;
  if (along < -s.halfLength + startJitter || along > s.halfLength - endJitter) return 0.0;
  double paint = s.density * (0.55 + 0.45 * strength);
  // Dry-brush gaps: some lanes skip along the way.
  if (strength < 0.18 && grain::Hash01(lane, static_cast<int>(std::floor(along / 9.0)) + 50, s.salt) < 0.5)
    paint *= 0.35;
  // Paint thins toward the tail and the rim.
  paint *= 1.0 - 0.35 * std::max(0.0, t);
  paint *= 0.75 + 0.25 * (1.0 - std::fabs(across) / std::max(width, 1.0));
  paint += 0.08 * (grain::Hash01(static_cast<int>(dx * 8), static_cast<int>(dy * 8), s.salt) - 0.5);
  return std::clamp(paint, 0.0, 1.0);
}

Bitmap DrawSheet() {
  Bitmap sheet(kBrushSheetColumns * kBrushTileSize, kBrushSheetRows * kBrushTileSize);
  for (int tile = 0; tile < kBrushSheetColumns * kBrushSheetRows; ++tile) {
    const DabShape shape = ShapeOf(tile);
    const int left = (tile % kBrushSheetColumns) * kBrushTileSize;
    const int top = (tile / kBrushSheetColumns) * kBrushTileSize;
    for (int y = 0; y < kBrushTileSize; ++y) {
      std::uint8_t* row = sheet.ScanLine(top + y);
      for (int x = 0; x < kBrushTileSize; ++x) {
        const double paint = DabPaint(shape, x + 0.5 - kBrushTileSize / 2.0, y + 0.5 - kBrushTileSize / 2.0);
        if (paint <= 0.0) continue;  // white stays 255
        // Every dab pixel is clearly paint (at most 235), however little it holds.
        const int level = std::min(235, static_cast<int>(std::lround(235.0 * (1.0 - paint))));
        std::uint8_t* p = row + 3 * (left + x);
        p[0] = p[1] = p[2] = static_cast<std::uint8_t>(level);
      }
    }
  }
  return sheet;
}

// A round bristly blot filling most of the tip, its rim frayed by bristle ends.
AlphaTip DrawTip(int width, int height, std::uint32_t salt) {
  AlphaTip tip;
  tip.width = width;
  tip.height = height;
  tip.alpha.assign(static_cast<std::size_t>(width) * height, 0);
  const double cx = width / 2.0, cy = height / 2.0;
  const double radius = 0.46 * std::min(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      const double r = std::hypot(dx, dy);
      const double angle = std::atan2(dy, dx);
      const int spoke = static_cast<int>(std::floor((angle + kPi) / (2 * kPi) * 90.0));
      const double fray = radius * (0.86 + 0.14 * grain::Hash01(spoke, 1, salt));
      if (r > fray) continue;
      const double body = std::sqrt(1.0 - std::pow(r / fray, 3.0));
      const double bristle = 0.7 + 0.3 * grain::Hash01(spoke, 2, salt);
      double a = 255.0 * body * bristle;
      a *= 0.85 + 0.15 * grain::Hash01(x, y, salt);
      tip.alpha[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(std::clamp(std::lround(a), 0L, 255L));
    }
  }
  return tip;
}

}  // namespace

const Bitmap& BrushSheet() {
  static const Bitmap sheet = DrawSheet();
  return sheet;
}

Bitmap BrushTile(int column, int row) {
  Bitmap tile(kBrushTileSize, kBrushTileSize);
  CopyTile(BrushSheet(), tile, kBrushTileSize, kBrushTileSize, column, row);
  return tile;
}

const AlphaTip& PaintBrushTip(int index) {
  static const AlphaTip tips[3] = {DrawTip(94, 95, 0x51u), DrawTip(54, 56, 0x52u), DrawTip(38, 39, 0x53u)};
  return tips[std::clamp(index, 0, 2)];
}

}  // namespace brumeleaf
