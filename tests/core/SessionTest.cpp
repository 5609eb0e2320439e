// The headless session and its run jobs: what every front end relies on when it runs an effect.

#include <gtest/gtest.h>

#include <atomic>

#include "effects/Catalogue.h"
#include "effects/EffectSettings.h"
#include "history/SourceMean.h"
#include "pipeline/RunEffect.h"
#include "pipeline/Session.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using brumeleaf::testing::SyntheticPhoto;
using brumeleaf::testing::Uniform;

namespace {

constexpr int kPencilSketch1Entry = 1;

// Stops the run at its first progress report.
struct StopAtFirstReport : ProgressSink {
  std::atomic<bool>* stop = nullptr;
  int reports = 0;
  void ShowProgress(int, int, int, int) override {
    ++reports;
    stop->store(true);
  }
};

}  // namespace

TEST(Session, OpeningAPictureFillsBothPanelsAndTakesItsMean) {
  Session session(7);
  EXPECT_EQ(session.Mean().red, 116);  // the mean before any picture
  const Bitmap photo = SyntheticPhoto(37, 23);
  session.OpenPicture(photo, "photo.jpg");
  EXPECT_EQ(session.Source(), photo);
  EXPECT_EQ(session.Result(), photo);
  const SourceMean expected = ComputeSourceMean(photo);
  EXPECT_EQ(session.Mean().red, expected.red);
  EXPECT_EQ(session.Mean().green, expected.green);
  EXPECT_EQ(session.Mean().blue, expected.blue);
  EXPECT_NE(expected.red, expected.blue);  // a coloured picture: a swapped channel would show
  EXPECT_EQ(session.GetHistory().StateCount(kSourcePanel), 1);
  EXPECT_EQ(session.GetHistory().StateCount(kResultPanel), 1);
}

TEST(Session, ACompletedRunBecomesTheResultAndCanBeUndone) {
  Session session(7);
  const Bitmap photo = SyntheticPhoto(41, 29);
  session.OpenPicture(photo, "photo.jpg");
  session.Settings().SelectEntry(kPencilSketch1Entry);
  const JobOutcome outcome = session.Run();
  ASSERT_TRUE(outcome.Completed()) << outcome.message;
  EXPECT_NE(session.Result(), photo);
  EXPECT_EQ(session.Source(), photo);
  EXPECT_EQ(session.GetHistory().StateCount(kResultPanel), 2);
  const auto restored = session.GetHistory().Undo();
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->picture, photo);
}

TEST(Session, TheSameSeedGivesTheSameBytesAsTheBareRunEffect) {
  const Bitmap photo = SyntheticPhoto(45, 31);
  Session session(99);
  session.OpenPicture(photo, "photo.jpg");
  session.Settings().SelectEntry(kPencilSketch1Entry);
  ASSERT_TRUE(session.Run().Completed());

  Random random(99);
  RunContext ctx(EffectSettings().Snapshot(), random);
  ctx.mean = ComputeSourceMean(photo);
  Bitmap result;
  ASSERT_EQ(RunEffect(0, photo, result, ctx), RunOutcome::Completed);
  EXPECT_EQ(session.Result(), result);
}

TEST(Session, AStoppedRunKeepsItsPartialResultAndAFailedOneChangesNothing) {
  Session session(7);
  const Bitmap photo = SyntheticPhoto(53, 40);
  session.OpenPicture(photo, "photo.jpg");
  session.Settings().SelectEntry(kPencilSketch1Entry);
  std::atomic<bool> stop{false};
  StopAtFirstReport sink;
  sink.stop = &stop;
  const JobOutcome stopped = session.Run(&sink, &stop);
  EXPECT_TRUE(stopped.Stopped());
  EXPECT_GT(sink.reports, 0);
  EXPECT_EQ(session.Result().Width(), photo.Width());
  EXPECT_EQ(session.GetHistory().StateCount(kResultPanel), 2);

  const Bitmap before = session.Result();
  session.SourcePanel() = Bitmap();  // a run with nothing to draw from fails
  const JobOutcome failed = session.Run();
  EXPECT_TRUE(failed.Failed());
  EXPECT_FALSE(failed.message.empty());
  EXPECT_EQ(session.Result(), before);
  EXPECT_EQ(session.GetHistory().StateCount(kResultPanel), 2);
}

TEST(RunJob, RunsOnItsOwnCopiesSoTheDocumentMayChangeMeanwhile) {
  Session session(3);
  const Bitmap photo = SyntheticPhoto(31, 27);
  session.OpenPicture(photo, "photo.jpg");
  session.Settings().SelectEntry(kFrameOnlyEntry);
  RunJob job = session.PrepareJob();
  session.SourcePanel() = Uniform(5, 5, kBlack);  // what a user does while the worker runs
  Random random(3);
  const JobOutcome outcome = job.Run(random);
  ASSERT_TRUE(outcome.Completed());
  EXPECT_EQ(job.Result(), photo);  // frame-only without options copies its own source
  EXPECT_EQ(job.Code(), 14);
}

TEST(RunJob, AnEmptySourceFailsWithAMessageInsteadOfThrowing) {
  Session session(3);
  session.Settings().SelectEntry(kFrameOnlyEntry);
  session.SourcePanel() = Bitmap();
  RunJob job = session.PrepareJob();
  Random random(1);
  const JobOutcome outcome = job.Run(random);
  EXPECT_TRUE(outcome.Failed());
  EXPECT_FALSE(outcome.message.empty());
}
