#include <gtest/gtest.h>

#include <atomic>

#include "effects/EffectTable.h"
#include "effects/Frames.h"
#include "effects/painting/ExpressiveStrokes.h"
#include "imaging/ParallelRows.h"
#include "tests/core/PaintingTestSupport.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(20).s;

// A smooth picture: no pixel differs much from its neighbours, so detail stays low.
Bitmap Smooth(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, MakeColour(60 + x, 90 + y, 200 - x / 2));
  return b;
}

Bitmap Strokes(const Bitmap& source, ExpressiveStrokeArgs args, std::array<int, 5> s = kDefaults) {
  Random random(5);
  RunContext ctx(PaintingParams(20, s), random);
  Bitmap out = source;
  ExpressiveStrokes(source, out, args, ctx);
  return out;
}

}  // namespace

TEST(ExpressiveStrokes, TheEffectRepeatsItsBytesOnAnyThreadCount) {
  const Bitmap photo = SyntheticPhoto(83, 61);
  const Bitmap copy = photo;
  SetRowPassThreads(1);
  const Bitmap one = RunPaintingFrame(FrameExpressivePainting, photo, PaintingParams(20, kDefaults), 1);
  SetRowPassThreads(4);
  const Bitmap four = RunPaintingFrame(FrameExpressivePainting, photo, PaintingParams(20, kDefaults), 2);
  SetRowPassThreads(0);
  EXPECT_EQ(one, four);
  EXPECT_EQ(photo, copy);
  EXPECT_NE(one, photo);
}

TEST(ExpressiveStrokes, WithoutAttemptsNothingIsPainted) {
  // Precision 0 tries a stroke only where detail reaches 97; a smooth picture has none, and
  // with no records the refinement has nothing to repaint either.
  const Bitmap smooth = Smooth(70, 50);
  EXPECT_EQ(Strokes(smooth, {28, 214, 0, 1}), smooth);
}

TEST(ExpressiveStrokes, AnOddBrushSizeIsRoundedUp) {
  const Bitmap photo = SyntheticPhoto(60, 44);
  EXPECT_EQ(Strokes(photo, {17, 50, 104, 1}), Strokes(photo, {18, 50, 104, 1}));
  EXPECT_NE(Strokes(photo, {18, 50, 104, 1}), Strokes(photo, {22, 50, 104, 1}));
}

TEST(ExpressiveStrokes, APendingStopPaintsNothing) {
  const Bitmap photo = SyntheticPhoto(40, 30);
  Random random(5);
  RunContext ctx(PaintingParams(20, kDefaults), random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  Bitmap out = photo;
  ExpressiveStrokes(photo, out, {28, 214, 104, 1}, ctx);
  EXPECT_EQ(out, photo);
}

TEST(ExpressiveStrokes, AUniformPictureIsCoveredWithItsOwnColour) {
  // Every footprint matches perfectly (error 0), so strokes are laid wherever they are tried;
  // each layer of a colour over itself loses one level to the mixing (shr 8). Footprints
  // whose ink lies off the picture must not leave black marks in the corners.
  const Colour c = MakeColour(180, 90, 40);
  const Bitmap flat = Uniform(50, 40, c);
  const Bitmap out = Strokes(flat, {28, 214, 150, 1});
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) {
      const Colour p = out.Pixel(x, y);
      ASSERT_LE(RedOf(p), 180);
      ASSERT_GE(RedOf(p), 172) << x << "," << y;
      ASSERT_GE(GreenOf(p), 82) << x << "," << y;
      ASSERT_GE(BlueOf(p), 32) << x << "," << y;
    }
  EXPECT_NE(out, flat);
}

TEST(ExpressiveStrokes, TheDestinationMustMatchTheSource) {
  Random random(5);
  RunContext ctx(PaintingParams(20, kDefaults), random);
  Bitmap out(10, 10);
  EXPECT_THROW(ExpressiveStrokes(SyntheticPhoto(12, 10), out, {}, ctx), ImageError);
  Bitmap same = SyntheticPhoto(12, 10);
  EXPECT_THROW(ExpressiveStrokes(same, same, {}, ctx), ImageError);
}

TEST(ExpressiveStrokes, TinyPicturesAndTheUsersBrushGiveAPicture) {
  for (const auto& size : kTinySizes) {
    const Bitmap out = RunPaintingFrame(FrameExpressivePainting, SyntheticPhoto(size[0], size[1]),
                                        PaintingParams(20, kDefaults));
    EXPECT_EQ(out.Width(), size[0]);
    EXPECT_EQ(out.Height(), size[1]);
  }
  Bitmap brush = Uniform(21, 21, kWhite);
  brush.FillRect(3, 8, 18, 13, kBlack);
  ParameterSnapshot p = PaintingParams(20, kDefaults);
  const Bitmap photo = SyntheticPhoto(70, 50);
  const Bitmap tiles = RunPaintingFrame(FrameExpressivePainting, photo, p);
  p.customBrush = true;
  p.customBrushPicture = &brush;
  EXPECT_NE(RunPaintingFrame(FrameExpressivePainting, photo, p), tiles);
}
