#include "resources/PencilTileSheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "imaging/Random.h"
#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

constexpr double kDegrees = 3.141592653589793 / 180.0;

// Hatching directions, added one by one as a tile gets darker: the main diagonal, the
// crossing diagonal, then two flatter and steeper ones for the darkest tones.
constexpr std::array<double, 4> kLayerAngles{48.0, -42.0, 12.0, 78.0};

// A tile being drawn: levels 0..255 as doubles, wrapping at the edges so that every stroke
// that leaves one side comes back in on the other and the tile repeats seamlessly.
class Tile {
 public:
  Tile() : levels_(static_cast<std::size_t>(kPencilTileWidth) * kPencilTileHeight) {
    for (int y = 0; y < kPencilTileHeight; ++y)
      for (int x = 0; x < kPencilTileWidth; ++x) {
        const double paper = 251.0 - 8.0 * grain::Soft01(x, y, kPencilTileWidth, kPencilTileHeight, 0x9A9Eu);
        At(x, y) = paper;
        sum_ += paper;
      }
  }

  double Mean() const { return sum_ / static_cast<double>(levels_.size()); }

  // Darkens by `amount` (0..1 of the current level) at a position given in any coordinates.
  void Darken(int x, int y, double amount) {
    double& v = At(Wrap(x, kPencilTileWidth), Wrap(y, kPencilTileHeight));
    const double darker = v * (1.0 - amount);
    sum_ += darker - v;
    v = darker;
  }

  double Level(int x, int y) const { return levels_[static_cast<std::size_t>(y) * kPencilTileWidth + x]; }

 private:
  static int Wrap(int v, int period) { return ((v % period) + period) % period; }
  double& At(int x, int y) { return levels_[static_cast<std::size_t>(y) * kPencilTileWidth + x]; }

  std::vector<double> levels_;
  double sum_ = 0;
};

struct Stroke {
  double x = 0, y = 0;  // centre
  double angle = 0;     // radians
  double length = 0;
  double pressure = 0;  // darkening at the middle of the stroke, 0..1
};

// Lays one pencil stroke: about a pixel and a half wide, fading out towards both ends, with
// the paper's tooth breaking it up a little.
void LayStroke(Tile& tile, const Stroke& s, std::uint32_t salt) {
  const double dx = std::cos(s.angle), dy = std::sin(s.angle);
  const double half = s.length / 2.0;
  const int reachX = static_cast<int>(std::ceil(std::abs(dx) * half + 2));
  const int reachY = static_cast<int>(std::ceil(std::abs(dy) * half + 2));
  const int cx = static_cast<int>(std::floor(s.x)), cy = static_cast<int>(std::floor(s.y));
  for (int y = cy - reachY; y <= cy + reachY; ++y) {
    for (int x = cx - reachX; x <= cx + reachX; ++x) {
      const double px = x + 0.5 - s.x, py = y + 0.5 - s.y;
      const double along = px * dx + py * dy;
      const double across = std::abs(-px * dy + py * dx);
      if (std::abs(along) > half || across > 1.3) continue;
      const double taper = 1.0 - std::pow(std::abs(along) / half, 4.0);
      const double profile = 1.0 - across / 1.3;
      const double tooth = 0.55 + 0.45 * grain::Hash01(x, y, salt);
      tile.Darken(x, y, std::min(1.0, s.pressure * taper * profile * tooth));
    }
  }
}

// Strokes are laid in short runs of parallel neighbours, as a hand hatches.
void LayHatchRun(Tile& tile, Random& random, int layers, double pressure, std::uint32_t salt) {
  const int layer = static_cast<int>(random.Next(static_cast<std::uint32_t>(layers)));
  const double angle = (kLayerAngles[static_cast<std::size_t>(layer)] + 10.0 * (random.NextFloat() - 0.5)) * kDegrees;
  const double length = 16.0 + 26.0 * random.NextFloat();
  const double spacing = 2.6 + 1.6 * random.NextFloat();
  const int count = 3 + static_cast<int>(random.Next(6));
  double x = random.NextFloat() * kPencilTileWidth;
  double y = random.NextFloat() * kPencilTileHeight;
  for (int k = 0; k < count; ++k) {
    Stroke s;
    s.x = x + 3.0 * (random.NextFloat() - 0.5);
    s.y = y + 3.0 * (random.NextFloat() - 0.5);
    s.angle = angle;
    s.length = length * (0.8 + 0.4 * random.NextFloat());
    s.pressure = pressure * (0.7 + 0.6 * random.NextFloat());
    LayStroke(tile, s, salt);
    // The next stroke sits beside this one, across the hatching direction.
    x += -std::sin(angle) * spacing;
    y += std::cos(angle) * spacing;
  }
}

// Hatches a tile until its mean level comes down to the tile's tone; darker tones bring in
// more hatching directions.
Tile HatchTile(int tileNumber) {
  Tile tile;
  Random random(1000u + static_cast<std::uint32_t>(tileNumber));
  const double target = PencilTileMeanLevel(tileNumber);
  const std::uint32_t salt = 0x1000u + static_cast<std::uint32_t>(tileNumber);
  // Light tones are hatched softly with many strokes, so that they stay even.
  const double pressure = 0.12 + 0.33 * (1.0 - target / 255.0);
  while (tile.Mean() > target) {
    const double darkness = 1.0 - tile.Mean() / 255.0;
    const int layers = darkness < 0.18 ? 1 : darkness < 0.4 ? 2 : darkness < 0.65 ? 3 : 4;
    LayHatchRun(tile, random, layers, pressure, salt);
  }
  return tile;
}

Bitmap DrawSheet() {
  Bitmap sheet(5 * kPencilTileWidth, 2 * kPencilTileHeight);
  for (int n = 0; n < kPencilTileCount; ++n) {
    const Tile tile = HatchTile(n);
    const int left = (n % 5) * kPencilTileWidth;
    const int top = (n / 5) * kPencilTileHeight;
    for (int y = 0; y < kPencilTileHeight; ++y) {
      std::uint8_t* row = sheet.ScanLine(top + y) + 3 * left;
      for (int x = 0; x < kPencilTileWidth; ++x) {
        const auto level = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(tile.Level(x, y))), 0, 255));
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = level;
      }
    }
  }
  return sheet;
}

}  // namespace

const Bitmap& PencilTileSheet() {
  static const Bitmap sheet = DrawSheet();
  return sheet;
}

}  // namespace brumeleaf
