#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "TestPictures.h"
#include "tests/core/CliRunner.h"

using brumeleaf::testing::ScratchFolder;

using brumeleaf::testing::Cli;
using Outcome = brumeleaf::testing::CliOutcome;

namespace {


using brumeleaf::testing::ShellQuoted;


int Lines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

}  // namespace

TEST(CliInfoAndConvert, SucceedOnTheSample) {
  ScratchFolder dir("cli-ok");
  const std::string sample = ShellQuoted(BRUMELEAF_SAMPLE);
  Outcome o = Cli(dir, "info " + sample);
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(o.out, "sample.jpg - 512x512 - 118 dpi\n");

  o = Cli(dir, "convert " + sample + " " + ShellQuoted(dir.File("copy.png")));
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(Cli(dir, "info " + ShellQuoted(dir.File("copy.png"))).out, "copy.png - 512x512 - 300 dpi\n");
  // JPEG output carries the input's density.
  o = Cli(dir, "convert " + sample + " " + ShellQuoted(dir.File("copy.JPEG")));
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(Cli(dir, "info " + ShellQuoted(dir.File("copy.JPEG"))).out, "copy.JPEG - 512x512 - 118 dpi\n");
  o = Cli(dir, "convert " + ShellQuoted(dir.File("copy.png")) + " " + ShellQuoted(dir.File("copy.bmp")));
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(Cli(dir, "info " + ShellQuoted(dir.File("copy.bmp"))).out, "copy.bmp - 512x512 - 300 dpi\n");
  EXPECT_EQ(dir.Entries(), 3);
}

TEST(CliInfoAndConvert, FailuresExitOneWithOneLineAndNoOutput) {
  ScratchFolder dir("cli-fail");
  std::ofstream(dir.File("text.jpg")) << "this is not a picture\n";
  const std::string text = dir.File("text.jpg");
  Outcome o = Cli(dir, "convert " + ShellQuoted(text) + " " + ShellQuoted(dir.File("out.png")));
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(Lines(o.err), 1) << o.err;
  EXPECT_NE(o.err.find(text), std::string::npos) << o.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.png")));

  o = Cli(dir, "info " + ShellQuoted(text));
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(Lines(o.err), 1) << o.err;
  EXPECT_TRUE(o.out.empty());

  o = Cli(dir, "convert " + ShellQuoted(BRUMELEAF_SAMPLE) + " " + ShellQuoted(dir.File("no/such/folder/out.png")));
  EXPECT_EQ(o.code, 1);
  EXPECT_NE(o.err.find("out.png"), std::string::npos) << o.err;
  EXPECT_EQ(dir.Entries(), 1);  // only text.jpg: no output, no temporary file
}

TEST(CliInfoAndConvert, BadUsageExitsTwo) {
  ScratchFolder dir("cli-usage");
  const std::string sample = ShellQuoted(BRUMELEAF_SAMPLE);
  const std::vector<std::string> wrong = {"", "frobnicate", "info", "info " + sample + " " + sample,
                                          "convert " + sample, "convert " + sample + " " + ShellQuoted(dir.File("out.tiff"))};
  for (const std::string& args : wrong) {
    const Outcome o = Cli(dir, args);
    EXPECT_EQ(o.code, 2) << args;
    EXPECT_NE(o.err.find("usage:"), std::string::npos) << args << ": " << o.err;
  }
  Outcome help = Cli(dir, "--help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("convert"), std::string::npos);
  EXPECT_NE(help.out.find("info"), std::string::npos);
  help = Cli(dir, "convert --help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("IN OUT"), std::string::npos);
  EXPECT_EQ(dir.Entries(), 0);
}
