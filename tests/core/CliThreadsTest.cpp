// brumeleaf-cli apply --threads: the thread count changes the time a run takes, never its bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "io/PictureFile.h"
#include "tests/core/CliRunner.h"

namespace fs = std::filesystem;
using brumeleaf::LoadPicture;
using brumeleaf::testing::RunCli;
using brumeleaf::testing::ShellQuotedPath;

namespace {

struct CliThreads : brumeleaf::testing::CliPhotoFixture {
  // Tall enough that the row passes really split over several threads.
  void SetUp() override { MakePhoto("brumeleaf-cli-threads-", 181, 263); }

  std::string Apply(const fs::path& out, const std::string& more) {
    return "apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(out) + " --seed 7 " + more;
  }
};

}  // namespace

TEST_F(CliThreads, OneThreadAndSeveralWriteTheSamePicture) {
  // Painting 3 (median and bilateral row passes) and Painting 2 (random strokes over row passes).
  for (const char* effect : {"6", "5"}) {
    const fs::path one = folder / "one.png", several = folder / "several.png";
    auto o = RunCli(Apply(one, std::string("--effect ") + effect + " --threads 1"));
    ASSERT_EQ(o.exitCode, 0) << o.output;
    o = RunCli(Apply(several, std::string("--effect ") + effect + " --threads 5"));
    ASSERT_EQ(o.exitCode, 0) << o.output;
    EXPECT_EQ(LoadPicture(one.string()), LoadPicture(several.string())) << "effect " << effect;
  }
}

TEST_F(CliThreads, ACountOutsideOneTo256IsRefusedAndWritesNothing) {
  const fs::path out = folder / "none.png";
  for (const char* count : {"0", "257", "two"}) {
    const auto o = RunCli(Apply(out, std::string("--threads ") + count));
    EXPECT_EQ(o.exitCode, 2) << count << ": " << o.output;
    EXPECT_FALSE(fs::exists(out)) << count;
  }
}
