#include <gtest/gtest.h>

#include "effects/Frames.h"
#include "effects/stylised/Abstract.h"
#include "imaging/Filters.h"
#include "imaging/ParallelRows.h"
#include "tests/core/StylisedTestSupport.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

Bitmap Abstracted(const Bitmap& source, std::array<int, 5> s, int b) {
  StylisedRun run(s, 29);
  Bitmap output;
  PaintAbstract(source, output, AbstractSettingsFrom(run.ctx), b, run.ctx);
  return output;
}

}  // namespace

TEST(Abstract, TheLongestRunOnWhiteSumsToExactly65535) {
  // T2 = 255: 257 frames of white, 257 x 255 = 65535 in each 16-bit sum, and 65535 div 257 = 255.
  EXPECT_EQ(Abstracted(Flat(21, 13, 255), {150, 255, 50, 127, 0}, 256), Uniform(21, 13, kWhite));
}

TEST(Abstract, SeedAndDrawsFollowTheSliders) {
  // b = 1: two frames; a picture under 40 pixels has one shape per frame, three draws each.
  StylisedRun run({150, 0, 50, 127, 0}, 29);
  Bitmap output;
  PaintAbstract(SyntheticPhoto(30, 20), output, AbstractSettingsFrom(run.ctx), 1, run.ctx);
  Random expected(151);
  for (int i = 0; i < 6; ++i) expected.Next(1);
  EXPECT_EQ(run.random.Seed(), expected.Seed());
  // Same picture and sliders: same picture, whatever the session's generator held before.
  EXPECT_EQ(Abstracted(SyntheticPhoto(30, 20), {150, 0, 50, 127, 0}, 1), output);
}

TEST(Abstract, DarkenLightenKeepsTheShapes) {
  const Bitmap photo = SyntheticPhoto(90, 70);
  const Bitmap plain = Abstracted(photo, {60, 4, 50, 127, 0}, 5);
  const Bitmap lighter = Abstracted(photo, {60, 4, 50, 137, 0}, 5);
  for (int y = 0; y < 70; y += 3)
    for (int x = 0; x < 90; x += 3) {
      EXPECT_EQ(Red(lighter, x, y), std::min(255, Red(plain, x, y) + 10));
      EXPECT_EQ(Blue(lighter, x, y), std::min(255, Blue(plain, x, y) + 10));
    }
}

TEST(Abstract, ShapesKeepTheSizeOfTheWholePicture) {
  // A crop of a wide picture draws larger shapes than the crop alone would.
  StylisedRun small({150, 3, 50, 127, 0}, 29), wide({150, 3, 50, 127, 0}, 29);
  wide.ctx.sourcePanelWidth = 2000;
  const Bitmap crop = SyntheticPhoto(80, 80);
  Bitmap a, b;
  PaintAbstract(crop, a, AbstractSettingsFrom(small.ctx), 4, small.ctx);
  PaintAbstract(crop, b, AbstractSettingsFrom(wide.ctx), 4, wide.ctx);
  EXPECT_NE(a, b);
  // The preview takes s2 frames - 1 and finishes the surface.
  StylisedRun preview({150, 3, 50, 127, 0}, 29);
  preview.ctx.MutableParams().softenEdges = true;
  Bitmap o;
  PreviewAbstract(crop, Bitmap(), o, preview.ctx);
  Bitmap expected = Abstracted(crop, {150, 3, 50, 127, 0}, 3);
  SoftBlur(expected);
  EXPECT_EQ(o, expected);
}

TEST(Abstract, AStopAveragesTheFramesDrawnAndFinishes) {
  StylisedRun run({150, 15, 55, 127, 127}, 29);
  StopAtReport sink;
  sink.stop = &run.stop;
  sink.at = 2;  // the report after frame 0
  run.ctx.SetSink(&sink);
  Bitmap output;
  PaintAbstract(SyntheticPhoto(50, 40), output, AbstractSettingsFrom(run.ctx), 16, run.ctx);
  EXPECT_EQ(sink.calls[1], (std::array<int, 4>{0, 16, 1, 3}));
  EXPECT_EQ(sink.calls[2], (std::array<int, 4>{0, 50, 2, 3}));
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 3, 3}));
  EXPECT_EQ(output.Width(), 50);
}

TEST(Abstract, OneThreadEqualsSeveral) {
  const Bitmap photo = SyntheticPhoto(130, 170);
  SetRowPassThreads(1);
  const Bitmap one = Abstracted(photo, {100, 6, 60, 120, 127}, 7);
  SetRowPassThreads(4);
  const Bitmap several = Abstracted(photo, {100, 6, 60, 120, 127}, 7);
  SetRowPassThreads(0);
  EXPECT_EQ(one, several);
}
