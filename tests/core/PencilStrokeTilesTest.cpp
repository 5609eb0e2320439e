#include <gtest/gtest.h>

#include <vector>

#include "effects/drawing/PencilStrokeTiles.h"
#include "imaging/ParallelRows.h"
#include "imaging/Random.h"
#include "tests/core/PencilTestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

// The strokes laid one after another, each pixel of each stroke in turn, as the sketch lays
// them by definition.
void LayOneByOne(const std::vector<PlannedStroke>& strokes, Bitmap& drawing) {
  for (const PlannedStroke& s : strokes) {
    const int keep = s.mix.edge ? 4 : 5;
    for (const StampPixel& p : s.stamp->pixels) {
      const int x = s.x - s.stamp->size / 2 + p.i, y = s.y - s.stamp->size / 2 + p.j;
      if (x < 0 || y < 0 || x >= drawing.Width() - 1 || y >= drawing.Height() - 1) continue;
      std::uint8_t* d = drawing.ScanLine(y) + 3 * x;
      for (int c = 0; c < 3; ++c) {
        const int w = s.mix.weight;
        const int v = (keep * d[c] + (w * d[c] + (256 - w) * p.level[c]) / 256) / (keep + 1);
        d[c] = static_cast<std::uint8_t>(std::clamp(v + s.mix.offset[c], 0, 255));
      }
    }
  }
}

// Many overlapping strokes of both kinds over a drawing of several tiles, some across the
// picture's edges; weights above 256 make the blend's middle term negative.
std::vector<PlannedStroke> Strokes(StampCache& cache, int width, int height) {
  Random random(5);
  std::vector<PlannedStroke> strokes;
  for (int k = 0; k < 4000; ++k) {
    PlannedStroke s;
    s.size = 7 + random.NextInt(k % 50 == 0 ? 90 : 30);
    s.stamp = &cache.Get(random.NextInt(360), s.size);
    s.x = random.NextInt(width + 40) - 20;
    s.y = random.NextInt(height + 40) - 20;
    s.mix.edge = random.NextInt(2) == 0;
    s.mix.weight = random.NextInt(276);
    for (int& o : s.mix.offset) o = random.NextInt(120) - 60;
    strokes.push_back(s);
  }
  return strokes;
}

}  // namespace

TEST(PencilStrokeTiles, LayingTileByTileEqualsLayingOneStrokeAfterAnother) {
  const int width = 613, height = 197;
  StampCache cache;
  const std::vector<PlannedStroke> all = Strokes(cache, width, height);
  // 4000 strokes over 12 tiles are sorted by tile; the first 300 (a preview's batch) are too
  // few for that and are laid in their order.
  for (const std::size_t count : {all.size(), std::size_t{300}}) {
    const std::vector<PlannedStroke> strokes(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count));
    Bitmap expected = PhotoLike(width, height);
    LayOneByOne(strokes, expected);
    for (int threads : {1, 3}) {
      SetRowPassThreads(threads);
      for (const bool narrow : {false, true}) {
        Bitmap tiled = PhotoLike(width, height);
        LayStrokes(strokes, tiled, narrow);
        EXPECT_EQ(tiled, expected) << count << " strokes, " << threads << " threads"
                                   << (narrow ? ", eight bytes at a time" : "");
      }
    }
  }
  SetRowPassThreads(0);
}

TEST(PencilStrokeTiles, PreparedStampsListTheirRows) {
  StampCache cache;
  for (int size : {7, 30, 64, 65, 120}) {
    const PreparedStamp& stamp = cache.Get(33, size);
    ASSERT_EQ(stamp.rowStart.size(), static_cast<std::size_t>(size) + 1);
    EXPECT_EQ(stamp.rowStart.back(), static_cast<int>(stamp.pixels.size()));
    for (int j = 0; j < size; ++j)
      for (int k = stamp.rowStart[j]; k < stamp.rowStart[j + 1]; ++k) EXPECT_EQ(stamp.pixels[k].j, j);
    // The runs hold the same pixels with the same levels, row by row, and each run stops
    // where the next pixel of its row is not its neighbour.
    ASSERT_EQ(stamp.runStart.size(), static_cast<std::size_t>(size) + 1);
    for (int j = 0; j < size; ++j) {
      int k = stamp.rowStart[j];
      for (int r = stamp.runStart[j]; r < stamp.runStart[j + 1]; ++r) {
        const StampRun& run = stamp.runs[r];
        ASSERT_GT(run.length, 0);
        if (r > stamp.runStart[j]) {
          EXPECT_LT(stamp.runs[r - 1].i + stamp.runs[r - 1].length, run.i);
        }
        for (int n = 0; n < run.length; ++n, ++k) {
          ASSERT_LT(k, stamp.rowStart[j + 1]);
          EXPECT_EQ(stamp.pixels[k].i, run.i + n);
          for (int c = 0; c < 3; ++c) EXPECT_EQ(stamp.levels[run.first + 3 * n + c], stamp.pixels[k].level[c]);
        }
      }
      EXPECT_EQ(k, stamp.rowStart[j + 1]);
    }
  }
  // The shared stamps are prepared once: a second cache hands out the same one.
  StampCache other;
  EXPECT_EQ(&other.Get(33, 30), &cache.Get(33, 30));
  EXPECT_THROW(other.Get(360, 30), ImageError);
}
