#include <gtest/gtest.h>

#include "effects/Frames.h"
#include "effects/stylised/ColourInk.h"
#include "finishing/PaperTexture.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "tests/core/StylisedTestSupport.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

Bitmap Inked(const Bitmap& photo, std::array<int, 5> s, bool texture = false) {
  StylisedRun run(s, 18);
  run.ctx.MutableParams().texture = texture;
  Bitmap source = photo, output;
  ColourInk(source, output, ColourInkSettingsFrom(run.ctx), run.ctx);
  return output;
}

}  // namespace

TEST(ColourInk, AFlatPictureIsInkedOnlyWhenTheThresholdPassesTwiceItsLevel) {
  // On a flat picture the kernel gives 2 x the level per channel: 40 for grey 20.
  const Bitmap inked = Inked(Flat(11, 9, 20), {30, 105, 2, 127, 0});  // 105 - 64 = 41 > 40
  const Bitmap clear = Inked(Flat(11, 9, 20), {30, 104, 2, 127, 0});  // 40 is not below 40
  for (int y = 2; y <= 6; ++y)
    for (int x = 2; x <= 8; ++x) {
      EXPECT_EQ(inked.Pixel(x, y), kBlack);
      EXPECT_NE(clear.Pixel(x, y), kBlack);
    }
  EXPECT_NE(inked.Pixel(1, 4), kBlack);  // outside the kernel's reach
  EXPECT_NE(inked.Pixel(9, 4), kBlack);
}

TEST(ColourInk, LightnessStaysOnItsScale) {
  // Grey 250: lightness 235, saturation 0, raised by 25 to 260 and held at 240: white.
  const Bitmap out = Inked(Flat(9, 9, 250), {30, 30, 2, 127, 0});
  EXPECT_EQ(out.Pixel(4, 4), kWhite);
  // A saturated colour is raised less: lightness - saturation div 10 + 25.
  const Bitmap red = Inked(Uniform(9, 9, MakeColour(200, 40, 40)), {30, 30, 2, 127, 0});
  const Hls before = ColorRGBToHLS(MakeColour(200, 40, 40));
  EXPECT_EQ(ColorRGBToHLS(red.Pixel(4, 4)).luminance, before.luminance - before.saturation / 10 + 25);
}

TEST(ColourInk, FlatteningMarksEdgesAndShiftsFlatAreas) {
  const auto flatten = [](int t2, int t3) {
    StylisedRun run({30, t2, 1, t3, 0}, 18);
    Bitmap a = SyntheticPhoto(24, 20), d;
    FlattenColours(a, d, ColourInkSettingsFrom(run.ctx), run.ctx);
    return d;
  };
  // T2 = 255 makes every pixel an edge (threshold 0): the softened reference x 98 div 100,
  // whatever T3 says.
  EXPECT_EQ(flatten(255, 200), flatten(255, 127));
  // T2 = 0 makes the calm inside of the red disc flat: T3 - 127 is added there.
  const Bitmap plain = flatten(0, 127), lighter = flatten(0, 170);
  EXPECT_EQ(Red(lighter, 8, 10), std::min(255, Red(plain, 8, 10) + 43));
  EXPECT_EQ(Green(lighter, 8, 10), Green(plain, 8, 10) + 43);
  StylisedRun run({30, 255, 1, 127, 0}, 18);
  Bitmap a = Flat(12, 10, 100), d;
  FlattenColours(a, d, ColourInkSettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(d.Pixel(5, 5), Grey(98));
  EXPECT_EQ(a, Flat(12, 10, 100));  // the softened reference of a flat picture
}

TEST(ColourInk, FlatteningPrintsTheTexture) {
  StylisedRun plain({30, 30, 3, 127, 0}, 18), textured({30, 30, 3, 127, 0}, 18);
  textured.ctx.MutableParams().texture = true;
  textured.ctx.MutableParams().textureNumber = 3;
  const Bitmap photo = SyntheticPhoto(40, 30);
  Bitmap a1 = photo, d1, a2 = photo, d2;
  FlattenColours(a1, d1, ColourInkSettingsFrom(plain.ctx), plain.ctx);
  FlattenColours(a2, d2, ColourInkSettingsFrom(textured.ctx), textured.ctx);
  PrintTexture(d1, PaperTextureTile(3), 1, 255, 255);
  EXPECT_EQ(d2, d1);
}

TEST(ColourInk, RunCopiesWithoutSurfaceWhilePreviewFinishesIt) {
  StylisedRun run({30, 30, 4, 127, 0}, 18);
  run.ctx.MutableParams().softenEdges = true;
  const Bitmap photo = SyntheticPhoto(45, 35);
  const Bitmap direct = Inked(photo, {30, 30, 4, 127, 0});
  Bitmap result = photo;
  FrameColourInk(photo, result, run.ctx);
  EXPECT_EQ(result, direct);  // soft edges do not apply to this effect's run
  Bitmap preview;
  PreviewColourInk(photo, Bitmap(), preview, run.ctx);
  Bitmap softened = direct;
  SoftBlur(softened);
  EXPECT_EQ(preview, softened);
}

TEST(ColourInk, AStopEndsTheSmoothingAndTheRestStillRuns) {
  StylisedRun run({30, 30, 10, 127, 0}, 18);
  run.stop = true;
  Bitmap source = SyntheticPhoto(30, 20), output;
  ColourInk(source, output, ColourInkSettingsFrom(run.ctx), run.ctx);
  EXPECT_EQ(run.sink.calls.size(), 1u);  // pass 1 of 10, then the stop
  EXPECT_EQ(output.Width(), 30);
  EXPECT_EQ(output.Height(), 20);
}

TEST(ColourInk, OneThreadEqualsSeveral) {
  const Bitmap photo = SyntheticPhoto(97, 143);
  SetRowPassThreads(1);
  const Bitmap one = Inked(photo, {40, 60, 5, 140, 0}, true);
  SetRowPassThreads(4);
  const Bitmap several = Inked(photo, {40, 60, 5, 140, 0}, true);
  SetRowPassThreads(0);
  EXPECT_EQ(one, several);
}
