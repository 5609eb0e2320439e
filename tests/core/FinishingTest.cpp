#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/Finalize.h"
#include "finishing/PaperTexture.h"
#include "finishing/SurfaceFinish.h"
#include "imaging/Filters.h"
#include "SyntheticPhoto.h"

using namespace brumeleaf;
using brumeleaf::testing::RecordingSink;
using brumeleaf::testing::SyntheticPhoto;
using brumeleaf::testing::Uniform;

namespace {

Colour Grey(int v) { return MakeColour(v, v, v); }

RunContext MakeContext(Random& random, ParameterSnapshot params = {}) {
  return RunContext(params, random);
}

// A tile whose column x holds level x, to see which texel lands where.
Bitmap ColumnRampTile() {
  Bitmap tile(kTextureTileSize, kTextureTileSize);
  for (int y = 0; y < tile.Height(); ++y)
    for (int x = 0; x < tile.Width(); ++x) tile.SetPixel(x, y, Grey(x));
  return tile;
}

}  // namespace

TEST(PaperTexture, StrengthsFollowTheOffsetRule) {
  // Light: 200 + 64 - 5 * 100 div 10 = 214.
  Bitmap light = Uniform(3, 3, Grey(200));
  PrintTexture(light, Uniform(256, 256, Grey(100)), 0, 255, 255);
  EXPECT_EQ(light.Pixel(1, 1), Grey(214));
  EXPECT_EQ(light.Pixel(2, 2), Grey(214));
  // Strong on mid-grey: over texel 0 clamps to 255, over texel 255 to 0.
  Bitmap strongOverBlack = Uniform(2, 2, Grey(128));
  PrintTexture(strongOverBlack, Uniform(256, 256, Grey(0)), 2, 255, 255);
  EXPECT_EQ(strongOverBlack.Pixel(1, 1), Grey(255));
  Bitmap strongOverWhite = Uniform(2, 2, Grey(128));
  PrintTexture(strongOverWhite, Uniform(256, 256, Grey(255)), 2, 255, 255);
  EXPECT_EQ(strongOverWhite.Pixel(1, 1), Grey(0));
  // Normal over a texel of 128 leaves the pixel as it was.
  Bitmap normal = Uniform(2, 2, MakeColour(10, 90, 250));
  PrintTexture(normal, Uniform(256, 256, Grey(128)), 1, 255, 255);
  EXPECT_EQ(normal.Pixel(1, 1), MakeColour(10, 90, 250));
}

TEST(PaperTexture, FirstRowAndColumnAndChannelsStayApart) {
  Bitmap image = Uniform(4, 3, Grey(200));
  Bitmap tile = Uniform(256, 256, Grey(0));
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) tile.SetPixel(x, y, MakeColour(0, 100, 200));  // r, g, b
  PrintTexture(image, tile, 0, 255, 255);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(image.Pixel(x, 0), Grey(200));
  for (int y = 0; y < 3; ++y) EXPECT_EQ(image.Pixel(0, y), Grey(200));
  // Red with red, green with green, blue with blue: 200 + 64 - 5t/10.
  EXPECT_EQ(image.Pixel(3, 2), MakeColour(255, 214, 164));
}

TEST(PaperTexture, TheSurfaceRepeatsEvery255PixelsThePencilEvery256) {
  const Bitmap tile = ColumnRampTile();
  Bitmap surface = Uniform(257, 2, Grey(127));
  PrintTexture(surface, tile, 1, 255, 255);
  EXPECT_EQ(surface.Pixel(1, 1), Grey(127 + 128 - 1));
  EXPECT_EQ(surface.Pixel(255, 1), Grey(255));  // column 0 again
  EXPECT_EQ(surface.Pixel(256, 1), Grey(254));  // column 1
  Bitmap pencil = Uniform(257, 2, Grey(127));
  PrintTexture(pencil, tile, 1, 256, 256);
  EXPECT_EQ(pencil.Pixel(255, 1), Grey(0));  // 127 + 128 - 255, the last column is used
  EXPECT_EQ(pencil.Pixel(256, 1), Grey(255));
}

TEST(PaperTexture, BadChoicesAreClearErrors) {
  EXPECT_THROW(TextureOffset(3), ImageError);
  EXPECT_THROW(TextureOffset(-1), ImageError);
  EXPECT_THROW(PaperTextureTile(10), ImageError);
  EXPECT_THROW(PaperTextureTile(-1), ImageError);
  Bitmap image = Uniform(3, 3, Grey(5));
  EXPECT_THROW(PrintTexture(image, Uniform(10, 10, Grey(0)), 0, 255, 255), ImageError);
  EXPECT_EQ(image, Uniform(3, 3, Grey(5)));
}

TEST(PaperTexture, TilesAreCutFromTheSheet) {
  for (int n = 0; n < kTextureTiles; ++n) {
    const Bitmap& tile = PaperTextureTile(n);
    EXPECT_EQ(tile.Width(), 256);
    EXPECT_EQ(tile.Height(), 256);
  }
  EXPECT_EQ(&PaperTextureTile(3), &PaperTextureTile(3));  // cut once
}

TEST(SurfaceFinish, WithoutOptionsIsAnExactCopy) {
  Random random(5);
  RunContext ctx = MakeContext(random);
  const Bitmap photo = SyntheticPhoto(31, 17);
  Bitmap panel = Uniform(3, 3, kBlack);
  ApplySurfaceFinish(photo, panel, ctx);
  EXPECT_EQ(panel, photo);
}

TEST(SurfaceFinish, SoftensThenTextures) {
  Random random(5);
  ParameterSnapshot params;
  params.softenEdges = true;
  RunContext softOnly = MakeContext(random, params);
  const Bitmap photo = SyntheticPhoto(40, 30);
  Bitmap panel;
  ApplySurfaceFinish(photo, panel, softOnly);
  Bitmap expected = photo;
  SoftBlur(expected);
  EXPECT_EQ(panel, expected);

  params.texture = true;
  params.textureNumber = 4;
  params.textureStrength = 2;
  RunContext both = MakeContext(random, params);
  ApplySurfaceFinish(photo, panel, both);
  PrintTexture(expected, PaperTextureTile(4), 2, 255, 255);
  EXPECT_EQ(panel, expected);
}

TEST(SurfaceFinish, ThinPicturesGetNoTexture) {
  Random random(5);
  ParameterSnapshot params;
  params.texture = true;
  params.textureStrength = 2;
  RunContext ctx = MakeContext(random, params);
  const Bitmap row = SyntheticPhoto(50, 1);
  const Bitmap column = SyntheticPhoto(1, 50);
  Bitmap panel;
  ApplySurfaceFinish(row, panel, ctx);
  EXPECT_EQ(panel, row);
  ApplySurfaceFinish(column, panel, ctx);
  EXPECT_EQ(panel, column);
}

TEST(SurfaceFinish, InPlaceAndBadOptionsChangeNothing) {
  Random random(5);
  ParameterSnapshot params;
  params.texture = true;
  params.textureNumber = 12;
  RunContext bad = MakeContext(random, params);
  const Bitmap photo = SyntheticPhoto(20, 20);
  Bitmap panel = Uniform(2, 2, kBlack);
  EXPECT_THROW(ApplySurfaceFinish(photo, panel, bad), ImageError);
  EXPECT_EQ(panel, Uniform(2, 2, kBlack));

  params.textureNumber = 0;
  params.textureStrength = 0;
  RunContext good = MakeContext(random, params);
  Bitmap inPlace = photo;
  ApplySurfaceFinish(inPlace, inPlace, good);
  Bitmap expected = photo;
  PrintTexture(expected, PaperTextureTile(0), 0, 255, 255);
  EXPECT_EQ(inPlace, expected);
}

namespace {

struct FinalizeFixture : ::testing::Test {
  Random random{1};
  std::atomic<bool> stop{false};
  RecordingSink sink;
  std::vector<std::string> steps;
  FinishingSteps hooks{
      [this](Bitmap& r, RunContext&) {
        steps.push_back("frame");
        r.Resize(r.Width() + 20, r.Height() + 10);
      },
      [this](Bitmap&, RunContext&) { steps.push_back("text"); }};

  RunContext Context(bool frame, bool text) {
    ParameterSnapshot p;
    p.addFrame = frame;
    p.addText = text;
    RunContext ctx(p, random);
    ctx.SetStopFlag(&stop);
    ctx.SetSink(&sink);
    return ctx;
  }
};

}  // namespace

TEST_F(FinalizeFixture, FrameThenSizeThenText) {
  RunContext ctx = Context(true, true);
  const Bitmap source = SyntheticPhoto(30, 20);
  Bitmap result = source;
  FinalizeOutcome outcome = Finalize(source, result, ctx, hooks);
  EXPECT_FALSE(outcome.stopped);
  EXPECT_EQ(steps, (std::vector<std::string>{"frame", "text"}));
  EXPECT_EQ(outcome.resultWidth, 50);
  EXPECT_EQ(outcome.resultHeight, 30);
  EXPECT_TRUE(sink.calls.empty());
}

TEST_F(FinalizeFixture, UncheckedStepsAreSkipped) {
  RunContext ctx = Context(false, true);
  const Bitmap source = SyntheticPhoto(30, 20);
  Bitmap result = source;
  Finalize(source, result, ctx, hooks);
  EXPECT_EQ(steps, std::vector<std::string>{"text"});
  EXPECT_EQ(result, source);
}

TEST_F(FinalizeFixture, AfterAStopNoFrameNoTextAndTheSourceSize) {
  RunContext ctx = Context(true, true);
  stop = true;
  const Bitmap source = SyntheticPhoto(30, 20);
  Bitmap result = SyntheticPhoto(44, 33);
  const Bitmap partial = result;
  FinalizeOutcome outcome = Finalize(source, result, ctx, hooks);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(result, partial);
  EXPECT_EQ(outcome.resultWidth, 30);
  EXPECT_EQ(outcome.resultHeight, 20);
  ASSERT_EQ(sink.calls.size(), 1u);
  EXPECT_EQ(sink.calls[0], (std::array<int, 4>{100, 100, 1, 1}));
}

TEST_F(FinalizeFixture, AMissingStepIsAnErrorNotASilentSkip) {
  RunContext ctx = Context(true, false);
  EXPECT_THROW(CheckFinishingAvailable(FinishingSteps{}, ctx.Params()), ImageError);
  EXPECT_NO_THROW(CheckFinishingAvailable(StandardFinishingSteps(), ctx.Params()));
  const Bitmap source = SyntheticPhoto(8, 8);
  Bitmap result = source;
  EXPECT_THROW(Finalize(source, result, ctx, FinishingSteps{}), ImageError);
  EXPECT_NO_THROW(CheckFinishingAvailable(StandardFinishingSteps(), ParameterSnapshot{}));
}
