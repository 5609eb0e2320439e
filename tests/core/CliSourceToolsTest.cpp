// modify, resize and autocontrast run by the real binary on real photographs.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "history/SourceMean.h"
#include "io/PictureFile.h"
#include "tests/core/CliRunner.h"
#include "tools/SourceTools.h"

using namespace brumeleaf;
using namespace brumeleaf::testing;

namespace {

const std::string kChelsea = std::string(BRUMELEAF_TEST_DATA) + "/chelsea.jpg";  // 451 x 300, 300 dpi
const std::string kSample = BRUMELEAF_SAMPLE;                                      // 512 x 512, 118 dpi

std::string Q(const std::string& s) { return ShellQuoted(s); }

}  // namespace

TEST(CliSourceTools, ModifyGivesTheChainsBytesAndKeepsTheDensity) {
  ScratchFolder dir("cli-modify");
  CliOutcome o = Cli(dir, "modify " + Q(kChelsea) + " -o " + Q(dir.File("m.png")) +
                              " --luminosity -15 --contrast 40 --saturation 30 --blur-sharpen 2 --simplify 2");
  ASSERT_EQ(o.code, 0) << o.err;
  Bitmap expected = LoadPicture(kChelsea);
  ASSERT_TRUE(ModifySourceImage(expected, ModifySettings{-15, 40, 30, 2, 2}, ComputeSourceMean(expected)));
  EXPECT_EQ(LoadPicture(dir.File("m.png")), expected);

  o = Cli(dir, "modify " + Q(kSample) + " -o " + Q(dir.File("m.jpg")) + " --blur-sharpen -5");
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(Cli(dir, "info " + Q(dir.File("m.jpg"))).out, "m.jpg - 512x512 - 118 dpi\n");
  // No slider moved: the picture comes out as it went in.
  o = Cli(dir, "modify " + Q(kSample) + " -o " + Q(dir.File("same.png")));
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(LoadPicture(dir.File("same.png")), LoadPicture(kSample));
}

TEST(CliSourceTools, ResizeFollowsTheRatioRuleOrTheGivenSides) {
  ScratchFolder dir("cli-resize");
  struct Case {
    std::string args;
    std::string size;
  } cases[] = {
      {"--width-percent 250", "1127x749"},      // ((1127 * 1000) div 451) * 300 div 1000
      {"--width 500", "500x332"},                // 1108 * 300 div 1000
      {"--width 1353", "1353x900"},              // exactly 3 times
      {"--width 200 --free-ratio", "200x300"},   // the height stays
      {"--width 200 --free-ratio --height-percent 50", "200x150"},
      {"--width-percent 10 --free-ratio --height 900", "45x900"},
      {"--size 1920x1080", "1920x1080"},         // no 3-times limit
  };
  for (const Case& c : cases) {
    const CliOutcome o = Cli(dir, "resize " + Q(kChelsea) + " -o " + Q(dir.File("r.jpg")) + " " + c.args);
    ASSERT_EQ(o.code, 0) << c.args << ": " << o.err;
    EXPECT_EQ(Cli(dir, "info " + Q(dir.File("r.jpg"))).out, "r.jpg - " + c.size + " - 300 dpi\n") << c.args;
  }
  // The bytes are those of the bilinear resampling.
  ASSERT_EQ(Cli(dir, "resize " + Q(kSample) + " -o " + Q(dir.File("r.png")) + " --size 301x77").code, 0);
  EXPECT_EQ(LoadPicture(dir.File("r.png")), ResizePicture(LoadPicture(kSample), 301, 77));
}

TEST(CliSourceTools, ResizeRefusesWhatTheWindowRefuses) {
  ScratchFolder dir("cli-resize-refused");
  const std::string run = "resize " + Q(kChelsea) + " -o " + Q(dir.File("r.png")) + " ";
  for (const char* usage : {"", "--width 1354", "--width 10 --size 20x20", "--width 100 --height 50",
                                   "--size 20x20 --free-ratio", "--size 20", "--size 0x5", "--width-percent 301",
                                   "--width 10 --free-ratio --height 10 --height-percent 5", "--width 0"}) {
    const CliOutcome o = Cli(dir, run + usage);
    EXPECT_EQ(o.code, 2) << usage << ": " << o.err;
    EXPECT_NE(o.err.find("usage:"), std::string::npos) << usage;
  }
  // A side below 2 and a size beyond the picture limits fail without writing anything.
  for (const char* failing : {"--width 1", "--width-percent 1 --free-ratio --height 1"}) {
    const CliOutcome o = Cli(dir, run + failing);
    EXPECT_EQ(o.code, 1) << failing << ": " << o.err;
    EXPECT_NE(o.err.find("at least 2"), std::string::npos) << o.err;
  }
  EXPECT_EQ(Cli(dir, "resize " + Q(dir.File("missing.jpg")) + " -o " + Q(dir.File("r.png")) + " --width 10").code, 1);
  EXPECT_EQ(dir.Entries(), 0);
}

TEST(CliSourceTools, AutoContrastIsTheMenuCommand) {
  ScratchFolder dir("cli-autocontrast");
  ASSERT_EQ(Cli(dir, "autocontrast " + Q(kChelsea) + " -o " + Q(dir.File("a.png"))).code, 0);
  Bitmap expected = LoadPicture(kChelsea);
  AutomaticContrast(expected);
  EXPECT_EQ(LoadPicture(dir.File("a.png")), expected);
  ASSERT_EQ(Cli(dir, "autocontrast " + Q(kSample) + " -o " + Q(dir.File("a.jpg"))).code, 0);
  EXPECT_EQ(Cli(dir, "info " + Q(dir.File("a.jpg"))).out, "a.jpg - 512x512 - 118 dpi\n");
  EXPECT_EQ(Cli(dir, "autocontrast " + Q(kSample) + " -o " + Q(dir.File("a.tiff"))).code, 2);
  EXPECT_EQ(Cli(dir, "autocontrast " + Q(kSample)).code, 2);
  const CliOutcome help = Cli(dir, "modify --help");
  EXPECT_EQ(help.code, 0);
  for (const char* name : {"--luminosity", "--contrast", "--saturation", "--blur-sharpen", "--simplify"})
    EXPECT_NE(help.out.find(name), std::string::npos) << name;
  EXPECT_EQ(dir.Entries(), 2);
}

TEST(CliSourceTools, InterruptedModifyWritesNothing) {
  ScratchFolder dir("cli-modify-interrupt");
  const std::string big = dir.File("big.bmp");
  const std::string out = dir.File("never.png");
  SavePicture(SyntheticPhoto(4000, 3000), big);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 2);
    execl(BRUMELEAF_CLI, BRUMELEAF_CLI, "modify", big.c_str(), "-o", out.c_str(), "--simplify", "9", "--contrast",
          "50", "--blur-sharpen", "-5", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(dir.Entries(), 1);  // only the input: no output, no temporary file
}
