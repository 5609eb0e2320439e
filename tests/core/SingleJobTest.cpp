// A single job (the command line's apply): the picture moves into the job instead of being
// copied into the panels and the history, and the result must not notice.

#include <gtest/gtest.h>

#include "effects/EffectTable.h"
#include "pipeline/Session.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using brumeleaf::testing::SyntheticPhoto;

TEST(SingleJob, EveryEffectDrawsTheSameBytesAsTheSessionsOwnRun) {
  // Odd, asymmetric and coloured; the merge effect blends with the result panel, which after
  // opening a picture is that picture again.
  const Bitmap photo = SyntheticPhoto(47, 33);
  for (int code = 0; code < kEffectCount; ++code) {
    if (!FrameForCode(code)) continue;
    Session full(1969);
    full.OpenPicture(photo, "photo.jpg");
    full.Settings().SelectEntry(EffectRowOf(code).listIndex);
    const JobOutcome fullOutcome = full.Run();
    ASSERT_TRUE(fullOutcome.Completed()) << code << ": " << fullOutcome.message;

    Session single(1969);
    single.Settings().SelectEntry(EffectRowOf(code).listIndex);
    Bitmap moved = photo;
    RunJob job = single.PrepareSingleJob(std::move(moved));
    EXPECT_EQ(job.Code(), code);
    EXPECT_EQ(job.Source(), photo);
    const JobOutcome outcome = job.Run(single.Rand());
    ASSERT_TRUE(outcome.Completed()) << code << ": " << outcome.message;
    EXPECT_EQ(job.Result(), full.Result()) << "effect code " << code;
  }
}
