#include "brush/BrushStamp.h"

#include <algorithm>
#include <cmath>

#include "imaging/Geometry.h"

namespace brumeleaf {

BrushSettings Clamped(BrushSettings settings) {
  settings.size = std::clamp(settings.size, kBrushSizeMin, kBrushSizeMax);
  settings.strength = std::clamp(settings.strength, kBrushStrengthMin, kBrushStrengthMax);
  return settings;
}

int BrushSizeAfterWheel(int size, int wheelDelta) {
  if (wheelDelta < 0) return std::min(size + kBrushWheelStep, kBrushSizeMax);
  if (wheelDelta > 0) return std::max(size - kBrushWheelStep, kBrushSizeMin);
  return size;
}

int StampSide(const BrushSettings& settings) {
  const int size = Clamped(settings).size;
  const int even = size + (size & 1);
  return settings.doubled ? 2 * even : even;
}

const Bitmap& StandardBrushPicture() {
  static const Bitmap picture = [] {
    constexpr int kSide = 128;
    Bitmap tip(kSide, kSide);
    const double centre = (kSide - 1) / 2.0;
    for (int y = 0; y < kSide; ++y) {
      std::uint8_t* row = tip.ScanLine(y);
      for (int x = 0; x < kSide; ++x) {
        const double dx = x - centre, dy = y - centre;
        const double r = std::sqrt(dx * dx + dy * dy) / (kSide / 2.0);
        // A rim that wobbles a little with the angle, like hairs of different lengths.
        const double angle = std::atan2(dy, dx);
        const double rim = 0.93 + 0.04 * std::sin(7.0 * angle) + 0.02 * std::sin(17.0 * angle + 1.0);
        double level;
        if (r <= 0.55 * rim) level = 0.0;
        else if (r >= rim) level = 255.0;
        else level = 255.0 * (r - 0.55 * rim) / (0.45 * rim);
        const auto v = static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
      }
    }
    return tip;
  }();
  return picture;
}

Bitmap MakeStamp(const Bitmap& brushPicture, const BrushSettings& settings) {
  const Bitmap& from = brushPicture.Empty() ? StandardBrushPicture() : brushPicture;
  const int side = StampSide(settings);
  Bitmap stamp(side, side);
  StretchBilinear(from, stamp);
  return stamp;
}

Bitmap BrushPreview(const Bitmap& brushPicture, const BrushSettings& settings) {
  const BrushSettings s = Clamped(settings);
  const Bitmap& from = brushPicture.Empty() ? StandardBrushPicture() : brushPicture;
  Bitmap brush(s.size, s.size);
  StretchBilinear(from, brush);
  std::uint8_t faded[256];
  for (int c = 0; c < 256; ++c) faded[c] = static_cast<std::uint8_t>(Coverage(c, s.strength));
  for (int y = 0; y < brush.Height(); ++y) {
    std::uint8_t* row = brush.ScanLine(y);
    for (int i = 0; i < 3 * brush.Width(); ++i) row[i] = faded[row[i]];
  }
  Bitmap preview(kBrushPreviewSide, kBrushPreviewSide);
  preview.Fill(kWhite);
  preview.Draw((kBrushPreviewSide - s.size) / 2, (kBrushPreviewSide - s.size) / 2, brush);
  return preview;
}

}  // namespace brumeleaf
