#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "effects/drawing/StampLookahead.h"
#include "effects/drawing/StampSearchTargets.h"

using namespace brumeleaf;

namespace {

// The stamp loop's search: draw pairs until one lands on a target.
void Search(Random& random, const StampSearchTargets& targets, int width, int height, int& x, int& y) {
  do {
    x = static_cast<int>(random.Next(static_cast<std::uint32_t>(width)));
    y = static_cast<int>(random.Next(static_cast<std::uint32_t>(height)));
  } while (!targets.Qualifies(x, y));
}

// Every third pixel of a 101 x 67 picture differs in red: about three draws a position.
struct Scene {
  int width = 101, height = 67;
  Bitmap source{101, 67};
  Bitmap drawing{101, 67};
  Scene() {
    source.Fill(MakeColour(10, 200, 30));
    drawing.Fill(MakeColour(10, 200, 30));
    for (int y = 0; y < height; ++y)
      for (int x = (y % 3); x < width; x += 3) drawing.ScanLine(y)[3 * x + 2] = 90;
  }
};

}  // namespace

TEST(StampLookahead, QueuesExactlyThePositionsTheSearchWillFind) {
  Scene scene;
  StampSearchTargets targets(scene.source, scene.drawing, 5);
  StampLookahead ahead(targets, scene.width, scene.height);
  Random real(77);
  std::vector<std::pair<int, int>> queued;
  int x = 0, y = 0;
  Search(real, targets, scene.width, scene.height, x, y);
  ahead.Follow(real, 6, [&](int qx, int qy) { queued.emplace_back(qx, qy); });
  EXPECT_EQ(ahead.Queued(), 6);
  for (int attempt = 0; attempt < 200; ++attempt) {
    int nx = 0, ny = 0;
    ahead.At(0, nx, ny);
    Search(real, targets, scene.width, scene.height, x, y);
    EXPECT_EQ(std::pair(nx, ny), std::pair(x, y));
    ahead.Follow(real, 6, [&](int qx, int qy) { queued.emplace_back(qx, qy); });
    EXPECT_EQ(ahead.Queued(), 6);
  }
  // Each position was found ahead once: the queue was never thrown away.
  EXPECT_EQ(queued.size(), 206u);
}

TEST(StampLookahead, StartsAgainWhenTheLoopDrawsElsewhereOrTheTargetsChange) {
  Scene scene;
  StampSearchTargets targets(scene.source, scene.drawing, 5);
  StampLookahead ahead(targets, scene.width, scene.height);
  Random real(5);
  int x = 0, y = 0;
  Search(real, targets, scene.width, scene.height, x, y);
  ahead.Follow(real, 4, [](int, int) {});
  for (int attempt = 0; attempt < 300; ++attempt) {
    if (attempt % 20 == 0) real.Next(360);  // a new stamp angle
    if (attempt % 20 == 10) {               // a kept stamp: a block of targets goes away
      const int left = attempt % 90, top = attempt % 60;
      for (int v = top; v < top + 8; ++v)
        for (int u = left; u < left + 8; ++u) scene.drawing.ScanLine(v)[3 * u + 2] = 10;
      targets.Refresh(left, top, left + 8, top + 8);
    }
    Search(real, targets, scene.width, scene.height, x, y);
    ahead.Follow(real, 4, [](int, int) {});
    // Positions queued before a change may be stale; once the queue has turned over, it
    // follows the real generator again.
    if (attempt % 10 < 6) continue;
    Random copy = real;
    for (int k = 0; k < ahead.Queued(); ++k) {
      int qx = 0, qy = 0, sx = 0, sy = 0;
      ahead.At(k, qx, qy);
      Search(copy, targets, scene.width, scene.height, sx, sy);
      ASSERT_EQ(std::pair(qx, qy), std::pair(sx, sy)) << attempt << " " << k;
    }
  }
}

TEST(StampLookahead, GivesUpForNowWhereThereIsNothingToFind) {
  Bitmap plain(64, 64);
  plain.Fill(MakeColour(1, 2, 3));
  StampSearchTargets targets(plain, plain, 5);
  StampLookahead ahead(targets, 64, 64);
  Random real(1);
  int found = 0;
  ahead.Follow(real, 8, [&](int, int) { ++found; });
  EXPECT_EQ(found, 0);
  EXPECT_EQ(ahead.Queued(), 0);
}

// Positions taken from the queue instead of searched for are exactly those of the plain
// search, with the generator left where the search leaves it, through new stamp angles and
// kept stamps that change the targets between, during and after the searches ahead.
TEST(StampLookahead, TakesOnlyPositionsTheSearchWouldFind) {
  Scene plainScene, aheadScene;
  StampSearchTargets plainTargets(plainScene.source, plainScene.drawing, 5);
  StampSearchTargets aheadTargets(aheadScene.source, aheadScene.drawing, 5);
  StampLookahead ahead(aheadTargets, aheadScene.width, aheadScene.height);
  Random plain(31), real(31);
  int taken = 0;
  for (int attempt = 0; attempt < 400; ++attempt) {
    int px = 0, py = 0, x = 0, y = 0;
    Search(plain, plainTargets, plainScene.width, plainScene.height, px, py);
    if (ahead.Take(real, x, y))
      ++taken;
    else
      Search(real, aheadTargets, aheadScene.width, aheadScene.height, x, y);
    ASSERT_EQ(std::pair(x, y), std::pair(px, py)) << attempt;
    ASSERT_EQ(real.Seed(), plain.Seed()) << attempt;
    if (attempt % 37 == 0) {  // a new stamp angle
      plain.Next(360);
      real.Next(360);
    }
    ahead.Follow(real, 1 + attempt % 5, [](int, int) {});
    if (attempt % 7 == 3) {  // a kept stamp around the position: its targets go away
      for (Scene* scene : {&plainScene, &aheadScene})
        for (int v = std::max(y - 3, 0); v < std::min(y + 4, scene->height); ++v)
          for (int u = std::max(x - 3, 0); u < std::min(x + 4, scene->width); ++u)
            scene->drawing.ScanLine(v)[3 * u + 2] = 10;
      plainTargets.Refresh(x - 3, y - 3, x + 4, y + 4);
      aheadTargets.Refresh(x - 3, y - 3, x + 4, y + 4);
    }
  }
  EXPECT_GT(taken, 100);
  EXPECT_LT(taken, 400);
}
