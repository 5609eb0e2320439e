#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "effects/EffectTable.h"
#include "effects/Frames.h"
#include "effects/painting/Brushstrokes.h"
#include "imaging/ParallelRows.h"
#include "tests/core/PaintingTestSupport.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(5).s;

Bitmap Paint(const Bitmap& source, std::uint32_t seed, std::atomic<bool>* stop = nullptr, RecordingSink* sink = nullptr) {
  Random random(seed);
  RunContext ctx(PaintingParams(5, kDefaults), random);
  if (stop) ctx.SetStopFlag(stop);
  if (sink) ctx.SetSink(sink);
  Bitmap out;
  BrushstrokePainting(source, out, BrushstrokeSettingsFrom(ctx), ctx);
  return out;
}

}  // namespace

TEST(StrokeFieldTest, AFlatPictureHasRandomAnglesBelowTheLimitAndABareBorder) {
  Random random(9);
  const StrokeField field = MakeStrokeField(Uniform(13, 11, MakeColour(90, 40, 200)), random);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) {
      EXPECT_EQ(field.Magnitude(x, y), 0);
      const double a = field.Angle(x, y);
      if (x == 0 || y == 0 || x == 12 || y == 10) {
        EXPECT_EQ(a, 0.0);
      } else {
        EXPECT_GE(a, 0.0);
        EXPECT_LE(a, 0.627);
        EXPECT_EQ(a * 1000, std::round(a * 1000));  // Random(628) / 1000
      }
    }
}

TEST(StrokeFieldTest, AVerticalEdgeGivesTheLargestSignedGradient) {
  // Black left of column 5, white from it: at column 4 the left-minus-right gradient is
  // -16 * 255 in every channel, the vertical one 0.
  Bitmap b = Uniform(10, 5, kBlack);
  b.FillRect(5, 0, 10, 5, kWhite);
  Random random(1);
  const StrokeField field = MakeStrokeField(b, random);
  EXPECT_EQ(field.Magnitude(4, 2), 16 * 255 / 32);
  EXPECT_EQ(field.Magnitude(5, 2), 16 * 255 / 32);
  EXPECT_NEAR(field.Angle(4, 2), std::atan2(0.0f, -4080.0f) + 1.5707, 1e-9);
  EXPECT_EQ(field.Magnitude(2, 2), 0);
  // White above black: top minus bottom is positive in every channel.
  Bitmap c = Uniform(5, 10, kBlack);
  c.FillRect(0, 0, 5, 5, kWhite);
  const StrokeField down = MakeStrokeField(c, random);
  EXPECT_NEAR(down.Angle(2, 4), std::atan2(4080.0f, 0.0f) + 1.5707, 1e-9);
}

TEST(Brushstrokes, TheSameSeedRepeatsTheBytesOnAnyThreadCount) {
  const Bitmap photo = SyntheticPhoto(97, 71);
  const Bitmap copy = photo;
  SetRowPassThreads(1);
  const Bitmap one = Paint(photo, 21);
  SetRowPassThreads(4);
  const Bitmap four = Paint(photo, 21);
  SetRowPassThreads(0);
  EXPECT_EQ(one, four);
  EXPECT_EQ(photo, copy);
  EXPECT_NE(one, Paint(photo, 22));  // the effect does not reseed
}

TEST(Brushstrokes, TheCanvasIsCoveredWithTheColoursOfThePhotograph) {
  const Bitmap photo = Uniform(120, 90, MakeColour(200, 60, 40));
  const Bitmap out = Paint(photo, 3);
  int reddish = 0;
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) {
      const Colour c = out.Pixel(x, y);
      reddish += RedOf(c) > GreenOf(c) + 60 && RedOf(c) > BlueOf(c) + 60;
    }
  EXPECT_GT(reddish, 120 * 90 * 9 / 10);
}

TEST(Brushstrokes, TinyPicturesGiveAPicture) {
  for (const auto& size : kTinySizes) {
    const Bitmap out = RunPaintingFrame(FramePainting2, SyntheticPhoto(size[0], size[1]), PaintingParams(5, kDefaults));
    EXPECT_EQ(out.Width(), size[0]);
    EXPECT_EQ(out.Height(), size[1]);
  }
}

TEST(Brushstrokes, AStopDuringTheUnderpaintingLeavesWhitePaper) {
  std::atomic<bool> stop{true};
  RecordingSink sink;
  const Bitmap out = Paint(SyntheticPhoto(60, 50), 3, &stop, &sink);
  EXPECT_EQ(out, Uniform(60, 50, kWhite));
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 1, 1}));
}

TEST(Brushstrokes, LongerStrokesChangeThePicture) {
  const Bitmap photo = SyntheticPhoto(90, 70);
  ParameterSnapshot p = PaintingParams(5, kDefaults);
  const Bitmap normal = RunPaintingFrame(FramePainting2, photo, p);
  p.s[0] = 255;  // divisor 2 instead of 15
  EXPECT_NE(RunPaintingFrame(FramePainting2, photo, p), normal);
}
