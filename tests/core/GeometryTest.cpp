#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <vector>

#include "imaging/Geometry.h"
#include "imaging/Round.h"
#include "TestPictures.h"

using namespace brumeleaf;

namespace {

using brumeleaf::testing::Noise;

Bitmap Row(std::initializer_list<int> levels) {
  Bitmap b(static_cast<int>(levels.size()), 1);
  int x = 0;
  for (int v : levels) b.SetPixel(x++, 0, MakeColour(v, v, v));
  return b;
}

std::vector<int> RedRow(const Bitmap& b, int y) {
  std::vector<int> out;
  for (int x = 0; x < b.Width(); ++x) out.push_back(RedOf(b.Pixel(x, y)));
  return out;
}

struct Recorder : ProgressSink {
  struct Call {
    int step, total, pass, passes;
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> progress;
  std::vector<int> lines;
  void ShowProgress(int step, int total, int pass, int passes) override {
    progress.push_back({step, total, pass, passes});
  }
  void PreviewProgressLine(int x) override { lines.push_back(x); }
};

struct TestRun {
  Random random{1};
  RunContext ctx{ParameterSnapshot{}, random};
  Recorder sink;
  std::atomic<bool> stop{false}, cancelled{false};
  TestRun() {
    ctx.SetSink(&sink);
    ctx.SetStopFlag(&stop);
    ctx.SetCancelFlag(&cancelled);
  }
};

}  // namespace

TEST(StretchBilinear, EqualSizesCopyAndWeightsFromTheFormula) {
  const Bitmap source = Noise(9, 7, 1);
  Bitmap same(9, 7);
  StretchBilinear(source, same);
  EXPECT_EQ(same, source);

  // xstep = MulDiv(1, 65536, 3) = 21845; column 1: w01 = 21845, w00 = 43691, w10 = 1.
  // Column 2: w01 = 43690, w11 = MulDiv(43690, 1, 65536) = 1 (two thirds rounds up).
  Bitmap three(3, 1);
  StretchBilinear(Row({0, 255}), three);
  EXPECT_EQ(RedRow(three, 0), (std::vector<int>{0, 84, 170}));
}

TEST(StretchBilinear, SingleRowsColumnsAndEmptyPictures) {
  // Into a single row: every row is reached through its own row address.
  Bitmap flat(6, 4);
  flat.Fill(MakeColour(10, 200, 33));
  Bitmap oneRow(3, 1);
  StretchBilinear(flat, oneRow);
  EXPECT_EQ(oneRow.Pixel(2, 0), MakeColour(10, 200, 33));

  // A 1-pixel-wide source repeats its column; a 1-high source its row.
  Bitmap column(1, 2);
  column.SetPixel(0, 0, MakeColour(40, 40, 40));
  column.SetPixel(0, 1, MakeColour(80, 80, 80));
  Bitmap wide(4, 2);
  StretchBilinear(column, wide);
  EXPECT_EQ(RedRow(wide, 0), (std::vector<int>{40, 40, 40, 40}));
  Bitmap wideFast(4, 3);
  StretchBilinearFast(column, wideFast);
  // ystep = 32768 div 3 = 10922: (40*21846 + 80*10922) shr 15 = 53, then fy = 21844 gives 66.
  EXPECT_EQ(RedRow(wideFast, 0), (std::vector<int>{40, 40, 40, 40}));
  EXPECT_EQ(RedRow(wideFast, 1), (std::vector<int>{53, 53, 53, 53}));
  EXPECT_EQ(RedRow(wideFast, 2), (std::vector<int>{66, 66, 66, 66}));
  Bitmap tall(1, 5);
  StretchBilinearFast(Row({120}), tall);
  EXPECT_EQ(tall.Pixel(0, 4), MakeColour(120, 120, 120));

  Bitmap empty, untouched(2, 2);
  StretchBilinear(empty, untouched);
  StretchBilinearFast(empty, untouched);
  EXPECT_EQ(untouched.Pixel(1, 1), kWhite);
  StretchBilinear(flat, empty);
  StretchBilinearFast(flat, empty);
  EXPECT_TRUE(empty.Empty());
}

TEST(StretchBilinear, RoundedUpStepStaysOnTheLastColumn) {
  // MulDiv(1, 65536, 26214) rounds 2.50004 up to 3, so the last columns land past column 1
  // with a non-zero fraction: the right-hand pixel is the last column itself.
  Bitmap source(2, 2);
  source.Fill(kBlack);
  source.FillRect(1, 0, 2, 2, MakeColour(200, 200, 200));
  Bitmap destination(26214, 1);
  StretchBilinear(source, destination);
  EXPECT_EQ(destination.Pixel(26213, 0), MakeColour(200, 200, 200));
}

TEST(StretchBilinearFast, SameSizeBlendsWithTheNextPixel) {
  // xstep = 2 * 32768 div 3 = 21845: (90 * 21845) shr 15 = 59 and
  // (90 * 21846 + 180 * 10922) shr 15 = 119.
  Bitmap out(3, 1);
  StretchBilinearFast(Row({0, 90, 180}), out);
  EXPECT_EQ(RedRow(out, 0), (std::vector<int>{0, 59, 119}));
  Bitmap onto = Row({0, 90, 180});
  StretchBilinearFast(onto, onto);  // onto itself: from the entry levels
  EXPECT_EQ(RedRow(onto, 0), (std::vector<int>{0, 59, 119}));
}

TEST(RotateBitmap90, QuarterTurnsBothWays) {
  Bitmap b(3, 2);
  const int levels[2][3] = {{1, 2, 3}, {4, 5, 6}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) b.SetPixel(x, y, MakeColour(levels[y][x], 0, 0));
  RotateBitmap90(b, 90);
  ASSERT_EQ(b.Width(), 2);
  ASSERT_EQ(b.Height(), 3);
  EXPECT_EQ(RedRow(b, 0), (std::vector<int>{4, 1}));  // clockwise
  EXPECT_EQ(RedRow(b, 2), (std::vector<int>{6, 3}));
  RotateBitmap90(b, -90);
  EXPECT_EQ(RedRow(b, 0), (std::vector<int>{1, 2, 3}));

  const Bitmap entry = Noise(37, 23, 5);
  Bitmap turned(entry);
  RotateBitmap90(turned, -90);
  EXPECT_EQ(RedOf(turned.Pixel(0, 0)), RedOf(entry.Pixel(36, 0)));  // counter-clockwise
  RotateBitmap90(turned, 90);
  EXPECT_EQ(turned, entry);

  Bitmap tooTall(15002, 1);
  EXPECT_THROW(RotateBitmap90(tooTall, 90), ImageError);
  EXPECT_EQ(tooTall.Width(), 15002);
}

TEST(RotateBitmapAngle, ZeroIsACopyAndFortyEnlargesWithWhiteCorners) {
  TestRun run;
  const Bitmap entry = Noise(31, 20, 7);
  Bitmap copy;
  RotateBitmapAngle(entry, copy, 0, run.ctx);
  EXPECT_EQ(copy, entry);

  Bitmap black(100, 60);
  black.Fill(kBlack);
  Bitmap turned;
  RotateBitmapAngle(black, turned, 40, run.ctx);
  // 39 + 77 columns (60 sin 40 = 38.6, 100 cos 40 = 76.6) and 64 + 46 rows.
  EXPECT_EQ(turned.Width(), 116);
  EXPECT_EQ(turned.Height(), 110);
  EXPECT_EQ(turned.Pixel(0, 0), kWhite);
  EXPECT_EQ(turned.Pixel(115, 109), kWhite);
  EXPECT_EQ(turned.Pixel(58, 55), kBlack);
  // Other angles keep the source size.
  Bitmap thirty;
  RotateBitmapAngle(black, thirty, 30, run.ctx);
  EXPECT_EQ(thirty.Width(), 100);
  EXPECT_EQ(thirty.Height(), 60);
  EXPECT_FALSE(run.stop);
}

TEST(RotateBitmapAngle, ThereAndBackRestoresUpToResampling) {
  // Large flat blocks: only pixels along block edges may move by a pixel.
  Bitmap blocks(80, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) blocks.SetPixel(x, y, MakeColour(x / 10 * 30, y / 10 * 40, 90));
  TestRun run;
  Bitmap forward, back;
  RotateBitmapAngle(blocks, forward, 40, run.ctx);
  RotateBitmapAngle(forward, back, -40, run.ctx);
  const int ox = (back.Width() - 80) / 2, oy = (back.Height() - 60) / 2;
  int same = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) same += back.Pixel(x + ox, y + oy) == blocks.Pixel(x, y);
  EXPECT_GT(same, 80 * 60 * 9 / 10);
}

TEST(RotateBitmapAngle, ProgressStopAndFailure) {
  TestRun run;
  Bitmap black(100, 60), turned;
  RotateBitmapAngle(black, turned, 40, run.ctx);  // 110 rows: reports at rows 100, 50 and 0
  using Call = Recorder::Call;
  EXPECT_EQ(run.sink.progress, (std::vector<Call>{{50, 110, 1, 3}, {80, 110, 1, 3}, {110, 110, 1, 3}}));
  run.sink.progress.clear();
  Bitmap back;
  RotateBitmapAngle(black, back, -40, run.ctx);  // -40 keeps the 60 rows
  EXPECT_EQ(run.sink.progress, (std::vector<Call>{{30, 60, 3, 3}, {60, 60, 3, 3}}));
  run.sink.progress.clear();
  run.ctx.preview = true;
  RotateBitmapAngle(black, back, 40, run.ctx);
  EXPECT_TRUE(run.sink.progress.empty());
  run.ctx.preview = false;

  // A raised stop flag: rows not reached keep their content.
  Bitmap red(100, 60);
  red.Fill(MakeColour(255, 0, 0));
  run.stop = true;
  RotateBitmapAngle(black, red, 0, run.ctx);
  EXPECT_EQ(red.Pixel(50, 59), MakeColour(255, 0, 0));
  run.stop = false;

  // 30000 x 100 turned by 40 needs 19361 rows: the run fails, nothing is thrown.
  Bitmap wide(30000, 100), failed(5, 5);
  RotateBitmapAngle(wide, failed, 40, run.ctx);
  EXPECT_TRUE(failed.Empty());
  EXPECT_TRUE(run.stop);
  EXPECT_TRUE(run.cancelled);
  EXPECT_EQ(run.sink.progress.back(), (Call{101, 100, 1, 1}));
}

TEST(RotateBitmapExpand, AlwaysEnlargesAndDrawsThePreviewLine) {
  TestRun run;
  Bitmap black(100, 60), turned;
  black.Fill(kBlack);
  RotateBitmapExpand(black, turned, 40, run.ctx);
  Bitmap angle;
  RotateBitmapAngle(black, angle, 40, run.ctx);
  EXPECT_EQ(turned, angle);  // the same rotation
  using Call = Recorder::Call;
  EXPECT_EQ(run.sink.progress.front(), (Call{9, 109, 1, 3}));  // row 100 of 110

  run.sink.progress.clear();
  Bitmap thirty;
  RotateBitmapExpand(black, thirty, -30, run.ctx);
  EXPECT_GT(thirty.Width(), 100);
  EXPECT_GT(thirty.Height(), 60);
  EXPECT_EQ(run.sink.progress.back().pass, 3);
  EXPECT_EQ(run.sink.progress.back().step, (thirty.Height() - 1) * 95 / 100);

  run.ctx.preview = true;
  RotateBitmapExpand(black, thirty, 30, run.ctx);
  ASSERT_FALSE(run.sink.lines.empty());
  EXPECT_EQ(run.sink.lines.back(), 100);  // the forward turn ends half way along the line
  RotateBitmapExpand(black, thirty, -30, run.ctx);
  EXPECT_EQ(run.sink.lines.back(), 200);
  EXPECT_EQ(run.sink.lines.size() % 2, 0u);

  Bitmap wide(30000, 100), unchanged(5, 5);
  EXPECT_THROW(RotateBitmapExpand(wide, unchanged, 40, run.ctx), ImageError);
  EXPECT_EQ(unchanged.Width(), 5);
}

TEST(CopyTile, TilesOfASheet) {
  Bitmap sheet(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) sheet.SetPixel(x, y, MakeColour(x, y, 7));
  Bitmap tile(3, 2);
  CopyTile(sheet, tile, 3, 2, 0, 0);
  EXPECT_EQ(tile.Pixel(0, 0), MakeColour(0, 0, 7));
  EXPECT_EQ(tile.Pixel(2, 1), MakeColour(2, 1, 7));
  CopyTile(sheet, tile, 3, 2, 1, 1);
  EXPECT_EQ(tile.Pixel(0, 0), MakeColour(3, 2, 7));
  EXPECT_EQ(tile.Pixel(2, 1), MakeColour(5, 3, 7));

  // Outside the sheet nothing is read; a partial tile copies what exists.
  Bitmap white(3, 2);
  CopyTile(sheet, white, 3, 2, 2, 0);
  CopyTile(sheet, white, 3, 2, -1, 0);
  CopyTile(sheet, white, 3, 2, 1 << 30, 1 << 30);
  EXPECT_EQ(white, Bitmap(3, 2));
  CopyTile(sheet, white, 4, 3, 1, 1);  // columns 4..5, row 3 only
  EXPECT_EQ(white.Pixel(1, 0), MakeColour(5, 3, 7));
  EXPECT_EQ(white.Pixel(2, 0), kWhite);
  EXPECT_EQ(white.Pixel(0, 1), kWhite);
}

TEST(Round, HalvesGoToTheEvenNeighbourLikeNearbyint) {
  for (double v : {2.5, -2.5, 3.5, 0.5, -0.5, 1.4999999999999998, -7.5, 1e15 + 0.5, 4503599627370497.0}) {
    EXPECT_EQ(RoundHalfEven(v), std::nearbyint(v)) << v;
  }
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  Random random(3);
  for (int i = 0; i < 10000; ++i) {
    const double v = (random.NextFloat() - 0.5) * 200000.0;
    ASSERT_EQ(RoundHalfEven(v), std::nearbyint(v)) << v;
  }
}
