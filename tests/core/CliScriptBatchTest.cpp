// The script and batch commands of brumeleaf-cli, run as a user runs them.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestPictures.h"
#include "tests/core/CliRunner.h"
#include "batch/CommandLine.h"
#include "effects/Catalogue.h"
#include "io/FileBytes.h"
#include "io/PictureFile.h"
#include "pipeline/Session.h"
#include "script/Script.h"
#include "tests/core/SyntheticPhoto.h"

using brumeleaf::testing::ScratchFolder;

using brumeleaf::testing::Cli;
using Outcome = brumeleaf::testing::CliOutcome;

namespace {


using brumeleaf::testing::ShellQuoted;


void WriteScript(const std::string& path, std::initializer_list<brumeleaf::ScriptRow> rows) {
  brumeleaf::Script script;
  int row = 1;
  for (const auto& r : rows) script.Row(row++) = r;
  brumeleaf::SaveScriptFile(path, script);
}

}  // namespace

TEST(CliScript, CheckListsRowsAndARunEqualsApplyFromTheSameSeed) {
  ScratchFolder dir("cli-script");
  const std::string bfs = dir.File("steps.bfs");
  WriteScript(bfs, {{"Pencil sketch 1", "", "", "", "", "", "0"}, {"", "", "", "", "", "", "57"}});
  Outcome o = Cli(dir, "script --check " + ShellQuoted(bfs));
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_NE(o.out.find("2 steps"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("row 1"), std::string::npos);
  EXPECT_NE(o.out.find("skipped: no effect has code 57"), std::string::npos) << o.out;

  const std::string sample = ShellQuoted(BRUMELEAF_SAMPLE);
  o = Cli(dir, "script " + sample + " " + ShellQuoted(bfs) + " -o " + ShellQuoted(dir.File("s.png")) + " --seed 9");
  ASSERT_EQ(o.code, 0) << o.err;
  o = Cli(dir, "apply " + sample + " -o " + ShellQuoted(dir.File("a.png")) + " --effect 0 --seed 9");
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(brumeleaf::ReadFileBytes(dir.File("s.png")), brumeleaf::ReadFileBytes(dir.File("a.png")));

  // A malformed script is refused before any picture is read.
  { std::ofstream(dir.File("bad.bfs")) << "6\r\n2\r\n"; }
  o = Cli(dir, "script " + sample + " " + ShellQuoted(dir.File("bad.bfs")) + " -o " + ShellQuoted(dir.File("x.png")));
  EXPECT_EQ(o.code, 1);
  EXPECT_NE(o.err.find("column count"), std::string::npos) << o.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
  WriteScript(bfs, {{"", "99999", "5", "", "", "", "101"}});
  EXPECT_EQ(Cli(dir, "script --check " + ShellQuoted(bfs)).code, 1);
}

TEST(CliBatch, SummaryExitCodeListsAndShards) {
  ScratchFolder dir("cli-batch");
  const std::string a = dir.File("a.jpg"), b = dir.File("b.bmp");
  std::filesystem::copy_file(BRUMELEAF_SAMPLE, a);
  Outcome o = Cli(dir, "convert " + ShellQuoted(a) + " " + ShellQuoted(b));
  ASSERT_EQ(o.code, 0);
  { std::ofstream(dir.File("c.png")) << "broken"; }

  o = Cli(dir, "batch --from - -d " + ShellQuoted(dir.File("out")) + " --effect 14 --jobs 2",
          a + "\n" + dir.File("c.png") + "\n" + b + "\n");
  EXPECT_EQ(o.code, 1);
  EXPECT_NE(o.out.find("2 written, 0 skipped, 1 failed"), std::string::npos) << o.out;
  EXPECT_NE(o.err.find("] c.png"), std::string::npos) << o.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("out/b_Brumeleaf.bmp")));

  o = Cli(dir, "batch " + ShellQuoted(a) + " " + ShellQuoted(b) + " -d " + ShellQuoted(dir.File("out")) + " --effect 14 --shard 2/2");
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_NE(o.out.find("0 written, 1 skipped, 0 failed"), std::string::npos) << o.out;

  EXPECT_EQ(Cli(dir, "batch " + ShellQuoted(a) + " --shard 3/2").code, 2);
  EXPECT_EQ(Cli(dir, "batch " + ShellQuoted(a) + " -d ''").code, 2);
  EXPECT_EQ(Cli(dir, "batch").code, 2);
}

// ---------------------------------------------------------------- copy as command line

TEST(CopyAsCommandLine, QuotesForTheShellAndNamesWhatItCannotCarry) {
  using brumeleaf::ShellQuoted;
  EXPECT_EQ(ShellQuoted("photos/a_1.jpg"), "photos/a_1.jpg");
  EXPECT_EQ(ShellQuoted("my photo.jpg"), "'my photo.jpg'");
  EXPECT_EQ(ShellQuoted("it's.jpg"), "'it'\\''s.jpg'");
  EXPECT_EQ(ShellQuoted(""), "''");
  EXPECT_EQ(ShellQuoted("$(rm x)"), "'$(rm x)'");

  brumeleaf::EffectSettings settings;
  settings.MutableFinishing().addFrame = true;
  settings.MutableFinishing().addText = true;
  const auto text = brumeleaf::ApplyCommandLine(settings, 5, "a.jpg", "b.png");
  EXPECT_EQ(text.leftOut, (std::vector<std::string>{"frame", "caption"}));
  EXPECT_NE(text.line.find("--seed 5"), std::string::npos);
}

TEST(CopyAsCommandLine, RunningTheLineGivesTheBytesOfTheSessionRun) {
  using namespace brumeleaf;
  ScratchFolder dir("cli-copy-line");
  const std::string input = dir.File("my photo.png");
  SavePicture(brumeleaf::testing::SyntheticPhoto(57, 41), input);

  Session session(90210);
  session.Settings().SelectEntry(ListIndexOfCode(0));
  session.Settings().ChangeSlider(1, session.Settings().Slider(1).range.low + 3);
  session.Settings().ChangeSlider(3, session.Settings().Slider(3).range.high);
  session.Settings().MutableFinishing().softenEdges = true;
  session.Settings().ChooseTextureNumber(4);
  session.Settings().ChooseStrength(2);
  const CommandLineText text = ApplyCommandLine(session.Settings(), session.Rand().Seed(), input, dir.File("out.png"));
  EXPECT_TRUE(text.leftOut.empty());
  session.OpenPicture(LoadPicture(input), input);
  ASSERT_TRUE(session.Run().Completed());

  const std::string arguments = text.line.substr(std::string("brumeleaf-cli ").size());
  const Outcome o = Cli(dir, arguments);
  ASSERT_EQ(o.code, 0) << text.line << "\n" << o.err;
  EXPECT_EQ(LoadPicture(dir.File("out.png")), session.Result());
}
