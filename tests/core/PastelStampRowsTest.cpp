#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "effects/drawing/PastelStampRows.h"
#include "imaging/Geometry.h"
#include "resources/OilPastelStamp.h"
#include "tests/core/PencilTestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

// The last column where a stamp's rows, padded to pairs of 16-byte blocks, still end inside a
// picture row: the passes read the whole padded row there.
int RightmostCovered(int size, int width) { return (3 * width - (3 * size + 31) / 32 * 32) / 3; }

// A drawing unlike the source in every channel, so that each sum has something to add.
Bitmap Scrambled(int width, int height) {
  Bitmap b(width, height);
  Random random(99);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int k = 0; k < 3 * width; ++k) row[k] = static_cast<std::uint8_t>(random.Next(256));
  }
  return b;
}

struct Expected {
  std::int64_t sum[3] = {0, 0, 0};
  int before = 0;
  int laid = 0;
};

// The sums pixel by pixel: every ink pixel for the means, the first 2cx x 2cy for the error
// before, and the ink off the outermost rows and columns blended for the error after, the
// drawing read `shift` pixels up and left.
Expected PixelByPixel(const Bitmap& stamp, const Bitmap& source, const Bitmap& drawing, int left, int top,
                      int shift, const int mean[3]) {
  Expected e;
  const int size = stamp.Width(), span = 2 * (size / 2);
  for (int j = 0; j < size; ++j)
    for (int i = 0; i < size; ++i) {
      const int level = stamp.ScanLine(j)[3 * i + 2];
      if (level >= kPastelInkBelow) continue;
      const std::uint8_t* s = source.ScanLine(top + j) + 3 * (left + i);
      const std::uint8_t* d = drawing.ScanLine(top + j) + 3 * (left + i);
      const std::uint8_t* r = drawing.ScanLine(top + j - shift) + 3 * (left + i - shift);
      for (int c = 0; c < 3; ++c) {
        e.sum[c] += s[c];
        if (i < span && j < span) e.before += std::abs(s[c] - d[c]);
        if (i > 0 && j > 0 && i < size - 1 && j < size - 1)
          e.laid += std::abs(s[c] - ((r[c] * level + mean[c] * (255 - level)) >> 8));
      }
    }
  return e;
}

// The same sums over the stamp pixels strictly inside a width x height picture, with the
// count of ink pixels there.
Expected PixelByPixelInside(const Bitmap& stamp, const Bitmap& source, const Bitmap& drawing, int left, int top,
                            int shift, const int mean[3], int& count) {
  Expected e;
  count = 0;
  const int size = stamp.Width(), span = 2 * (size / 2);
  for (int j = 0; j < size; ++j)
    for (int i = 0; i < size; ++i) {
      const int level = stamp.ScanLine(j)[3 * i + 2];
      const int x = left + i, y = top + j;
      if (level >= kPastelInkBelow || x < 1 || y < 1 || x > source.Width() - 2 || y > source.Height() - 2) continue;
      ++count;
      const std::uint8_t* s = source.ScanLine(y) + 3 * x;
      const std::uint8_t* d = drawing.ScanLine(y) + 3 * x;
      for (int c = 0; c < 3; ++c) {
        e.sum[c] += s[c];
        if (i < span && j < span) e.before += std::abs(s[c] - d[c]);
        if (i > 0 && j > 0 && i < size - 1 && j < size - 1) {
          const std::uint8_t* r = drawing.ScanLine(y - shift) + 3 * (x - shift);
          e.laid += std::abs(s[c] - ((r[c] * level + mean[c] * (255 - level)) >> 8));
        }
      }
    }
  return e;
}

}  // namespace

// A stamp over the picture's edge counts only the part strictly inside: at every side and
// corner, on pictures wider and narrower than the stamp, both shifts.
TEST(PastelStampRows, SumThePartInsideThePictureAsThePixelsDo) {
  const int mean[3] = {221, 9, 140};
  for (const auto& [width, height] : {std::pair{53, 41}, std::pair{9, 23}, std::pair{3, 3}}) {
    const Bitmap source = PhotoLike(width, height);
    const Bitmap drawing = Scrambled(width, height);
    const auto sourceRows = source.RowTable();
    const auto drawingRows = drawing.RowTable();
    for (int size : {3, 5, 6, 17, 22, 41}) {
      Bitmap stamp(size, size);
      StretchBilinearFast(OilPastelStamp(), stamp);
      PastelStampRows rows;
      rows.Build(stamp);
      int counted = 0;
      for (int top = -size; top <= height; top += 3)
        for (int left = -size; left <= width; left += 2) {
          PastelStampRows::Part part;
          part.firstRow = std::clamp(1 - top, 0, size);
          part.endRow = std::clamp(height - 1 - top, 0, size);
          part.firstColumn = std::clamp(1 - left, 0, size);
          part.endColumn = std::clamp(width - 1 - left, 0, size);
          for (int shift : {0, 1}) {
            int expectedCount = 0;
            const Expected e =
                PixelByPixelInside(stamp, source, drawing, left, top, shift, mean, expectedCount);
            int count = -1;
            const PastelStampRows::Under under =
                rows.SumUnderPart(sourceRows.data(), drawingRows.data(), left, top, part, count);
            ASSERT_EQ(count, expectedCount) << size << " at " << left << "," << top;
            counted += count > 0;
            for (int c = 0; c < 3; ++c) EXPECT_EQ(under.sum[c], e.sum[c]) << size << " at " << left << "," << top;
            EXPECT_EQ(under.before, e.before) << size << " at " << left << "," << top;
            EXPECT_EQ(rows.LaidErrorPart(sourceRows.data(), drawingRows.data(), left, top, shift, part, mean, 5,
                                         INT_MAX),
                      e.laid + 5)
                << size << " at " << left << "," << top << " shift " << shift;
            if (e.laid > 100) {
              EXPECT_GE(rows.LaidErrorPart(sourceRows.data(), drawingRows.data(), left, top, shift, part, mean, 0,
                                           100),
                        100);
            }
          }
        }
      EXPECT_GT(counted, 0) << size;
    }
  }
}

// Both forms of the passes, 16 and 32 bytes at a time (the wider one where the processor has it).
class PastelStampRowsForms : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { PastelStampRows::AllowWide(GetParam()); }
  void TearDown() override { PastelStampRows::AllowWide(true); }
};

INSTANTIATE_TEST_SUITE_P(PastelStampRows, PastelStampRowsForms, ::testing::Bool());

TEST_P(PastelStampRowsForms, SumWholeRowsAsThePixelsDo) {
  const Bitmap source = PhotoLike(131, 97);
  const Bitmap drawing = Scrambled(131, 97);
  const auto sourceRows = source.RowTable();
  const auto drawingRows = drawing.RowTable();
  const int mean[3] = {37, 201, 118};
  for (int size : {3, 5, 6, 17, 22, 41, 64}) {
    Bitmap stamp(size, size);
    StretchBilinearFast(OilPastelStamp(), stamp);
    PastelStampRows rows;
    rows.Build(stamp);
    int checked = 0;
    for (int top = 0; top + size < 97; top += 7)
      for (int left = 0; left + size < 131; left += 5) {
        if (!rows.Covers(left, top, 131, 97)) continue;
        ++checked;
        for (int shift : {0, 1}) {
          const Expected e = PixelByPixel(stamp, source, drawing, left, top, shift, mean);
          // With its first rows said to be fetched already (only the fetches differ) or not.
          const PastelStampRows::Under under =
              rows.SumUnder(sourceRows.data(), drawingRows.data(), left, top, shift == 1);
          for (int c = 0; c < 3; ++c) EXPECT_EQ(under.sum[c], e.sum[c]) << size;
          EXPECT_EQ(under.before, e.before) << size;
          EXPECT_EQ(rows.LaidError(sourceRows.data(), drawingRows.data(), left, top, shift, mean, 5, INT_MAX),
                    e.laid + 5)
              << size;
          // Past the limit the sum may stop early, but never below the limit.
          if (e.laid > 100) {
            EXPECT_GE(rows.LaidError(sourceRows.data(), drawingRows.data(), left, top, shift, mean, 0, 100), 100);
          }
        }
      }
    EXPECT_GT(checked, 0) << size;
  }
}

// The largest stamps, odd and even, at a few places: their rows span many blocks.
TEST_P(PastelStampRowsForms, SumTheLargestStampsAsThePixelsDo) {
  const int width = 251, height = 223;
  const Bitmap source = PhotoLike(width, height);
  const Bitmap drawing = Scrambled(width, height);
  const auto sourceRows = source.RowTable();
  const auto drawingRows = drawing.RowTable();
  const int mean[3] = {250, 3, 77};
  for (int size : {95, 185, 206}) {
    Bitmap stamp(size, size);
    StretchBilinearFast(OilPastelStamp(), stamp);
    PastelStampRows rows;
    rows.Build(stamp);
    ASSERT_FALSE(rows.Covers(RightmostCovered(size, width) + 1, 1, width, height)) << size;
    for (const auto& [left, top] :
         {std::pair{1, 1}, std::pair{RightmostCovered(size, width), height - size - 1}, std::pair{13, 8}}) {
      ASSERT_TRUE(rows.Covers(left, top, width, height)) << size;
      for (int shift : {0, 1}) {
        const Expected e = PixelByPixel(stamp, source, drawing, left, top, shift, mean);
        const PastelStampRows::Under under = rows.SumUnder(sourceRows.data(), drawingRows.data(), left, top);
        for (int c = 0; c < 3; ++c) EXPECT_EQ(under.sum[c], e.sum[c]) << size;
        EXPECT_EQ(under.before, e.before) << size;
        EXPECT_EQ(rows.LaidError(sourceRows.data(), drawingRows.data(), left, top, shift, mean, 0, INT_MAX), e.laid)
            << size;
      }
    }
  }
}

// Laying a kept stamp in place equals building the candidate (the window of the drawing with
// the ink blended on it) and drawing it over the square; nothing outside the square changes.
TEST_P(PastelStampRowsForms, LayInPlaceAsTheCandidateWouldBeDrawn) {
  const int width = 83, height = 61;
  const Bitmap original = Scrambled(width, height);
  const int mean[3] = {201, 14, 133};
  for (int size : {3, 4, 5, 6, 17, 22, 23, 40, 41}) {
    Bitmap stamp(size, size);
    StretchBilinearFast(OilPastelStamp(), stamp);
    PastelStampRows rows;
    rows.Build(stamp);
    const int shift = size % 2, span = 2 * (size / 2);
    ASSERT_FALSE(rows.Covers(RightmostCovered(size, width) + 1, 1, width, height)) << size;
    for (const auto& [left, top] : {std::pair{1, 1}, std::pair{RightmostCovered(size, width), height - size - 1},
                                    std::pair{9, std::min(20, height - size - 1)}}) {
      ASSERT_TRUE(rows.Covers(left, top, width, height)) << size;
      Bitmap expected = original;
      Bitmap candidate(size, size);
      for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
          const std::uint8_t* from = original.ScanLine(top + j * span / size) + 3 * (left + i * span / size);
          std::uint8_t* to = candidate.ScanLine(j) + 3 * i;
          const int level = stamp.ScanLine(j)[3 * i + 2];
          const bool laid = level < kPastelInkBelow && i > 0 && j > 0 && i < size - 1 && j < size - 1;
          for (int c = 0; c < 3; ++c) to[c] = laid ? (from[c] * level + mean[c] * (255 - level)) >> 8 : from[c];
        }
      expected.Draw(left, top, candidate);
      Bitmap laid = original;
      rows.Lay(laid.RowTable().data(), left, top, shift, mean);
      EXPECT_EQ(laid, expected) << size << " at " << left << "," << top;
    }
  }
}

TEST(PastelStampRows, CoverOnlyWhereTheRowsCanBeReadWhole) {
  Bitmap stamp(10, 10);
  StretchBilinearFast(OilPastelStamp(), stamp);
  PastelStampRows rows;
  rows.Build(stamp);
  // Strictly inside: not on row or column 0, the last row untouched, and room after each row
  // for the stamp row padded to pairs of 16-byte blocks (30 bytes to 32).
  EXPECT_TRUE(rows.Covers(1, 1, 100, 100));
  EXPECT_FALSE(rows.Covers(0, 1, 100, 100));
  EXPECT_FALSE(rows.Covers(1, 0, 100, 100));
  EXPECT_TRUE(rows.Covers(1, 89, 100, 100));
  EXPECT_FALSE(rows.Covers(1, 90, 100, 100));
  EXPECT_TRUE(rows.Covers(89, 1, 100, 100));
  EXPECT_FALSE(rows.Covers(90, 1, 100, 100));
  EXPECT_EQ(RightmostCovered(10, 100), 89);
}

// Each row's laid columns run from its first to its last laid ink pixel (none on the outermost
// rows and columns), rotated stamps included, and are empty for a stamp without ink.
TEST(PastelStampRows, BoundTheLaidInkRowByRow) {
  for (int size : {5, 8, 23, 64}) {
    Bitmap stamp(size, size);
    StretchBilinearFast(OilPastelStamp(), stamp);
    for (int quarter = 0; quarter < 2; ++quarter) {
      if (quarter) {  // a quarter turn and a cut corner: the bounds are not symmetric
        Bitmap turned(size, size);
        for (int j = 0; j < size; ++j)
          for (int i = 0; i < size; ++i)
            for (int c = 0; c < 3; ++c) turned.ScanLine(j)[3 * i + c] = stamp.ScanLine(i)[3 * (size - 1 - j) + c];
        for (int j = 0; j < size / 2; ++j)
          for (int i = 0; i < size; ++i) turned.ScanLine(j)[3 * i + 2] = 255;
        stamp = turned;
      }
      PastelStampRows rows;
      rows.Build(stamp);
      for (int j = 0; j < size; ++j) {
        int expectedFirst = size, expectedEnd = 0;
        for (int i = 1; i < size - 1; ++i)
          if (j > 0 && j < size - 1 && stamp.ScanLine(j)[3 * i + 2] < kPastelInkBelow) {
            expectedFirst = std::min(expectedFirst, i);
            expectedEnd = i + 1;
          }
        int first = 0, end = 0;
        rows.LaidColumns(j, first, end);
        if (expectedEnd == 0) {
          EXPECT_GE(first, end) << size << " " << quarter << " row " << j;
        } else {
          EXPECT_EQ(first, expectedFirst) << size << " " << quarter << " row " << j;
          EXPECT_EQ(end, expectedEnd) << size << " " << quarter << " row " << j;
        }
      }
    }
  }
  Bitmap paper(7, 7);
  paper.Fill(MakeColour(255, 255, 255));
  PastelStampRows rows;
  rows.Build(paper);
  for (int j = 0; j < 7; ++j) {
    int first = 0, end = 0;
    rows.LaidColumns(j, first, end);
    EXPECT_GE(first, end) << j;
  }
}
