// The manual brush through a synthetic mouse path: mask, stamps, the painted rectangle, the
// patch effect, the blend and the history step.

#include <gtest/gtest.h>

#include <memory>

#include "brush/BrushStamp.h"
#include "brush/ManualBrush.h"
#include "effects/Catalogue.h"
#include "effects/EffectTable.h"
#include "pipeline/Session.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;

namespace {

constexpr int kMergeCode = 13;
constexpr int kFinishingOnlyCode = 14;
constexpr int kFinishingOnlyEntry = 35;

const Colour kSourceColour = MakeColour(200, 40, 10);
const Colour kResultColour = MakeColour(20, 90, 230);

Bitmap Filled(int w, int h, Colour c) {
  Bitmap b(w, h);
  b.Fill(c);
  return b;
}

// A brush picture that paints fully wherever it touches.
Bitmap SolidBrush() { return Filled(16, 16, kBlack); }

BrushSettings Size(int size, int strength = 100) { return BrushSettings{size, strength, false}; }

ParameterSnapshot SnapshotFor(int code) {
  ParameterSnapshot p = DefaultSnapshot(code);
  p.code = code;
  return p;
}

// A session whose source and result differ in colour (and size when asked).
Session TwoColourSession(int sw, int sh, int rw, int rh) {
  Session session(5);
  session.OpenPicture(Filled(sw, sh, kSourceColour), "source");
  session.SetResult(Filled(rw, rh, kResultColour), "result");
  return session;
}

// Press, drag through `points`, release; returns the job (if any) for `code`.
std::optional<StrokeJob> Stroke(Session& session, int code, const BrushSettings& brush,
                                std::initializer_list<std::pair<int, int>> points, Bitmap* display = nullptr) {
  ManualBrush b;
  b.Begin(session.Result(), SolidBrush(), brush);
  for (auto [x, y] : points) b.Stamp(x, y, display);
  return b.Finish(code, SnapshotFor(code), std::make_shared<const Bitmap>(session.Source()), session.Mean());
}

}  // namespace

TEST(BrushStamp, CoverageFadesTowardWhiteWithTheStrength) {
  EXPECT_EQ(Coverage(0, 5), 242);
  EXPECT_EQ(Coverage(255, 5), 254);
  EXPECT_EQ(Coverage(0, 100), 0);
  EXPECT_EQ(Coverage(255, 100), 255);
  EXPECT_EQ(Coverage(100, 50), 50 + 127);
}

TEST(BrushStamp, SideIsEvenDoubledWithX2AndTheWheelStaysInRange) {
  EXPECT_EQ(StampSide(Size(99)), 100);
  EXPECT_EQ(StampSide(Size(100)), 100);
  EXPECT_EQ(StampSide(Size(5)), 6);
  EXPECT_EQ(StampSide(Size(199)), 200);
  EXPECT_EQ(StampSide(BrushSettings{99, 100, true}), 200);
  EXPECT_EQ(StampSide(Size(1000)), 200);  // clamped to 199 first
  EXPECT_EQ(BrushSizeAfterWheel(99, -120), 104);
  EXPECT_EQ(BrushSizeAfterWheel(197, -120), 199);
  EXPECT_EQ(BrushSizeAfterWheel(7, 120), 5);
  EXPECT_EQ(BrushSizeAfterWheel(50, 0), 50);
  const Bitmap stamp = MakeStamp(Bitmap(), Size(31));
  EXPECT_EQ(stamp.Width(), 32);
  EXPECT_EQ(stamp.Height(), 32);
  // The built-in tip is dark in the middle and white at the corners.
  EXPECT_LT(RedOf(stamp.Pixel(16, 16)), 20);
  EXPECT_EQ(stamp.Pixel(0, 0), kWhite);
}

TEST(BrushStamp, PreviewFadesTheBrushAndCentresItOnWhite) {
  const Bitmap preview = BrushPreview(SolidBrush(), Size(51, 5));
  ASSERT_EQ(preview.Width(), 200);
  ASSERT_EQ(preview.Height(), 200);
  EXPECT_EQ(preview.Pixel(100, 100), MakeColour(242, 242, 242));
  EXPECT_EQ(preview.Pixel((200 - 51) / 2, (200 - 51) / 2), MakeColour(242, 242, 242));
  EXPECT_EQ(preview.Pixel((200 - 51) / 2 - 1, 100), kWhite);
  EXPECT_EQ(preview.Pixel(199, 199), kWhite);
}

TEST(ManualBrushMask, OneClickMarksOneStampAndItsRectangleGrowsByTheMargin) {
  CoverageMask mask;
  mask.Allocate(121, 91);
  const Bitmap stamp = MakeStamp(SolidBrush(), Size(10));
  StampAt(stamp, 100, 50, 40, mask, nullptr);
  const PixelRect painted = mask.Painted();
  EXPECT_EQ(painted, (PixelRect{45, 35, 55, 45}));
  EXPECT_EQ(mask.At(45, 35), 0);
  EXPECT_EQ(mask.At(54, 44), 0);
  EXPECT_EQ(mask.At(44, 35), 255);
  EXPECT_EQ(mask.At(55, 44), 255);
  EXPECT_EQ(GrowAndClip(painted, 121, 91), (PixelRect{35, 25, 64, 54}));
}

TEST(ManualBrushMask, OverlappingStampsKeepTheDarkestValue) {
  CoverageMask mask;
  mask.Allocate(60, 40);
  const Bitmap stamp = MakeStamp(SolidBrush(), Size(10));
  StampAt(stamp, 50, 20, 20, mask, nullptr);
  StampAt(stamp, 50, 24, 20, mask, nullptr);
  StampAt(stamp, 50, 24, 20, mask, nullptr);
  EXPECT_EQ(mask.At(20, 20), 127);  // in both stamps: no accumulation
  StampAt(stamp, 100, 26, 20, mask, nullptr);
  EXPECT_EQ(mask.At(24, 20), 0);    // a darker stamp still lowers it
  StampAt(stamp, 5, 26, 20, mask, nullptr);
  EXPECT_EQ(mask.At(24, 20), 0);    // a lighter one does not raise it
}

TEST(ManualBrushMask, StrokesAtTheCornersAreClippedAndAStampOffThePictureDoesNothing) {
  CoverageMask mask;
  mask.Allocate(33, 17);
  const Bitmap stamp = MakeStamp(SolidBrush(), Size(10));
  StampAt(stamp, 100, 32, 16, mask, nullptr);
  EXPECT_EQ(mask.Painted(), (PixelRect{27, 11, 33, 17}));
  EXPECT_EQ(GrowAndClip(mask.Painted(), 33, 17), (PixelRect{17, 1, 33, 17}));
  StampAt(stamp, 100, 0, 0, mask, nullptr);
  EXPECT_EQ(GrowAndClip(mask.Painted(), 33, 17), (PixelRect{0, 0, 33, 17}));

  CoverageMask untouched;
  untouched.Allocate(33, 17);
  StampAt(stamp, 100, -6, 5, untouched, nullptr);
  StampAt(stamp, 100, 100, 100, untouched, nullptr);
  EXPECT_TRUE(untouched.Painted().Empty());
  EXPECT_TRUE(GrowAndClip(untouched.Painted(), 33, 17).Empty());
}

TEST(ManualBrushMask, TheTintShowsOnlyOnTheDisplay) {
  CoverageMask mask;
  mask.Allocate(40, 30);
  Bitmap display = Filled(40, 30, MakeColour(10, 200, 20));
  Bitmap stamp(4, 4);
  stamp.Fill(MakeColour(30, 40, 100));  // red 30: tints; green 40 caps green at 120
  stamp.SetPixel(0, 0, MakeColour(250, 250, 250));  // too light to tint
  StampAt(stamp, 100, 10, 10, mask, &display);
  EXPECT_EQ(display.Pixel(9, 9), MakeColour(120, 120, 50));
  EXPECT_EQ(display.Pixel(8, 8), MakeColour(10, 200, 20));
  EXPECT_EQ(mask.At(9, 9), 30);
  EXPECT_EQ(mask.At(8, 8), 250);
}

TEST(ManualBrushBlend, MaskZeroTakesTheEffectAndFullMaskKeepsThePicture) {
  Bitmap a = Filled(3, 1, MakeColour(200, 100, 0));
  const Bitmap b = Filled(3, 1, MakeColour(0, 50, 255));
  CoverageMask mask;
  mask.Allocate(3, 1);
  mask.Row(0)[0] = 0;
  mask.Row(0)[1] = 255;
  mask.Row(0)[2] = 100;
  BlendThroughMask(a, b, mask, {0, 0, 3, 1});
  EXPECT_EQ(a.Pixel(0, 0), MakeColour(0, 50, 255));
  EXPECT_EQ(a.Pixel(1, 0), MakeColour(200, 100, 0));
  // (B (255 - 100) + A 100) div 255
  EXPECT_EQ(a.Pixel(2, 0), MakeColour(200 * 100 / 255, (50 * 155 + 100 * 100) / 255, 255 * 155 / 255));
}

TEST(ManualBrushStroke, AClickPaintsTheEffectInsideTheStampAndUndoRestoresThePicture) {
  Session session = TwoColourSession(81, 61, 81, 61);
  const Bitmap before = session.Result();
  const int countBefore = session.GetHistory().Count();
  std::optional<StrokeJob> job = Stroke(session, kFinishingOnlyCode, Size(10), {{40, 30}});
  ASSERT_TRUE(job.has_value());
  EXPECT_EQ(job->Rect(), (PixelRect{25, 15, 54, 44}));
  const JobOutcome outcome = job->Run(session.Rand());
  ASSERT_TRUE(outcome.Completed()) << outcome.message;
  ApplyStroke(session, *job, outcome);
  EXPECT_EQ(session.GetHistory().Count(), countBefore + 1);
  const Bitmap& r = session.Result();
  EXPECT_EQ(r.Pixel(35, 25), kSourceColour);
  EXPECT_EQ(r.Pixel(44, 34), kSourceColour);
  EXPECT_EQ(r.Pixel(34, 25), kResultColour);  // inside the patch, outside the mask
  EXPECT_EQ(r.Pixel(80, 60), kResultColour);

  const std::optional<RestoredState> undone = session.GetHistory().Undo();
  ASSERT_TRUE(undone.has_value());
  EXPECT_EQ(undone->panel, kResultPanel);
  EXPECT_TRUE(undone->picture == before);
}

TEST(ManualBrushStroke, NothingPaintedGivesNoJobAndNoHistoryStep) {
  Session session = TwoColourSession(40, 30, 40, 30);
  EXPECT_FALSE(Stroke(session, kFinishingOnlyCode, Size(10), {{-20, -20}, {100, 5}}).has_value());
}

TEST(ManualBrushStroke, AStrokeAfterADrawRunWorksOnTheNewResultSize) {
  Session session = TwoColourSession(50, 40, 50, 40);
  ManualBrush brush;
  brush.Begin(session.Result(), SolidBrush(), Size(10));
  brush.Cancel();
  session.Settings().SelectEntry(kFinishingOnlyEntry);
  ASSERT_TRUE(session.Run().Completed());
  session.SetResult(Filled(70, 30, kResultColour), "smaller and wider");  // the result changed size
  brush.Begin(session.Result(), SolidBrush(), Size(10));
  EXPECT_EQ(brush.Mask().Width(), 70);
  EXPECT_EQ(brush.Mask().Height(), 30);
  brush.Stamp(52, 25, nullptr);  // across the source's right edge: only the part over it paints
  std::optional<StrokeJob> job =
      brush.Finish(kFinishingOnlyCode, SnapshotFor(kFinishingOnlyCode),
                   std::make_shared<const Bitmap>(session.Source()), session.Mean());
  ASSERT_TRUE(job.has_value());
  EXPECT_EQ(job->Rect(), (PixelRect{37, 10, 50, 30}));
  const JobOutcome outcome = job->Run(session.Rand());
  ASSERT_TRUE(outcome.Completed()) << outcome.message;
  ApplyStroke(session, *job, outcome);
  EXPECT_EQ(session.Result().Width(), 70);
  EXPECT_EQ(session.Result().Pixel(49, 25), session.Source().Pixel(49, 25));
  EXPECT_EQ(session.Result().Pixel(52, 25), kResultColour);
}

TEST(ManualBrushStroke, AResultLargerInOneDirectionOnlyIsClippedToTheSource) {
  Session session = TwoColourSession(50, 40, 90, 30);
  std::optional<StrokeJob> job = Stroke(session, kFinishingOnlyCode, Size(10), {{48, 20}});
  ASSERT_TRUE(job.has_value());
  EXPECT_EQ(job->Rect(), (PixelRect{33, 5, 50, 30}));
  const JobOutcome outcome = job->Run(session.Rand());
  ASSERT_TRUE(outcome.Completed()) << outcome.message;
  EXPECT_EQ(job->Result().Pixel(49, 20), kSourceColour);
  EXPECT_EQ(job->Result().Pixel(50, 20), kResultColour);  // no source behind it
}

TEST(ManualBrushStroke, AFramedResultTakesTheSourceFromItsCentre) {
  Session session(5);
  Bitmap source = Filled(40, 30, kSourceColour);
  source.FillRect(0, 0, 20, 30, MakeColour(0, 255, 0));  // left half green
  session.OpenPicture(source, "source");
  session.SetResult(Filled(60, 50, kResultColour), "framed");  // margins of 10 all round
  std::optional<StrokeJob> job = Stroke(session, kFinishingOnlyCode, Size(4), {{30, 25}});
  ASSERT_TRUE(job.has_value());
  ASSERT_TRUE(job->Run(session.Rand()).Completed());
  // Result (29, 24) lies over source (19, 14), green; (30, 24) over (20, 14), red.
  EXPECT_EQ(job->Result().Pixel(29, 24), MakeColour(0, 255, 0));
  EXPECT_EQ(job->Result().Pixel(30, 24), kSourceColour);
}

TEST(ManualBrushStroke, MergeTakesItsSecondPictureFromTheResult) {
  Session session = TwoColourSession(60, 40, 60, 40);
  std::optional<StrokeJob> job = Stroke(session, kMergeCode, Size(10), {{30, 20}});
  ASSERT_TRUE(job.has_value());
  ASSERT_TRUE(job->Run(session.Rand()).Completed());
  const Colour merged = job->Result().Pixel(30, 20);
  EXPECT_NE(merged, kSourceColour);
  EXPECT_NE(merged, kResultColour);
  // Halfway blending: red between the two pictures' reds.
  EXPECT_GT(RedOf(merged), 20);
  EXPECT_LT(RedOf(merged), 200);
  EXPECT_EQ(job->Result().Pixel(0, 0), kResultColour);
}

TEST(ManualBrushStroke, EveryPatchEffectPaintsAPatchOfItsOwnSize) {
  Session session(9);
  session.OpenPicture(brumeleaf::testing::Noise(97, 71, 4), "noise");
  for (int code = 0; code < kEffectCount; ++code) {
    if (!BrushCanPaint(code)) continue;
    SCOPED_TRACE(code);
    std::optional<StrokeJob> job = Stroke(session, code, Size(30), {{10, 10}, {60, 50}});
    ASSERT_TRUE(job.has_value());
    const JobOutcome outcome = job->Run(session.Rand());
    EXPECT_TRUE(outcome.Completed()) << outcome.message;
  }
}

TEST(ManualBrushStroke, AnEffectWithoutPatchFailsAndLeavesTheResultAndHistoryAlone) {
  int code = -1;
  for (int c = 0; c < kEffectCount && code < 0; ++c)
    if (!BrushCanPaint(c)) code = c;
  if (code < 0) GTEST_SKIP() << "every effect has a patch";
  Session session = TwoColourSession(40, 30, 40, 30);
  const Bitmap before = session.Result();
  const int countBefore = session.GetHistory().Count();
  std::optional<StrokeJob> job = Stroke(session, code, Size(10), {{20, 15}});
  ASSERT_TRUE(job.has_value());
  const JobOutcome outcome = job->Run(session.Rand());
  EXPECT_TRUE(outcome.Failed());
  EXPECT_FALSE(outcome.message.empty());
  ApplyStroke(session, *job, outcome);
  EXPECT_TRUE(session.Result() == before);
  EXPECT_EQ(session.GetHistory().Count(), countBefore);
}

TEST(ManualBrushStroke, AStoppedStrokeIsNotBlended) {
  Session session = TwoColourSession(40, 30, 40, 30);
  std::optional<StrokeJob> job = Stroke(session, kFinishingOnlyCode, Size(10), {{20, 15}});
  ASSERT_TRUE(job.has_value());
  std::atomic<bool> stop{true};
  const JobOutcome outcome = job->Run(session.Rand(), nullptr, &stop);
  EXPECT_TRUE(outcome.Stopped());
  EXPECT_TRUE(job->Result() == job->Clean());
}
