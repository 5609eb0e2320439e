#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "effects/EffectTable.h"
#include "effects/Frames.h"
#include "effects/painting/Painting10.h"
#include "imaging/ParallelRows.h"
#include "io/PictureFile.h"
#include "resources/PaintBrush3D.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

const std::array<int, 5> kDefaults = DefaultSnapshot(28).s;

ParameterSnapshot Sliders(std::array<int, 5> s = kDefaults) {
  ParameterSnapshot p;
  p.code = 28;
  p.s = s;
  return p;
}

Bitmap RunPainting10(const Bitmap& source, const ParameterSnapshot& p, std::uint32_t sessionSeed = 1) {
  Random random(sessionSeed);
  RunContext ctx(p, random);
  Bitmap result;
  FramePainting10(source, result, ctx);
  return result;
}

int WhitePixels(const Bitmap& b) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) == kWhite;
  return n;
}

AlphaPicture FlatBrush(int alpha) {
  AlphaPicture brush(30, 31);
  for (int y = 0; y < brush.height; ++y)
    for (int x = 0; x < brush.width; ++x) brush.At(x, y)[3] = static_cast<std::uint8_t>(alpha);
  return brush;
}

}  // namespace

TEST(PaintBrush3D, ADarkDabWithAnOpaqueCentreAndASoftRim) {
  const AlphaPicture& brush = StandardPaintBrush3D();
  ASSERT_EQ(brush.width, kPaintBrush3DWidth);
  ASSERT_EQ(brush.height, kPaintBrush3DHeight);
  EXPECT_EQ(brush.At(47, 47)[3], 255);
  EXPECT_LT(brush.At(47, 47)[2], 100);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {93, 0}, {0, 94}, {93, 94}})
    EXPECT_EQ(brush.At(x, y)[3], 0);
  int soft = 0;
  for (int x = 0; x < brush.width; ++x) {
    const int a = brush.At(x, 47)[3];
    soft += a > 0 && a < 255;
  }
  EXPECT_GT(soft, 8);  // the rim fades over several pixels on each side
}

TEST(PaintBrush3D, BrushesSurviveTheirFilesAndBeingPaintedOverWhite) {
  const AlphaPicture& brush = StandardPaintBrush3D();
  ScratchFolder folder("brush3d");
  SaveAlphaPicture(brush, folder.File("brush.png"));
  const AlphaPicture loaded = LoadAlphaPicture(folder.File("brush.png"));
  EXPECT_EQ(loaded.bgra, brush.bgra);
  EXPECT_THROW(LoadAlphaPicture(folder.File("missing.png")), ImageError);

  // A black brush painted over white comes back exactly.
  Bitmap painted(3, 1);
  painted.SetPixel(0, 0, MakeColour(255, 255, 255));
  painted.SetPixel(1, 0, MakeColour(55, 55, 55));
  painted.SetPixel(2, 0, MakeColour(0, 0, 0));
  const AlphaPicture back = BrushFromPaintedPicture(painted);
  EXPECT_EQ(back.At(0, 0)[3], 0);
  EXPECT_EQ(back.At(1, 0)[3], 200);
  EXPECT_EQ(back.At(1, 0)[2], 0);
  EXPECT_EQ(back.At(2, 0)[3], 255);

  // The same dab saved without transparency is read as paint on white, not as a full square.
  SavePicture(painted, folder.File("opaque.png"));
  const AlphaPicture opaque = LoadAlphaPicture(folder.File("opaque.png"));
  EXPECT_EQ(opaque.bgra, back.bgra);
}

TEST(Painting10, RepeatsItsBytesWhateverTheSessionSeedAndKeepsTheSource) {
  const Bitmap photo = SyntheticPhoto(160, 120);
  const Bitmap copy = photo;
  const Bitmap first = RunPainting10(photo, Sliders(), 1);
  EXPECT_EQ(RunPainting10(photo, Sliders(), 777), first);
  EXPECT_EQ(photo, copy);
  EXPECT_LT(WhitePixels(first), 160 * 120 / 50);  // the canvas is painted over
}

TEST(Painting10, AMinimumAboveTheFirstLevelLeavesTheSharpenedWhiteCanvas) {
  const Bitmap result = RunPainting10(SyntheticPhoto(50, 40), Sliders({460, 50, 50, 130, 130}));
  EXPECT_EQ(WhitePixels(result), 50 * 40);
}

TEST(Painting10, BrushPixelsBelowAlpha15NeverPaint) {
  // On black the paint matches the photograph (d = 1), so even alpha 15 lays some paint.
  const Bitmap photo = Uniform(60, 50, kBlack);
  ParameterSnapshot p = Sliders({300, 50, 50, 254, 130});
  const AlphaPicture faint = FlatBrush(14);
  p.paintBrush3DAlpha = &faint;
  EXPECT_EQ(WhitePixels(RunPainting10(photo, p)), 60 * 50);
  const AlphaPicture enough = FlatBrush(15);  // scaled by (127 + 128) / 255: stays 15
  p.paintBrush3DAlpha = &enough;
  EXPECT_LT(WhitePixels(RunPainting10(photo, p)), 60 * 50);
}

TEST(Painting10, TinyPicturesAndLargerStrokesStayInside) {
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {2, 2}, {2, 9}, {9, 2}, {1, 12}, {12, 1}, {3, 3}}) {
    ParameterSnapshot p = Sliders({150, 50, 50, 130, 130});
    p.doubleRow1 = true;
    const Bitmap out = RunPainting10(SyntheticPhoto(w, h), p);
    EXPECT_EQ(out.Width(), w);
    EXPECT_EQ(out.Height(), h);
    Random random(1);
    RunContext ctx(p, random);
    Bitmap patch;
    PatchPainting10(SyntheticPhoto(w, h), patch, ctx);
    EXPECT_EQ(patch.Width(), w);
  }
}

TEST(Painting10, PreviewVariantDiffersOnlyWhereStrokesReachOutside) {
  const Bitmap photo = SyntheticPhoto(120, 90);
  ParameterSnapshot p = Sliders({300, 50, 50, 130, 130});
  Random random(1);
  RunContext ctx(p, random);
  ctx.preview = true;
  Bitmap preview;
  PreviewPainting10(photo, photo, preview, ctx);
  EXPECT_EQ(preview.Width(), 120);
  // The preview and the run use the same seed and draws: both paint most of the canvas,
  // and they differ only because strokes near the border start outside in the preview.
  const Bitmap run = RunPainting10(photo, p);
  EXPECT_LT(WhitePixels(preview), 120 * 90 / 20);
  int same = 0;
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) same += preview.Pixel(x, y) == run.Pixel(x, y);
  EXPECT_LT(same, 120 * 90);
}

TEST(Painting10, AStopKeepsTheStrokesSoFar) {
  Random random(1);
  RunContext ctx(Sliders(), random);
  std::atomic<bool> stop{true};
  ctx.SetStopFlag(&stop);
  RecordingSink sink;
  ctx.SetSink(&sink);
  Bitmap result;
  FramePainting10(SyntheticPhoto(200, 150), result, ctx);
  // The first level (odd) paints before the first check on the next, even level.
  EXPECT_GT(WhitePixels(result), 0);
  EXPECT_LT(WhitePixels(result), 200 * 150);
  EXPECT_EQ(sink.calls.back(), (std::array<int, 4>{101, 100, 1, 1}));
}

TEST(Painting10, OneThreadEqualsSeveral) {
  // The edge test's map of spots that may pass is built in row bands; the abstraction sets its
  // threshold (0: every spot, 255: hardly any).
  const Bitmap photo = SyntheticPhoto(173, 131);
  for (int abstraction : {0, 50, 255}) {
    const ParameterSnapshot p = Sliders({50, 50, abstraction, 130, 130});
    SetRowPassThreads(1);
    const Bitmap one = RunPainting10(photo, p);
    SetRowPassThreads(3);
    const Bitmap three = RunPainting10(photo, p);
    SetRowPassThreads(0);
    EXPECT_EQ(one, three) << abstraction;
  }
}
