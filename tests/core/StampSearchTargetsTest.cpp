#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "effects/drawing/StampSearchTargets.h"
#include "imaging/Random.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using brumeleaf::testing::Noise;

namespace {


// Repaints a rectangle (clipped) of the drawing: half of it copies the source, so that its
// red difference falls below any tolerance, the rest gets new noise.
void Repaint(Bitmap& drawing, const Bitmap& source, int left, int top, int right, int bottom, Random& random) {
  for (int y = std::max(top, 0); y < std::min(bottom, drawing.Height()); ++y)
    for (int x = std::max(left, 0); x < std::min(right, drawing.Width()); ++x)
      for (int c = 0; c < 3; ++c)
        drawing.ScanLine(y)[3 * x + c] = random.Next(2) ? source.ScanLine(y)[3 * x + c]
                                                        : static_cast<std::uint8_t>(random.Next(256));
}

// Every answer against its definition: red differing by the tolerance, the capped distance.
void ExpectFollows(const StampSearchTargets& targets, const Bitmap& source, const Bitmap& drawing, int tolerance) {
  std::int64_t count = 0;
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x) {
      const std::uint8_t* s = source.ScanLine(y) + 3 * x;
      const std::uint8_t* d = drawing.ScanLine(y) + 3 * x;
      const bool qualifies = std::abs(s[2] - d[2]) >= tolerance;
      count += qualifies;
      ASSERT_EQ(targets.Qualifies(x, y), qualifies) << x << "," << y;
      if (!targets.TracksDistances()) continue;
      const int sum = std::abs(s[0] - d[0]) + std::abs(s[1] - d[1]) + std::abs(s[2] - d[2]);
      ASSERT_EQ(targets.Distance(x, y), std::min(sum, StampSearchTargets::kDistanceCap)) << x << "," << y;
    }
  EXPECT_EQ(targets.Count(), count);
}

// Brings the drawing within a level or two of the source over a rectangle: small distances.
void Settle(Bitmap& drawing, const Bitmap& source, int left, int top, int right, int bottom, Random& random) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      for (int c = 0; c < 3; ++c) {
        const int level = source.ScanLine(y)[3 * x + c] + static_cast<int>(random.Next(5)) - 2;
        drawing.ScanLine(y)[3 * x + c] = static_cast<std::uint8_t>(std::clamp(level, 0, 255));
      }
}

// The largest distance of the 16 x 16 squares a rectangle reaches, against every pixel of
// those squares, for rectangles of 1 to 30 pixels a side at places all over the picture and
// beyond its edges.
void ExpectMostDistant(const StampSearchTargets& targets, int width, int height) {
  for (int top = -20; top < height + 4; top += 7)
    for (int left = -20; left < width + 4; left += 5)
      for (const int side : {1, 4, 16, 30}) {
        const int fromX = std::max(left, 0), toX = std::min(left + side, width) - 1;
        const int fromY = std::max(top, 0), toY = std::min(top + side, height) - 1;
        int most = 0;
        if (fromX <= toX && fromY <= toY)
          for (int y = fromY / 16 * 16; y < std::min((toY / 16 + 1) * 16, height); ++y)
            for (int x = fromX / 16 * 16; x < std::min((toX / 16 + 1) * 16, width); ++x)
              most = std::max(most, targets.Distance(x, y));
        ASSERT_EQ(targets.MostDistant(left, top, side, side), most) << left << "," << top << " side " << side;
      }
}

}  // namespace

// A stamp's rows refreshed each over its own columns, as a round stamp changes the drawing:
// within a picture mostly close to its source, with far pixels and capped distances here and
// there, stamps inside it and over each of its edges. The bits, the distances and the
// squares' largest distances follow.
TEST(StampSearchTargets, FollowAStampRowByRowWithTheLargestDistances) {
  const int width = 211, height = 45;
  const Bitmap source = Noise(width, height, 15);
  Bitmap drawing = Noise(width, height, 16);
  StampSearchTargets targets(source, drawing, 5);
  Random random(21);
  Settle(drawing, source, 0, 0, width, height, random);
  targets.Refresh(0, 0, width, height);
  ExpectFollows(targets, source, drawing, 5);
  ExpectMostDistant(targets, width, height);
  const int size = 13;
  // Row j of the stamp changes over [first, end): a rough disc, its first and last rows empty.
  const auto span = [](int j, int& first, int& end) {
    const int half = std::min(j, size - 1 - j);
    first = 6 - 2 * half;
    end = 7 + 2 * half;
    if (j == 0 || j == size - 1) first = end;
  };
  for (const auto& [left, top] : {std::pair{40, 9}, std::pair{-5, 20}, std::pair{203, -4}, std::pair{100, 38},
                                   std::pair{16, 16}}) {
    for (int j = 0; j < size; ++j) {
      int first = 0, end = 0;
      span(j, first, end);
      const int y = top + j;
      if (y < 0 || y >= height) continue;
      for (int x = std::max(left + first, 0); x < std::min(left + end, width); ++x)
        for (int c = 0; c < 3; ++c) drawing.ScanLine(y)[3 * x + c] = static_cast<std::uint8_t>(random.Next(256));
    }
    const std::uint64_t version = targets.Version();
    targets.RefreshRows(left, top, size, span);
    EXPECT_GT(targets.Version(), version);
    ExpectFollows(targets, source, drawing, 5);
    ExpectMostDistant(targets, width, height);
  }
}

// Rows a few 64-pixel words long with an odd remainder, rectangles that start and end inside
// words, cross word ends, reach past the picture and cover less than 16 pixels; tolerances
// from "every pixel" to the largest the sliders give.
TEST(StampSearchTargets, FollowTheDrawingThroughEveryRefresh) {
  const int width = 211, height = 23;
  const Bitmap source = Noise(width, height, 5);
  for (const int tolerance : {0, 5, 25}) {
    Bitmap drawing = Noise(width, height, 6);
    StampSearchTargets targets(source, drawing, tolerance);
    ExpectFollows(targets, source, drawing, tolerance);
    Random random(static_cast<std::uint32_t>(tolerance) + 11);
    const int rectangles[][4] = {{0, 0, width, height}, {3, 2, 17, 9},      {60, 1, 70, 4},
                                 {-5, -3, 40, 6},        {100, 10, 300, 40}, {127, 5, 128, 6},
                                 {40, 7, 40 + 47, 15},   {192, 0, 211, 23},  {64, 20, 192, 23}};
    for (const auto& r : rectangles) {
      Repaint(drawing, source, r[0], r[1], r[2], r[3], random);
      targets.Refresh(r[0], r[1], r[2], r[3]);
      ExpectFollows(targets, source, drawing, tolerance);
    }
  }
}

TEST(StampSearchTargets, DistancesLeftBehindAreBroughtUpToDateWhenTrackedAgain) {
  const Bitmap source = Noise(150, 31, 7);
  Bitmap drawing = Noise(150, 31, 8);
  StampSearchTargets targets(source, drawing, 5, false);
  EXPECT_FALSE(targets.TracksDistances());
  Random random(3);
  Repaint(drawing, source, 20, 4, 131, 29, random);
  targets.Refresh(20, 4, 131, 29);
  ExpectFollows(targets, source, drawing, 5);  // the bits follow without the distances
  targets.TrackDistances(true);
  ExpectFollows(targets, source, drawing, 5);
  ExpectMostDistant(targets, 150, 31);
  Repaint(drawing, source, 1, 1, 90, 12, random);
  targets.Refresh(1, 1, 90, 12);
  ExpectFollows(targets, source, drawing, 5);
}

TEST(StampSearchTargets, MaskedDistanceSumsTheMaskedBytesOrTellsOfACap) {
  const int width = 97, height = 40;
  Bitmap source = Noise(width, height, 9);
  for (int c = 0; c < 3; ++c) source.ScanLine(30)[3 * 70 + c] = 0;
  Bitmap drawing = source;
  // Small differences everywhere (no cap) except one pixel.
  Random random(4);
  for (int y = 0; y < height; ++y)
    for (int k = 0; k < 3 * width; ++k) drawing.ScanLine(y)[k] ^= static_cast<std::uint8_t>(random.Next(8));
  for (int c = 0; c < 3; ++c) drawing.ScanLine(30)[3 * 70 + c] = 255;
  const StampSearchTargets targets(source, drawing, 5);
  // Masks of 24 columns down to 3: those reaching one, two or four tiles.
  for (const int columns : {24, 17, 16, 9, 8, 5, 3}) {
    std::uint8_t mask[StampSearchTargets::MaskIndex(0, 24)] = {};
    for (int j = 0; j < 24; ++j)
      for (int i = 0; i < columns; ++i)
        if ((i * 7 + j * 3) % 5 != 0) mask[StampSearchTargets::MaskIndex(i, j)] = 0xFF;
    const auto literal = [&](int left, int top, int rows) {
      int sum = 0;
      for (int j = 0; j < rows; ++j)
        for (int i = 0; i < StampSearchTargets::kMaskColumns; ++i) {
          if (!mask[StampSearchTargets::MaskIndex(i, j)]) continue;
          if (targets.Distance(left + i, top + j) == StampSearchTargets::kDistanceCap) return -1;
          sum += targets.Distance(left + i, top + j);
        }
      return sum;
    };
    // The last rows and columns the mask may reach (its zero bytes past the picture's end),
    // every place in a tile, and squares over the capped pixel at (70, 30).
    for (const auto& [left, top] : {std::pair{0, 0}, std::pair{73, 16}, std::pair{50, 9}, std::pair{60, 16},
                                    std::pair{47, 20}, std::pair{69, 30}, std::pair{66, 28}, std::pair{67, 27},
                                    std::pair{68, 29}, std::pair{70, 30}, std::pair{71, 22}, std::pair{64, 21},
                                    std::pair{65, 30}})
      for (const int rows : {1, 9, 10}) {
        const int expected = literal(left, top, rows);
        EXPECT_EQ(targets.MaskedDistance(mask, columns, rows, left, top), expected)
            << left << "," << top << "," << rows << " columns " << columns;
      }
    EXPECT_EQ(targets.MaskedDistance(mask, columns, 10, 69, 30), -1);
    EXPECT_EQ(targets.MaskedDistance(mask, columns, 10, 60, 25), literal(60, 25, 10));  // (70, 30) left out
    EXPECT_GT(targets.MaskedDistance(mask, columns, 24, 73, 16), 0);
  }
}

// A refresh reads whole blocks of pixels around its rectangle but answers anew only inside it:
// a change of the drawing outside the rectangle stays unseen until its own refresh.
TEST(StampSearchTargets, RefreshChangesNothingOutsideItsRectangle) {
  const int width = 203, height = 9;
  const Bitmap source = Noise(width, height, 12);
  Bitmap drawing = Noise(width, height, 13);
  StampSearchTargets targets(source, drawing, 5);
  Random random(21);
  const int rectangles[][2] = {{3, 30}, {9, 10}, {13, 45}, {64, 81}, {100, 117}, {150, 203}, {190, 199}, {0, 17}};
  for (const auto& r : rectangles) {
    std::vector<int> before;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) before.push_back(targets.Distance(x, y) * 2 + targets.Qualifies(x, y));
    const std::int64_t count = targets.Count();
    Repaint(drawing, source, 0, 0, width, height, random);  // everything changes...
    targets.Refresh(r[0], 2, r[1], 7);                      // ...but only this is looked at
    std::int64_t change = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int old = before[static_cast<std::size_t>(y * width + x)];
        if (x >= r[0] && x < r[1] && y >= 2 && y < 7) {
          const std::uint8_t* s = source.ScanLine(y) + 3 * x;
          const std::uint8_t* d = drawing.ScanLine(y) + 3 * x;
          const int sum = std::abs(s[0] - d[0]) + std::abs(s[1] - d[1]) + std::abs(s[2] - d[2]);
          ASSERT_EQ(targets.Distance(x, y), std::min(sum, StampSearchTargets::kDistanceCap)) << x << "," << y;
          ASSERT_EQ(targets.Qualifies(x, y), std::abs(s[2] - d[2]) >= 5) << x << "," << y;
          change += targets.Qualifies(x, y) - (old & 1);
        } else {
          ASSERT_EQ(targets.Distance(x, y) * 2 + targets.Qualifies(x, y), old) << x << "," << y;
        }
      }
    EXPECT_EQ(targets.Count(), count + change);
  }
}
