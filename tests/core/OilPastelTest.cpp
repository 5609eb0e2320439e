#include <gtest/gtest.h>

#include "effects/EffectTable.h"

#include <cstdlib>
#include <utility>

#include "effects/drawing/OilPastel.h"
#include "imaging/ParallelRows.h"
#include "pipeline/RunEffect.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "resources/OilPastelStamp.h"
#include "tests/core/PencilTestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

bool IsInk(const Bitmap& stamp, int x, int y) { return RedOf(stamp.Pixel(x, y)) < 250; }

}  // namespace

TEST(OilPastelStamp, IsAPatchOfInkOnWhite) {
  const Bitmap& stamp = OilPastelStamp();
  ASSERT_EQ(stamp.Width(), 250);
  ASSERT_EQ(stamp.Height(), 250);
  int ink = 0;
  for (int y = 0; y < 250; ++y)
    for (int x = 0; x < 250; ++x) {
      if (IsInk(stamp, x, y)) ++ink;
      else EXPECT_GE(RedOf(stamp.Pixel(x, y)), 250);
    }
  EXPECT_GT(ink, 250 * 250 / 3);
  EXPECT_LT(ink, 250 * 250 * 3 / 4);
  // Corners are paper, so rotating the stamp does not cut off ink.
  for (int k = 0; k < 30; ++k) {
    EXPECT_FALSE(IsInk(stamp, k, k));
    EXPECT_FALSE(IsInk(stamp, 249 - k, k));
    EXPECT_FALSE(IsInk(stamp, k, 249 - k));
    EXPECT_FALSE(IsInk(stamp, 249 - k, 249 - k));
  }
}

TEST(OilPastelStamp, KeepsItsInkWhenShrunkToFivePixelsByDroppingPixels) {
  // The smallest stamps are 4 and 5 pixels; the sampled centre pixels must all be ink.
  const Bitmap& stamp = OilPastelStamp();
  for (int size : {4, 5, 6}) {
    int ink = 0;
    for (int j = 0; j < size; ++j)
      for (int i = 0; i < size; ++i) ink += IsInk(stamp, i * 250 / size, j * 250 / size) ? 1 : 0;
    EXPECT_GE(ink, size * size / 3) << size;
    const int middle = (size / 2) * 250 / size;
    EXPECT_TRUE(IsInk(stamp, middle, middle)) << size;
  }
}

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(16).s;

OilPastelSettings Settings(std::array<int, 5> s) {
  return OilPastelSettings{s[0], s[1], s[2], s[3], s[4]};
}

Bitmap Pastel(const Bitmap& source, std::array<int, 5> sliders, std::uint32_t seed = 5) {
  TestRun run(sliders, seed);
  Bitmap result;
  DrawOilPastel(source, result, Settings(sliders), run.ctx);
  return result;
}

long long Distance(const Bitmap& a, const Bitmap& b) {
  long long sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < 3 * a.Width(); ++x) sum += std::abs(a.ScanLine(y)[x] - b.ScanLine(y)[x]);
  return sum;
}

}  // namespace

TEST(OilPastelStamp, StaysInkWhenResampledToTheSmallestSizes) {
  for (int size : {4, 5}) {
    Bitmap small(size, size);
    StretchBilinearFast(OilPastelStamp(), small);
    int ink = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) ink += IsInk(small, x, y) ? 1 : 0;
    EXPECT_GE(ink, size * size / 2) << size;
  }
}

TEST(OilPastel, FinishesOnAWhitePicture) {
  // No pixel differs from the paper by the search tolerance: without a bound the position
  // search would never end.
  const Bitmap white = Uniform(60, 40, kWhite);
  const Bitmap result = Pastel(white, kDefaults);
  ASSERT_EQ(result.Width(), 60);
  ASSERT_EQ(result.Height(), 40);
  // With a zero tolerance every position qualifies and the budget ends the loop instead.
  const Bitmap exact = Pastel(white, {0, 200, 2, 100, 255});
  EXPECT_EQ(exact.Width(), 60);
}

TEST(OilPastel, FinishesWhenTheLastQualifyingPixelIsPainted) {
  // One dark pixel in white: once a stamp covers it nothing qualifies any more.
  Bitmap picture = Uniform(50, 50, kWhite);
  picture.FillRect(20, 20, 23, 23, kBlack);
  const Bitmap result = Pastel(picture, {0, 30, 100, 100, 200});
  EXPECT_EQ(result.Width(), 50);
}

TEST(OilPastel, BringsTheDrawingCloserToTheSourceThanThePaper) {
  const Bitmap photo = PhotoLike(90, 70);
  Bitmap paper = Uniform(90, 70, MakeColour(255, 255, 240));
  const Bitmap result = Pastel(photo, {0, 60, 20, 0, 200});
  EXPECT_LT(Distance(result, photo), Distance(paper, photo) / 2);
}

TEST(OilPastel, LeavesTheSourceUntouchedAndDoesNotReseed) {
  const Bitmap photo = PhotoLike(40, 30);
  const Bitmap before(photo);
  TestRun run(kDefaults, 99);
  Bitmap first, second;
  DrawOilPastel(photo, first, Settings(kDefaults), run.ctx);
  DrawOilPastel(photo, second, Settings(kDefaults), run.ctx);
  EXPECT_EQ(photo, before);
  // The second run continues the sequence, so it places its stamps elsewhere...
  EXPECT_NE(first, second);
  // ...while the same session state gives the same drawing.
  EXPECT_EQ(Pastel(photo, kDefaults, 99), first);
}

TEST(OilPastel, MovesTheMinimumSizeUpToTheMaximum) {
  TestRun run({120, 40, 5, 100, 200});
  Bitmap result;
  DrawOilPastel(PhotoLike(30, 30), result, Settings({120, 40, 5, 100, 200}), run.ctx);
  EXPECT_EQ(run.ctx.Params().s[0], 40);
}

TEST(OilPastel, AStopLeavesThePaperWithoutTheEdgePass) {
  TestRun run(kDefaults);
  run.stop = true;
  Bitmap result;
  DrawOilPastel(PhotoLike(40, 30), result, Settings(kDefaults), run.ctx);
  for (int y = 0; y < result.Height(); ++y)
    for (int x = 0; x < result.Width(); ++x) ASSERT_EQ(result.Pixel(x, y), MakeColour(255, 255, 240));
  ASSERT_FALSE(run.sink.calls.empty());
  EXPECT_EQ(run.sink.calls.back(), (std::array<int, 4>{101, 100, 1, 1}));
}

TEST(OilPastel, TheLastColumnAndRowMissTheEdgePass) {
  const Bitmap photo = PhotoLike(48, 36);
  const Bitmap soft = Pastel(photo, {0, 40, 10, 0, 200}, 3);
  const Bitmap hard = Pastel(photo, {0, 40, 10, 255, 200}, 3);
  EXPECT_NE(soft, hard);
  for (int x = 0; x < photo.Width(); ++x) EXPECT_EQ(soft.Pixel(x, 35), hard.Pixel(x, 35));
  for (int y = 0; y < photo.Height(); ++y) EXPECT_EQ(soft.Pixel(47, y), hard.Pixel(47, y));
}

TEST(OilPastel, TinyPicturesGiveAPicture) {
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 3}, {2, 7}}) {
    const Bitmap result = Pastel(PhotoLike(w, h), {0, 20, 20, 100, 255});
    EXPECT_EQ(result.Width(), w);
    EXPECT_EQ(result.Height(), h);
  }
  TestRun run(kDefaults);
  Bitmap result;
  EXPECT_THROW(DrawOilPastel(Bitmap(), result, Settings(kDefaults), run.ctx), ImageError);
}

TEST(OilPastel, TheRunFinishesTheDrawingThroughTheSurfaceStage) {
  // "Soften edges" also softens the edge layer inside the drawing, so both runs set it.
  const Bitmap photo = PhotoLike(40, 30);
  TestRun direct({0, 30, 10, 100, 200}, 8);
  direct.ctx.MutableParams().softenEdges = true;
  Bitmap expected;
  DrawOilPastel(photo, expected, Settings({0, 30, 10, 100, 200}), direct.ctx);
  SoftBlur(expected);
  TestRun run({0, 30, 10, 100, 200}, 8);
  run.ctx.MutableParams().softenEdges = true;
  Bitmap result = photo;
  EXPECT_EQ(RunEffect(16, photo, result, run.ctx), RunOutcome::Completed);
  EXPECT_EQ(result, expected);
}

TEST(OilPastel, SeveralThreadsGiveTheSameBytesAsOne) {
  const Bitmap photo = PhotoLike(60, 260);
  SetRowPassThreads(1);
  const Bitmap one = Pastel(photo, {0, 30, 5, 255, 200}, 21);
  SetRowPassThreads(4);
  const Bitmap four = Pastel(photo, {0, 30, 5, 255, 200}, 21);
  SetRowPassThreads(0);
  EXPECT_EQ(one, four);
}
