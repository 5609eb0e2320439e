// brumeleaf-cli effects, apply and render-all, run as a user runs them.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "effects/EffectSettings.h"
#include "tests/core/CliRunner.h"
#include "finishing/PaperTexture.h"
#include "settings/ParameterFile.h"
#include "io/PictureFile.h"
#include "SyntheticPhoto.h"

using namespace brumeleaf;
namespace fs = std::filesystem;

using brumeleaf::testing::RunCli;
using Outcome = brumeleaf::testing::CliMergedOutcome;

namespace {


using brumeleaf::testing::ShellQuotedPath;

struct CliFixture : brumeleaf::testing::CliPhotoFixture {
  void SetUp() override { MakePhoto("brumeleaf-cli-", 160, 120); }
};

bool AllGrey(const Bitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const Colour c = b.Pixel(x, y);
      if (RedOf(c) != GreenOf(c) || GreenOf(c) != BlueOf(c)) return false;
    }
  return true;
}

}  // namespace

TEST(CliEffects, ListsEntriesCodesAndVisibleSliders) {
  const Outcome o = RunCli("effects");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  EXPECT_NE(o.output.find("   1    0  Pencil sketch 1\n"), std::string::npos);
  EXPECT_NE(o.output.find("s1 Edge threshold           0..255, default 25"), std::string::npos);
  EXPECT_NE(o.output.find("s3 Color intensity          0..100, default 80"), std::string::npos);
  // Painting 3: its second slider has its own range.
  EXPECT_NE(o.output.find("s2 Size of paintbrush       1..10, default 5"), std::string::npos);
  EXPECT_NE(o.output.find("  35   14  Frame, texture and text only\n"), std::string::npos);
  EXPECT_NE(o.output.find("   0       Pencil sketch effects"), std::string::npos);
  EXPECT_EQ(RunCli("effects extra").exitCode, 2);
}

TEST_F(CliFixture, ApplyDrawsRepeatablyAtTheSourceSize) {
  const fs::path first = folder / "first.png", second = folder / "second.png";
  Outcome o = RunCli("apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(first) + " --effect 'pencil sketch 1'");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  o = RunCli("apply " + ShellQuotedPath(photo) + " --effect 0 -o " + ShellQuotedPath(second) + " --seed 99");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  const Bitmap a = LoadPicture(first.string());
  EXPECT_EQ(a.Width(), 160);
  EXPECT_EQ(a.Height(), 120);
  EXPECT_EQ(a, LoadPicture(second.string()));
  EXPECT_NE(a, LoadPicture(photo.string()));
}

TEST_F(CliFixture, ValuesFillTheSlidersInRowOrder) {
  // T = 0 and CI = 0: edge pixels only, all grey; the rest keep their defaults.
  const fs::path out = folder / "grey.png";
  Outcome o = RunCli("apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(out) + " --values 0,,0");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  EXPECT_TRUE(AllGrey(LoadPicture(out.string())));
  // Out of range is clamped like a slider: 900 is 100 for the colour intensity.
  o = RunCli("apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(out) + " --values 25,100,900");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  EXPECT_FALSE(AllGrey(LoadPicture(out.string())));
}

TEST_F(CliFixture, FinishingOptionsReachTheSurfaceStage) {
  const fs::path out = folder / "textured.png";
  const Outcome o = RunCli("apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(out) +
                           " --effect 14 --texture 3 --strength strong");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  Bitmap expected = LoadPicture(photo.string());
  PrintTexture(expected, PaperTextureTile(2), 2, 255, 255);
  EXPECT_EQ(LoadPicture(out.string()), expected);
}

TEST_F(CliFixture, ParameterFilesSelectTheirEntry) {
  EffectSettings settings;
  settings.SelectEntry(35);  // frame, texture and text only
  const fs::path params = SaveParameterFile(folder / "only-finish", settings);
  const fs::path out = folder / "copy.png";
  const Outcome o = RunCli("apply " + ShellQuotedPath(photo) + " --params " + ShellQuotedPath(params) + " -o " + ShellQuotedPath(out));
  ASSERT_EQ(o.exitCode, 0) << o.output;
  EXPECT_EQ(LoadPicture(out.string()), LoadPicture(photo.string()));
}

TEST_F(CliFixture, BadArgumentsAreUsageErrorsAndWriteNothing) {
  const std::string base = "apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(folder / "x.png");
  for (const char* bad : {" --effect Nonsense", " --texture 11", " --texture 0", " --values 1,2,3,4,5,6",
                          " --values 1,a", " --strength heavy", " --quality 0", " --quality 101", " --seed -1",
                          " --seed 4294967296", " --texture 1.5",
                          " --frobnicate", " --effect"}) {
    const Outcome o = RunCli(base + bad);
    EXPECT_EQ(o.exitCode, 2) << bad << ": " << o.output;
  }
  EXPECT_EQ(RunCli("apply " + ShellQuotedPath(photo)).exitCode, 2);
  EXPECT_EQ(RunCli("apply -o " + ShellQuotedPath(folder / "x.png")).exitCode, 2);
  EXPECT_EQ(RunCli("apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(folder / "x.tiff")).exitCode, 2);
  // An effect that is not built yet (while there is one) is a failure, not a usage error.
  for (int code = 0; code < brumeleaf::kEffectCount; ++code) {
    if (brumeleaf::FrameForCode(code)) continue;
    const std::string name = brumeleaf::EffectNameForCode(code);
    const Outcome unavailable = RunCli(base + " --effect " + std::to_string(code));
    EXPECT_EQ(unavailable.exitCode, 1);
    EXPECT_NE(unavailable.output.find(name + " is not available yet."), std::string::npos);
    break;
  }
  EXPECT_EQ(RunCli("apply " + ShellQuotedPath(folder / "missing.jpg") + " -o " + ShellQuotedPath(folder / "x.png")).exitCode, 1);
  EXPECT_FALSE(fs::exists(folder / "x.png"));
}

TEST_F(CliFixture, InterruptStopsTheRunAndWritesNothing) {
  const fs::path big = folder / "big.bmp";
  SavePicture(brumeleaf::testing::SyntheticPhoto(3000, 2000), big.string());
  const fs::path out = folder / "never.png";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 2);
    execl(BRUMELEAF_CLI, BRUMELEAF_CLI, "apply", big.c_str(), "-o", out.c_str(), "--effect", "0",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(CliFixture, RenderAllWritesEveryAvailableEffect) {
  const fs::path outFolder = folder / "all";
  const Outcome o = RunCli("render-all " + ShellQuotedPath(photo) + " " + ShellQuotedPath(outFolder));
  ASSERT_EQ(o.exitCode, 0) << o.output;
  EXPECT_TRUE(fs::exists(outFolder / "0-pencil-sketch-1.jpg"));
  EXPECT_TRUE(fs::exists(outFolder / "14-frame-texture-and-text-only.jpg"));
  EXPECT_TRUE(fs::exists(outFolder / "4-painting-1-watercolor.jpg"));
  EXPECT_TRUE(fs::exists(outFolder / "15-painting-7-brushstrokes.jpg"));
  // Effects that are not built yet leave no file.
  for (const auto& entry : fs::directory_iterator(outFolder)) {
    const std::string name = entry.path().filename().string();
    const int code = std::stoi(name.substr(0, name.find('-')));
    EXPECT_NE(brumeleaf::FrameForCode(code), nullptr) << name;
  }
  EXPECT_EQ(RunCli("render-all " + ShellQuotedPath(photo)).exitCode, 2);
}

// Every option a command takes is listed on a line of its own with its range and default,
// from the same declarations the parser checks values against.
TEST(CliOptions, HelpListsEachOptionWithItsRangeAndDefault) {
  const Outcome apply = RunCli("apply --help");
  EXPECT_EQ(apply.exitCode, 0);
  for (const char* line : {"  --texture N", "(1..10); default: none", "  -o, --output FILE",
                           "--quality N", "(1..100); default: 95", "--strength LEVEL",
                           "(light|normal|strong)", "--seed N", "(0..4294967295)"}) {
    EXPECT_NE(apply.output.find(line), std::string::npos) << line << "\n" << apply.output;
  }
  const Outcome renderAll = RunCli("render-all --help");
  EXPECT_NE(renderAll.output.find("--quality N"), std::string::npos);
  EXPECT_EQ(renderAll.output.find("--texture"), std::string::npos) << "render-all takes no texture";
  // The declared upper bound is enforced, not only the lower one.
  EXPECT_NE(RunCli("render-all x y --quality 101").output.find("--quality must lie within 1..100"), std::string::npos);
}
