#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/PencilTileSheet.h"

using namespace brumeleaf;

namespace {

int TileLevel(int tile, int x, int y) {
  const Bitmap& sheet = PencilTileSheet();
  const int left = (tile % 5) * kPencilTileWidth;
  const int top = (tile / 5) * kPencilTileHeight;
  return sheet.ScanLine(top + y)[3 * (left + x)];
}

double TileMean(int tile) {
  double sum = 0;
  for (int y = 0; y < kPencilTileHeight; ++y)
    for (int x = 0; x < kPencilTileWidth; ++x) sum += TileLevel(tile, x, y);
  return sum / (kPencilTileWidth * kPencilTileHeight);
}

// Mean absolute step between column a and column b of a tile (rows when `alongRows`).
double MeanStep(int tile, int a, int b, bool alongRows) {
  double sum = 0;
  const int count = alongRows ? kPencilTileWidth : kPencilTileHeight;
  for (int k = 0; k < count; ++k)
    sum += alongRows ? std::abs(TileLevel(tile, k, a) - TileLevel(tile, k, b))
                     : std::abs(TileLevel(tile, a, k) - TileLevel(tile, b, k));
  return sum / count;
}

}  // namespace

TEST(PencilTileSheet, TenTilesFromDarkestToLightest) {
  const Bitmap& sheet = PencilTileSheet();
  ASSERT_EQ(sheet.Width(), 1280);
  ASSERT_EQ(sheet.Height(), 410);
  double previous = -1;
  for (int tile = 0; tile < kPencilTileCount; ++tile) {
    const double mean = TileMean(tile);
    EXPECT_GT(mean, previous + 5) << "tile " << tile;
    previous = mean;
  }
  EXPECT_LT(TileMean(0), 60);
  EXPECT_GT(TileMean(9), 220);
  EXPECT_LT(TileMean(9), 250);  // nearly white, still pencil on paper
}

TEST(PencilTileSheet, TilesRepeatWithoutSeams) {
  // Across the wrap the step from the last to the first column (row) must look like any step
  // between neighbours inside the tile.
  for (int tile = 0; tile < kPencilTileCount; ++tile) {
    double inside = 0;
    for (int x = 0; x + 1 < kPencilTileWidth; x += 15) inside += MeanStep(tile, x, x + 1, false);
    inside /= (kPencilTileWidth - 1 + 14) / 15;
    EXPECT_LT(MeanStep(tile, kPencilTileWidth - 1, 0, false), 1.5 * inside + 2) << "tile " << tile;

    double insideRows = 0;
    for (int y = 0; y + 1 < kPencilTileHeight; y += 15) insideRows += MeanStep(tile, y, y + 1, true);
    insideRows /= (kPencilTileHeight - 1 + 14) / 15;
    EXPECT_LT(MeanStep(tile, kPencilTileHeight - 1, 0, true), 1.5 * insideRows + 2) << "tile " << tile;
  }
}
