#include <gtest/gtest.h>

#include <cmath>

#include "resources/PaintBrushes.h"
#include "resources/PaintingTextures.h"

using namespace brumeleaf;

TEST(BrushSheetTest, FortyGreyDabsThatSurviveATurn) {
  const Bitmap& sheet = BrushSheet();
  ASSERT_EQ(sheet.Width(), 1250);
  ASSERT_EQ(sheet.Height(), 2000);
  for (int tile = 0; tile < 40; ++tile) {
    const int left = (tile % 5) * 250, top = (tile / 5) * 250;
    int paint = 0;
    for (int y = 0; y < 250; ++y) {
      const std::uint8_t* row = sheet.ScanLine(top + y) + 3 * left;
      for (int x = 0; x < 250; ++x) {
        const int r = row[3 * x + 2];
        ASSERT_EQ(row[3 * x], r);
        ASSERT_EQ(row[3 * x + 1], r);
        // Paint is clearly paint (below 240), the rest exactly white.
        ASSERT_TRUE(r == 255 || r < 240) << tile;
        if (r == 255) continue;
        ++paint;
        ASSERT_LE(std::hypot(x + 0.5 - 125, y + 0.5 - 125), 118.0) << tile;
      }
    }
    EXPECT_GT(paint, 2500) << tile;   // a real dab ...
    EXPECT_LT(paint, 25000) << tile;  // ... longer than wide, not a filled square
  }
  EXPECT_EQ(BrushTile(1, 2).Pixel(0, 0), kWhite);
  EXPECT_EQ(BrushTile(1, 2).Width(), 250);
}

TEST(PaintBrushTipTest, ThreeRoundBlotsOfTheirSizes) {
  const int sizes[3][2] = {{94, 95}, {54, 56}, {38, 39}};
  for (int i = 0; i < 3; ++i) {
    const AlphaTip& tip = PaintBrushTip(i);
    ASSERT_EQ(tip.width, sizes[i][0]);
    ASSERT_EQ(tip.height, sizes[i][1]);
    EXPECT_EQ(tip.At(0, 0), 0);
    EXPECT_EQ(tip.At(tip.width - 1, tip.height - 1), 0);
    EXPECT_GT(tip.At(tip.width / 2, tip.height / 2), 150);
  }
}

TEST(TextureMapTest, BothMapsVaryAroundTheirMean) {
  for (const TextureMap* map : {&WatercolourTextureMap(), &ImpastoTextureMap()}) {
    ASSERT_EQ(map->values.size(), 1024u * 768u);
    std::int64_t sum = 0;
    double squares = 0;
    for (std::uint8_t v : map->values) sum += v;
    EXPECT_EQ(map->mean, sum / (1024 * 768));
    for (std::uint8_t v : map->values) squares += (v - map->mean) * (v - map->mean);
    const double deviation = std::sqrt(squares / map->values.size());
    EXPECT_GT(deviation, 8.0);
    EXPECT_LT(deviation, 60.0);
  }
}
