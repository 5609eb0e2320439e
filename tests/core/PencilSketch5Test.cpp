#include <gtest/gtest.h>

#include <cstdlib>

#include <utility>

#include "effects/EffectTable.h"
#include "effects/drawing/PencilSketch5.h"
#include "imaging/ParallelRows.h"
#include "pipeline/RunEffect.h"
#include "resources/PencilTileSheet.h"
#include "tests/core/PencilTestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

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

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(24).s;

PencilSketch5Settings Settings(std::array<int, 5> s) { return PencilSketch5Settings{s[0], s[1], s[2], s[3], s[4]}; }

Bitmap Sketch(const Bitmap& source, std::array<int, 5> sliders, std::uint32_t sessionSeed = 1,
              const Bitmap& texture = Bitmap()) {
  TestRun run(sliders, sessionSeed);
  Bitmap result;
  DrawPencilSketch5(source, result, Settings(sliders), texture, run.ctx);
  return result;
}

double MeanLevel(const Bitmap& b) {
  double sum = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < 3 * b.Width(); ++x) sum += b.ScanLine(y)[x];
  return sum / (3.0 * b.Width() * b.Height());
}

}  // namespace

TEST(PencilSketch5, AWhiteSourceDrawsNothing) {
  // No darkness means no hatching and no gradient means no edge strokes; with the tiles left
  // out (BI 0) and no colour finishing (CI 50 or less) the sheet stays white.
  const Bitmap result = Sketch(Uniform(80, 60, kWhite), {50, 150, 0, 128, 40});
  EXPECT_EQ(result, Uniform(80, 60, kWhite));
}

TEST(PencilSketch5, PrintsItsOwnTextureFromRowAndColumnOne) {
  // Strong texture: level 400, weight 31 tenths; a texel of 200 takes 400 - 620 = -220.
  TestRun run({50, 150, 0, 128, 40});
  run.ctx.MutableParams().texture = true;
  run.ctx.MutableParams().textureStrength = 2;
  Bitmap result;
  DrawPencilSketch5(Uniform(20, 10, kWhite), result, Settings({50, 150, 0, 128, 40}),
                    Uniform(256, 256, MakeColour(200, 200, 200)), run.ctx);
  EXPECT_EQ(result.Pixel(0, 0), kWhite);
  EXPECT_EQ(result.Pixel(5, 0), kWhite);
  EXPECT_EQ(result.Pixel(0, 5), kWhite);
  EXPECT_EQ(result.Pixel(5, 5), MakeColour(35, 35, 35));
  EXPECT_EQ(result.Pixel(19, 9), MakeColour(35, 35, 35));
}

TEST(PencilSketch5, TileShadingWithoutBlendingChangesNothing) {
  TestRun run(kDefaults);
  Bitmap drawing = PhotoLike(50, 40);
  const Bitmap before(drawing);
  BlendPencilTiles(PhotoLike(50, 40), drawing, Settings({50, 150, 0, 128, 200}), run.ctx);
  EXPECT_EQ(drawing, before);
  EXPECT_EQ(run.random.Seed(), 1969u);
}

TEST(PencilSketch5, BlueDominantPixelsTakeDarkerTiles) {
  TestRun run(kDefaults);
  Bitmap grey = Uniform(256, 205, kWhite), blue = Uniform(256, 205, kWhite);
  BlendPencilTiles(Uniform(256, 205, MakeColour(120, 120, 120)), grey, Settings({50, 150, 100, 128, 200}), run.ctx);
  BlendPencilTiles(Uniform(256, 205, MakeColour(90, 90, 180)), blue, Settings({50, 150, 100, 128, 200}), run.ctx);
  EXPECT_LT(MeanLevel(blue), MeanLevel(grey) - 10);
  EXPECT_LT(MeanLevel(grey), 250);
}

TEST(PencilSketch5, DarkenLightenSetsHowMuchIsHatched) {
  const Bitmap photo = PhotoLike(80, 60);
  const double dark = MeanLevel(Sketch(photo, {255, 150, 0, 0, 40}));
  const double light = MeanLevel(Sketch(photo, {255, 150, 0, 255, 40}));
  EXPECT_LT(dark, light - 5);
}

TEST(PencilSketch5, LeavesTheGeneratorAt1969AndRepeatsFromThere) {
  // The hatching continues the session's sequence; the tile shading reseeds halfway.
  const Bitmap photo = PhotoLike(60, 45);
  TestRun run(kDefaults, 4242);
  Bitmap first, second;
  DrawPencilSketch5(photo, first, Settings(kDefaults), Bitmap(), run.ctx);
  EXPECT_EQ(run.random.Seed(), 1969u);
  DrawPencilSketch5(photo, second, Settings(kDefaults), Bitmap(), run.ctx);
  EXPECT_NE(first, second);
  EXPECT_EQ(second, Sketch(photo, kDefaults, 1969));
  EXPECT_EQ(first, Sketch(photo, kDefaults, 4242));
}

TEST(PencilSketch5, AStopEndsTheHatchingAfterItsFirstRow) {
  TestRun run(kDefaults);
  run.stop = true;
  Bitmap result;
  DrawPencilSketch5(Uniform(40, 40, kBlack), result, Settings(kDefaults), Bitmap(), run.ctx);
  double hatched = 0;
  for (int x = 0; x < 40; ++x) hatched += 255 - RedOf(result.Pixel(x, 0));
  EXPECT_GT(hatched, 0);
  for (int y = 10; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(result.Pixel(x, y), kWhite);
  // The progress display is not ended by the stopped run.
  EXPECT_EQ(run.sink.calls.back(), (std::array<int, 4>{0, 39, 1, 3}));
}

TEST(PencilSketch5, TinyPicturesGiveAPicture) {
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 3}}) {
    const Bitmap result = Sketch(PhotoLike(w, h), kDefaults);
    EXPECT_EQ(result.Width(), w);
    EXPECT_EQ(result.Height(), h);
  }
}

TEST(PencilSketch5, TheRunTakesTheDrawingAsItIs) {
  // The effect finishes its own surface: the run adds no surface stage of its own.
  const Bitmap photo = PhotoLike(50, 40);
  TestRun run(kDefaults, 31);
  Bitmap result = photo;
  EXPECT_EQ(RunEffect(24, photo, result, run.ctx), RunOutcome::Completed);
  EXPECT_EQ(result, Sketch(photo, kDefaults, 31));
}

TEST(PencilSketch5, SeveralThreadsGiveTheSameBytesAsOne) {
  const Bitmap photo = PhotoLike(70, 300);
  SetRowPassThreads(1);
  const Bitmap one = Sketch(photo, kDefaults, 17);
  SetRowPassThreads(4);
  const Bitmap four = Sketch(photo, kDefaults, 17);
  SetRowPassThreads(0);
  EXPECT_EQ(one, four);
}
