#include "resources/OilPastelStamp.h"

#include <algorithm>
#include <cmath>

#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

constexpr double kCentre = kOilPastelStampSize / 2.0;
constexpr double kRadius = 104.0;
constexpr double kLaneWidth = 11.0;  // distance between neighbouring pastel strokes

// The patch's outline wobbles a little, as a hand-laid patch of strokes does.
double OutlineRadius(double angle) {
  return kRadius + 9.0 * std::sin(3.0 * angle + 1.0) + 5.0 * std::sin(5.0 * angle + 2.3) +
         3.0 * std::sin(9.0 * angle + 0.4);
}

// How dark one pixel is, 0 (paper) to 1 (full pastel).
double Darkness(int x, int y) {
  const double dx = x + 0.5 - kCentre;
  const double dy = y + 0.5 - kCentre;
  const double distance = std::sqrt(dx * dx + dy * dy);
  const double edge = OutlineRadius(std::atan2(dy, dx));
  if (distance >= edge) return 0.0;
  // Strokes run diagonally (down to the right); `across` counts lanes across them.
  const double across = (dx - dy) / std::sqrt(2.0) / kLaneWidth;
  const double along = (dx + dy) / std::sqrt(2.0);
  const int lane = static_cast<int>(std::floor(across));
  const double inLane = across - lane;                      // 0 .. 1 across one stroke
  const double laneStrength = 0.55 + 0.45 * grain::Hash01(lane, 0, 0x0A57u);
  // Each stroke ends at its own place near the outline, so the rim is ragged.
  const double reach = edge - 14.0 * grain::Hash01(lane, 1, 0x0A57u) * (along > 0 ? 1.0 : 0.6);
  if (distance > reach && inLane > 0.2) return 0.0;
  const double profile = 1.0 - std::pow(2.0 * inLane - 1.0, 2.0);  // darkest mid-stroke
  const double rim = std::clamp((edge - distance) / 22.0, 0.0, 1.0);
  double dark = 0.30 + 0.62 * laneStrength * profile;
  dark *= 0.55 + 0.45 * rim;
  // Pastel catches on the tooth of the paper: some pixels take less pigment.
  const double tooth = grain::Hash01(x, y, 0x7EE7u);
  if (tooth > 0.86) dark *= 0.45;
  dark += 0.10 * (grain::Hash01(x, y, 0x51DEu) - 0.5);
  return std::clamp(dark, 0.0, 1.0);
}

Bitmap DrawStamp() {
  Bitmap stamp(kOilPastelStampSize, kOilPastelStampSize);
  for (int y = 0; y < kOilPastelStampSize; ++y) {
    std::uint8_t* row = stamp.ScanLine(y);
    for (int x = 0; x < kOilPastelStampSize; ++x) {
      const double dark = Darkness(x, y);
      // Inside the patch every pixel is ink (below 250), however light its grain.
      int level = 255;
      if (dark > 0.0) level = std::min(245, static_cast<int>(std::lround(250.0 - 215.0 * dark)));
      row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = static_cast<std::uint8_t>(level);
    }
  }
  return stamp;
}

}  // namespace

const Bitmap& OilPastelStamp() {
  static const Bitmap stamp = DrawStamp();
  return stamp;
}

}  // namespace brumeleaf
