// brumeleaf-cli apply with a picture frame and a caption, run as a user runs them.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "io/PictureFile.h"
#include "tests/core/CliRunner.h"
#include "settings/SettingsFile.h"
#include "SyntheticPhoto.h"

using namespace brumeleaf;
namespace fs = std::filesystem;

using brumeleaf::testing::RunCli;
using Outcome = brumeleaf::testing::CliMergedOutcome;

namespace {


using brumeleaf::testing::ShellQuotedPath;

struct CliFrameFixture : brumeleaf::testing::CliPhotoFixture {
  fs::path out;
  void SetUp() override {
    MakePhoto("brumeleaf-frame-", 80, 60);
    out = folder / "out.png";
  }
  Outcome Apply(const std::string& options) {
    return RunCli("apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(out) + " --effect 14 " + options);
  }
};

TEST_F(CliFrameFixture, ColoursAreGivenRedFirst) {
  Outcome o = Apply("--frame lined --margin 20 --fill-colour ff0000 --line-colour '#0000FF'");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  const Bitmap b = LoadPicture(out.string());
  ASSERT_EQ(b.Width(), 100);
  ASSERT_EQ(b.Height(), 80);
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(255, 0, 0));
  EXPECT_EQ(b.Pixel(7, 40), MakeColour(0, 0, 255));  // e = (20 - 5) / 2
  EXPECT_EQ(b.Pixel(10, 10), MakeColour(255, 0, 0));
  for (const char* bad : {"--fill-colour red", "--fill-colour ff00", "--tint 1,2", "--tint 0,0,300",
                          "--frame oval", "--font-style heavy", "--text-at 5", "--margin 1001"}) {
    fs::remove(out);
    o = Apply(bad);
    EXPECT_EQ(o.exitCode, 2) << bad << "\n" << o.output;
    EXPECT_FALSE(fs::exists(out)) << bad;
  }
}

TEST_F(CliFrameFixture, EveryStyleAndATextRunWithoutADisplay) {
  for (const char* style : {"simple", "lined", "realistic", "colored", "triptych", "brushstrokes"}) {
    const Outcome o = RunCli("apply " + ShellQuotedPath(photo) + " -o " + ShellQuotedPath(out) +
                             " --effect 14 --margin 10 --spacing 4 --frame " + style +
                             " --text Hello --text-position top-left");
    ASSERT_EQ(o.exitCode, 0) << style << "\n" << o.output;
    EXPECT_GT(LoadPicture(out.string()).Width(), 80) << style;
  }
}

TEST_F(CliFrameFixture, SettingsFileGivesTheFrameAndOptionsOverrideIt) {
  AppSettings app;
  app.frame.style = 0;
  app.frame.marginText = "30";
  app.frame.fillColour = static_cast<int>(MakeColour(0, 128, 0));
  const fs::path ini = folder / "Brumeleaf.ini";
  ASSERT_TRUE(SaveSettingsFile(ini, app, {0, 0, 800, 600}));
  Outcome o = Apply("--settings " + ShellQuotedPath(ini) + " --add-frame");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  Bitmap b = LoadPicture(out.string());
  EXPECT_EQ(b.Width(), 110);
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(0, 128, 0));
  o = Apply("--settings " + ShellQuotedPath(ini) + " --margin 10");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  b = LoadPicture(out.string());
  EXPECT_EQ(b.Width(), 90);
  EXPECT_EQ(b.Pixel(0, 0), MakeColour(0, 128, 0));
  // Without a frame option the settings file adds nothing.
  o = Apply("--settings " + ShellQuotedPath(ini));
  ASSERT_EQ(o.exitCode, 0) << o.output;
  EXPECT_EQ(LoadPicture(out.string()).Width(), 80);
  EXPECT_EQ(Apply("--settings " + ShellQuotedPath(folder / "missing.ini")).exitCode, 1);
}

TEST_F(CliFrameFixture, ALeftOutFrameKeepsTheDrawingAndSaysSo) {
  SavePicture(brumeleaf::testing::SyntheticPhoto(30, 1), photo.string());
  const Outcome o = Apply("--frame realistic --margin 0");
  ASSERT_EQ(o.exitCode, 0) << o.output;
  EXPECT_NE(o.output.find("too small"), std::string::npos) << o.output;
  EXPECT_EQ(LoadPicture(out.string()).Width(), 30);
  const Outcome font = Apply("--text Hi --font 'No Such Family 42'");
  ASSERT_EQ(font.exitCode, 0) << font.output;
  EXPECT_NE(font.output.find("not installed"), std::string::npos) << font.output;
}

}  // namespace
