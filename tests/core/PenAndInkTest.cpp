#include <gtest/gtest.h>

#include <cstdlib>

#include "DrawingTestPictures.h"
#include "imaging/ParallelRows.h"
#include "effects/Frames.h"
#include "effects/drawing/PenAndInk.h"
#include "imaging/Filters.h"
#include "resources/PenToneSheet.h"

using namespace brumeleaf;
using namespace brumeleaf::inktests;

namespace {

int TileLevel(int tile, int x, int y) {
  return PenToneSheet().ScanLine((tile / 3) * kPenTileHeight + y)[3 * ((tile % 3) * kPenTileWidth + x)];
}

double TileMean(int tile) {
  double sum = 0;
  for (int y = 0; y < kPenTileHeight; ++y)
    for (int x = 0; x < kPenTileWidth; ++x) sum += TileLevel(tile, x, y);
  return sum / (kPenTileWidth * kPenTileHeight);
}

// Mean absolute difference between two columns of a tile (rows likewise when `rows` is set).
double LineDifference(int tile, int a, int b, bool rows) {
  const int count = rows ? kPenTileWidth : kPenTileHeight;
  double sum = 0;
  for (int i = 0; i < count; ++i)
    sum += rows ? std::abs(TileLevel(tile, i, a) - TileLevel(tile, i, b))
                : std::abs(TileLevel(tile, a, i) - TileLevel(tile, b, i));
  return sum / count;
}

Bitmap PenSketch(const Bitmap& source, ParameterSnapshot p, Random& random) {
  RunContext ctx(p, random);
  Bitmap result;
  FramePenandInkSketch(source, result, ctx);
  return result;
}

Bitmap InkSketch(const Bitmap& source, ParameterSnapshot p) {
  Random random(7);
  RunContext ctx(p, random);
  Bitmap result;
  FramePenandInkSketch2(source, result, ctx);
  return result;
}

// Black picture with white pixels at the given positions.
Bitmap BlackWithSpecks(int width, int height, int specks) {
  Bitmap b = Flat(width, height, 0);
  for (int i = 0; i < specks; ++i) b.SetPixel(10 + 10 * (i % 10), 10 + 10 * (i / 10), kWhite);
  return b;
}

Bitmap Checkerboard(int size) {
  Bitmap b(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) b.SetPixel(x, y, (x + y) % 2 ? kBlack : kWhite);
  return b;
}

// Clean-up passes seen through the progress reports of row 0 (step = pass * height).
int CleanupPasses(Bitmap& image, int simplification, StoppingSink& sink) {
  Random random(1);
  RunContext ctx(Sliders(21, 40, 160, simplification, 0, 0), random);
  ctx.preview = true;  // leaves out the opening report of step 0
  sink.Attach(ctx);
  InkCleanup(image, ctx);
  int passes = 0;
  for (const ProgressCall& c : sink.calls) {
    if (c.pass == 2 && c.total == 10 * image.Height() && c.step % image.Height() == 0) ++passes;
  }
  return passes;
}

}  // namespace

TEST(PenToneSheet, NineSeamlessGreyTilesDarkestFirst) {
  const Bitmap& sheet = PenToneSheet();
  ASSERT_EQ(sheet.Width(), 300);
  ASSERT_EQ(sheet.Height(), 600);
  for (int y = 0; y < sheet.Height(); y += 7)
    for (int x = 0; x < sheet.Width(); x += 3) ASSERT_TRUE(IsGrey(sheet.Pixel(x, y)));
  for (int n = 0; n < kPenTiles; ++n) {
    EXPECT_NEAR(TileMean(n), 25.0 * n + 12, 2.0) << "tile " << n;
    if (n > 0) {
      EXPECT_GT(TileMean(n), TileMean(n - 1));
    }
  }
  // Across the wrap the tile changes no more than between neighbouring lines inside it.
  for (int n = 3; n < kPenTiles; ++n) {
    EXPECT_LE(LineDifference(n, kPenTileWidth - 1, 0, false), 1.5 * LineDifference(n, 49, 50, false) + 8);
    EXPECT_LE(LineDifference(n, kPenTileHeight - 1, 0, true), 1.5 * LineDifference(n, 99, 100, true) + 8);
  }
  EXPECT_EQ(&PenToneSheet(), &sheet);
}

TEST(PenAndInkSketch1, FlatMidGreyIsTileFiveAndWhiteStaysWhite) {
  Random random(3);
  const Bitmap grey = PenSketch(Flat(230, 420, 128), Sliders(3, 50, 50, 90, 127, 0), random);
  ASSERT_EQ(grey.Width(), 230);
  for (int y = 0; y < grey.Height(); ++y) {
    for (int x = 0; x < grey.Width(); ++x) {
      const int expected = (x == 0 || y == 0) ? 255 : TileLevel(5, x % 100, y % 200);
      ASSERT_EQ(grey.Pixel(x, y), MakeColour(expected, expected, expected)) << x << "," << y;
    }
  }
  const Bitmap white = PenSketch(Flat(50, 50, 255), Sliders(3, 50, 50, 90, 127, 0), random);
  EXPECT_EQ(white, Flat(50, 50, 255));
}

TEST(PenAndInkSketch1, EdgesAreGreyLinesAndTheRunReseeds) {
  // A vertical step from 200 to 20: the step columns become edge greys, not hatching.
  Bitmap step = Flat(40, 30, 200);
  step.FillRect(20, 0, 40, 30, MakeColour(20, 20, 20));
  Random first(1), second(987654);
  const Bitmap a = PenSketch(step, Sliders(3, 50, 50, 90, 110, 0), first);
  const Bitmap b = PenSketch(step, Sliders(3, 50, 50, 90, 110, 0), second);
  EXPECT_EQ(a, b);
  EXPECT_EQ(first.Seed(), kEffectSeed);
  EXPECT_EQ(second.Seed(), kEffectSeed);
  bool edgeGrey = false;
  for (int y = 1; y < 30; ++y) {
    const Colour c = a.Pixel(20, y);
    EXPECT_TRUE(IsGrey(c));
    edgeGrey = edgeGrey || RedOf(c) < 100;
  }
  EXPECT_TRUE(edgeGrey);
}

TEST(PenAndInkSketch1, StopLeavesThePartialDrawingUntextured) {
  Random random(1);
  ParameterSnapshot p = Sliders(3, 50, 50, 90, 110, 0);
  p.texture = true;
  p.softenEdges = true;
  RunContext ctx(p, random);
  StoppingSink sink;
  sink.Attach(ctx);
  sink.stopWhen = [](const ProgressCall& c) { return c.step == 10; };
  Bitmap scratch = Flat(60, 40, 128);
  Bitmap drawing;
  DrawPenAndInk(scratch, drawing, ctx);
  // Tone (128 + 10 % brightening = 140) + 110 - 127 = 123: tile 4. Rows 1..10 are drawn, the
  // rest stays white paper without texture.
  EXPECT_EQ(RedOf(drawing.Pixel(7, 5)), TileLevel(4, 7, 5));
  for (int y = 11; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(drawing.Pixel(x, y), kWhite) << x << "," << y;
}

TEST(PenAndInkSketch2, OnlyBlackAndWhiteGreys) {
  for (int simplification : {0, 40}) {
    const Bitmap ink = InkSketch(Scene(160, 120), Sliders(21, 40, 160, simplification, 0, 0));
    int black = 0;
    for (int y = 0; y < ink.Height(); ++y)
      for (int x = 0; x < ink.Width(); ++x) {
        const Colour c = ink.Pixel(x, y);
        ASSERT_TRUE(c == kWhite || c == kBlack) << x << "," << y;
        black += c == kBlack;
      }
    EXPECT_GT(black, 0);
    EXPECT_LT(black, 160 * 120);
  }
}

TEST(PenAndInkSketch2, CleanupStopsAfterAPassOfNineteenChangesOrElevenPasses) {
  {
    StoppingSink sink;
    Bitmap specks = BlackWithSpecks(120, 60, 19);
    EXPECT_EQ(CleanupPasses(specks, 40, sink), 1);
    EXPECT_EQ(specks, Flat(120, 60, 0));  // every lone white pixel is inked
  }
  {
    StoppingSink sink;
    Bitmap specks = BlackWithSpecks(120, 60, 20);
    EXPECT_EQ(CleanupPasses(specks, 40, sink), 2);
  }
  {
    // A checkerboard flips wholesale on every pass at simplification 128; it settles only from
    // its border inwards, a few pixels per pass, so a large one is still changing after 11.
    StoppingSink sink;
    Bitmap board = Checkerboard(120);
    EXPECT_EQ(CleanupPasses(board, 128, sink), 11);
    EXPECT_EQ(sink.calls.back().step, 101);
  }
  {
    // Simplification 0 skips the clean-up.
    StoppingSink sink;
    Bitmap specks = BlackWithSpecks(120, 60, 5);
    const Bitmap before = specks;
    EXPECT_EQ(CleanupPasses(specks, 0, sink), 0);
    EXPECT_EQ(specks, before);
  }
}

// The threshold written out pixel by pixel as the drawing rule states it (81 reads per pixel).
TEST(PenAndInkSketch2, ThresholdMatchesTheWindowRuleWrittenOut) {
  const Bitmap scene = Scene(37, 29);
  Bitmap padded(37 + 18, 29 + 18);
  for (auto [px, py] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}}) padded.Draw(px, py, scene);
  SoftBlur(padded);
  Bitmap softened = scene;
  SoftBlur(softened);
  const int details = 60, lighten = 150;
  const SourceMean mean;
  const int means[3] = {static_cast<int>(mean.blue), static_cast<int>(mean.green), static_cast<int>(mean.red)};
  Bitmap expected = scene;
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 37; ++x) {
      int thresholds = 0, levels = 0;
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int dy = -4; dy <= 4; ++dy)
          for (int dx = -4; dx <= 4; ++dx) sum += padded.ScanLine(y + 9 + dy)[3 * (x + 9 + dx) + c];
        const int centre = padded.ScanLine(y + 9)[3 * (x + 9) + c];
        thresholds += (means[c] + (sum - centre) / 20 + 192 - lighten) / 6;
        levels += centre;
      }
      expected.SetPixel(x, y, thresholds < levels ? kWhite : kBlack);
    }
  for (int y = 2; y <= 29 - 3; ++y)
    for (int x = 2; x <= 37 - 3; ++x) {
      int u = 0;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
          const int weight = (dx == 0 && dy == 0) ? 30 : (dx == 0 && dy == 2 ? -5 : -1);
          const std::uint8_t* p = softened.ScanLine(y + dy) + 3 * (x + dx);
          u += weight * (p[0] + p[1] + p[2]);
        }
      if (u < 5 * (details - 15)) expected.SetPixel(x, y, kBlack);
    }
  Bitmap image = scene;
  Random random(1);
  RunContext ctx(Sliders(21, details, lighten, 0, 0, 0), random);
  InkThreshold(image, ctx);
  EXPECT_EQ(image, expected);
}

TEST(PenAndInkSketch2, StopDuringCleanupStillLeavesGreys) {
  Bitmap board = Checkerboard(120);
  Random random(1);
  RunContext ctx(Sliders(21, 40, 160, 128, 0, 0), random);
  StoppingSink sink;
  sink.Attach(ctx);
  sink.stopWhen = [](const ProgressCall& c) { return c.pass == 2 && c.step == 0; };
  InkCleanup(board, ctx);
  ASSERT_TRUE(sink.stop);
  bool changed = false;
  for (int y = 0; y < board.Height(); ++y)
    for (int x = 0; x < board.Width(); ++x) {
      ASSERT_TRUE(IsGrey(board.Pixel(x, y))) << x << "," << y;
      changed = changed || board.Pixel(x, y) != ((x + y) % 2 ? kBlack : kWhite);
    }
  EXPECT_TRUE(changed);
}

TEST(PenAndInkSketch2, SeveralThreadsGiveTheSameBytesAsOne) {
  const Bitmap scene = Scene(257, 203);
  SetRowPassThreads(1);
  const Bitmap one = InkSketch(scene, Sliders(21, 40, 160, 40, 0, 0));
  SetRowPassThreads(4);
  const Bitmap four = InkSketch(scene, Sliders(21, 40, 160, 40, 0, 0));
  SetRowPassThreads(0);
  EXPECT_EQ(one, four);
}

TEST(PenAndInk, TinyPicturesGiveAPictureAndHonestProgress) {
  for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 2}, {2, 3}}) {
    for (int code : {3, 21}) {
      Random random(5);
      RunContext ctx(Sliders(code, 40, 160, 40, 110, 0), random);
      StoppingSink sink;
      sink.Attach(ctx);
      Bitmap result;
      if (code == 3) {
        FramePenandInkSketch(Scene(w, h), result, ctx);
      } else {
        FramePenandInkSketch2(Scene(w, h), result, ctx);
      }
      EXPECT_EQ(result.Width(), w);
      EXPECT_EQ(result.Height(), h);
      for (const ProgressCall& c : sink.calls) EXPECT_GT(c.total, 0) << w << "x" << h << " code " << code;
    }
  }
}
