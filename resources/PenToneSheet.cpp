#include "resources/PenToneSheet.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace brumeleaf {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// One family of parallel pen lines. The lines are the level sets of the phase
// p x / 100 + q y / 200 at whole numbers; whole p and q make the family repeat exactly over a
// tile, so the tiles join without seams. A slow wobble (also whole frequencies) and a
// pressure change along the line keep it from looking ruled.
struct LineFamily {
  int p;           // cycles across the tile width
  int q;           // cycles down the tile height
  double wobble;   // phase wobble amplitude, in cycles
  int wobbleA;     // wobble frequencies
  int wobbleB;
  double pressure; // relative darkness variation along the line, 0..1
};

struct TileRecipe {
  std::vector<LineFamily> families;
};

// Darkest first: four directions of dense cross-hatching down to a single sparse hatch.
std::array<TileRecipe, kPenTiles> Recipes() {
  const LineFamily diagonalDense{16, 34, 0.06, 3, 2, 0.10};
  const LineFamily antiDense{-17, 30, 0.06, 2, 3, 0.10};
  const LineFamily horizontalDense{2, 38, 0.06, 4, 1, 0.10};
  const LineFamily verticalDense{18, -4, 0.06, 1, 5, 0.10};
  const LineFamily diagonal{13, 30, 0.07, 3, 1, 0.15};
  const LineFamily anti{-14, 26, 0.07, 1, 3, 0.15};
  const LineFamily horizontal{1, 30, 0.07, 2, 1, 0.15};
  const LineFamily diagonalLoose{12, 26, 0.08, 2, 1, 0.20};
  const LineFamily antiLoose{-11, 22, 0.08, 1, 2, 0.20};
  const LineFamily diagonalSparse{10, 22, 0.09, 1, 1, 0.25};
  const LineFamily diagonalThin{8, 18, 0.10, 1, 2, 0.30};
  return {{
      {{diagonalDense, antiDense, horizontalDense, verticalDense}},
      {{diagonalDense, antiDense, horizontalDense, verticalDense}},
      {{diagonal, anti, horizontal}},
      {{diagonal, anti, horizontal}},
      {{diagonal, anti}},
      {{diagonalLoose, antiLoose}},
      {{diagonalLoose}},
      {{diagonalSparse}},
      {{diagonalThin}},
  }};
}

// Distance in pixels from (x, y) to the nearest line of the family, and the ink pressure there.
struct LineSample {
  double distance;
  double pressure;
};

LineSample Sample(const LineFamily& f, int x, int y) {
  const double u = x / static_cast<double>(kPenTileWidth);
  const double v = y / static_cast<double>(kPenTileHeight);
  double phase = f.p * u + f.q * v + f.wobble * std::sin(kTwoPi * (f.wobbleA * u + f.wobbleB * v));
  const double gx = f.p / static_cast<double>(kPenTileWidth);
  const double gy = f.q / static_cast<double>(kPenTileHeight);
  const double spacing = 1.0 / std::sqrt(gx * gx + gy * gy);
  const double offset = std::fabs(phase - std::nearbyint(phase));
  // Pressure varies along the line: use the coordinate across the family's normal.
  const double along = -f.q * u * 3 + f.p * v * 3;
  const double pressure = 1.0 - f.pressure * 0.5 * (1.0 + std::sin(kTwoPi * along));
  return {offset * spacing, pressure};
}

// Where every pixel of a tile lies relative to each line family; fixed while the line width
// is searched.
using TileGeometry = std::vector<std::vector<LineSample>>;

TileGeometry MeasureTile(const TileRecipe& recipe) {
  TileGeometry geometry;
  for (const LineFamily& f : recipe.families) {
    std::vector<LineSample> samples;
    samples.reserve(static_cast<std::size_t>(kPenTileWidth * kPenTileHeight));
    for (int y = 0; y < kPenTileHeight; ++y)
      for (int x = 0; x < kPenTileWidth; ++x) samples.push_back(Sample(f, x, y));
    geometry.push_back(std::move(samples));
  }
  return geometry;
}

// Grey levels of one tile whose lines are `width` pixels wide (anti-aliased edges); crossing
// lines multiply, as ink over ink does.
std::vector<double> RenderTile(const TileGeometry& geometry, double width) {
  std::vector<double> paper(static_cast<std::size_t>(kPenTileWidth * kPenTileHeight), 1.0);
  for (const std::vector<LineSample>& family : geometry) {
    for (std::size_t i = 0; i < paper.size(); ++i) {
      double ink = width / 2 + 0.5 - family[i].distance;
      ink = ink < 0 ? 0 : (ink > 1 ? 1 : ink);
      paper[i] *= 1.0 - ink * family[i].pressure;
    }
  }
  return paper;
}

int Level(double paper) { return static_cast<int>(std::nearbyint(255.0 * paper)); }

double MeanLevel(const std::vector<double>& paper) {
  double sum = 0;
  for (double p : paper) sum += Level(p);
  return sum / static_cast<double>(paper.size());
}

// Widens the lines until the tile reaches its target mean level (a bisection: wider lines
// are never lighter).
std::vector<double> TileAtLevel(const TileRecipe& recipe, double target) {
  const TileGeometry geometry = MeasureTile(recipe);
  double thin = 0.0;
  double thick = 12.0;
  for (int i = 0; i < 30; ++i) {
    const double mid = (thin + thick) / 2;
    if (MeanLevel(RenderTile(geometry, mid)) > target) thin = mid;
    else thick = mid;
  }
  return RenderTile(geometry, (thin + thick) / 2);
}

Bitmap GenerateSheet() {
  Bitmap sheet(3 * kPenTileWidth, 3 * kPenTileHeight);
  const std::array<TileRecipe, kPenTiles> recipes = Recipes();
  for (int n = 0; n < kPenTiles; ++n) {
    const std::vector<double> paper = TileAtLevel(recipes[static_cast<std::size_t>(n)], 25.0 * n + 12);
    const int left = (n % 3) * kPenTileWidth;
    const int top = (n / 3) * kPenTileHeight;
    for (int y = 0; y < kPenTileHeight; ++y) {
      std::uint8_t* row = sheet.ScanLine(top + y) + 3 * left;
      for (int x = 0; x < kPenTileWidth; ++x, row += 3) {
        const auto level = static_cast<std::uint8_t>(Level(paper[static_cast<std::size_t>(y * kPenTileWidth + x)]));
        row[0] = row[1] = row[2] = level;
      }
    }
  }
  return sheet;
}

}  // namespace

const Bitmap& PenToneSheet() {
  static const Bitmap sheet = GenerateSheet();
  return sheet;
}

}  // namespace brumeleaf
