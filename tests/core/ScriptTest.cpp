// Scripts: the .bfs file read and written exactly, and the replay of every step over a session.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "effects/Catalogue.h"
#include "imaging/Colour.h"
#include "imaging/Geometry.h"
#include "script/Script.h"
#include "script/ScriptRunner.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using brumeleaf::testing::SyntheticPhoto;

namespace {

constexpr int kPencil1 = 0;      // effect code of Pencil sketch 1
constexpr int kFrameOnly = 14;   // effect code of the frame-only entry

int CountLines(const std::string& text) {
  int lines = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '\r' && text[i + 1] == '\n') ++lines;
  return lines;
}

Script Steps(std::initializer_list<ScriptRow> rows) {
  Script script;
  int row = 1;
  for (const ScriptRow& r : rows) script.Row(row++) = r;
  return script;
}

struct Fixture {
  Session session{1234};
  std::optional<Bitmap> stored;
  Fixture(int w = 37, int h = 23) { session.OpenPicture(SyntheticPhoto(w, h), "photo.jpg"); }
  JobOutcome Run(const Script& script, std::atomic<bool>* stop = nullptr, ProgressSink* sink = nullptr) {
    return RunScript(session, script, stored, "photo.jpg", sink, stop);
  }
};

struct StopAtFirstReport : ProgressSink {
  std::atomic<bool>* stop = nullptr;
  void ShowProgress(int, int, int, int) override { stop->store(true); }
};

}  // namespace

// ---------------------------------------------------------------- the file

TEST(ScriptFile, FiftyAndSixtyRowScriptsRoundTripByteForByte) {
  Script script = Steps({{"Pencil sketch 1", "3", "", "7", "", "-2", "0"},
                         {"Swap left and right images", "", "", "", "", "", "110"}});
  script.SetCell(0, 49, "last row");
  const std::string text = FormatScript(script);
  EXPECT_EQ(CountLines(text), 352);
  EXPECT_EQ(text.substr(0, 18), "7\r\n50\r\nAction\r\nPen");
  const Script back = ParseScript(text);
  EXPECT_EQ(back, script);
  EXPECT_EQ(FormatScript(back), text);

  Script sixty(60);
  sixty.SetCell(6, 59, "112");
  const Script sixtyBack = ParseScript(FormatScript(sixty));
  EXPECT_EQ(sixtyBack.RowCount(), 60);
  EXPECT_EQ(sixtyBack.Cell(6, 59), "112");
  EXPECT_EQ(FormatScript(sixtyBack), FormatScript(sixty));

  // Column-major: the second line after the counts is row 1 of column 0.
  std::string lf;
  for (char c : text)
    if (c != '\r') lf += c;
  EXPECT_EQ(ParseScript(lf), script);
}

TEST(ScriptFile, RefusesMalformedFilesWhole) {
  const std::string good = FormatScript(Script(3));
  EXPECT_NO_THROW(ParseScript(good));
  EXPECT_THROW(ParseScript("6\r\n3\r\n" + good.substr(6)), ScriptError);            // column count
  EXPECT_THROW(ParseScript("7\r\n0\r\n"), ScriptError);                             // no rows
  EXPECT_THROW(ParseScript("7\r\n10001\r\n"), ScriptError);                         // too many rows
  EXPECT_THROW(ParseScript("7\r\nfifty\r\n"), ScriptError);
  EXPECT_THROW(ParseScript(good.substr(0, good.size() - 9)), ScriptError);          // cells missing
  EXPECT_THROW(ParseScript(""), ScriptError);

  Script bad = Steps({{"x", "12a", "", "", "", "", "0"}});
  EXPECT_THROW(ParseScript(FormatScript(bad)), ScriptError);
  bad = Steps({{"x", "", "", "", "", "", "9999999999"}});
  EXPECT_THROW(ParseScript(FormatScript(bad)), ScriptError);
  // A row that does not run, and the header, may hold anything.
  Script idle = Steps({{"note", "abc", "", "", "", "", ""}});
  idle.SetCell(6, 0, "code");
  EXPECT_NO_THROW(ParseScript(FormatScript(idle)));
}

TEST(ScriptFile, FileRoundTripAndExtension) {
  const auto path = std::filesystem::temp_directory_path() / "brumeleaf-script-test.bfs";
  const Script script = Steps({{"Invert colors", "", "", "", "", "", "112"}});
  SaveScriptFile(path, script);
  EXPECT_EQ(LoadScriptFile(path), script);
  std::filesystem::remove(path);
  EXPECT_EQ(ScriptFilePath("a/steps"), std::filesystem::path("a/steps.bfs"));
  EXPECT_EQ(ScriptFilePath("a/steps.bfs"), std::filesystem::path("a/steps.bfs"));
}

TEST(ScriptFile, InsertAndDeleteLines) {
  Script script = Steps({{"a", "", "", "", "", "", "105"}, {"b", "", "", "", "", "", "106"}});
  script.InsertLine(1);
  EXPECT_EQ(script.RowCount(), 51);
  EXPECT_EQ(script.Cell(0, 1), "");
  EXPECT_EQ(script.Cell(0, 2), "a");
  script.DeleteLine(1);
  script.DeleteLine(1);
  EXPECT_EQ(script.RowCount(), 51);
  EXPECT_EQ(script.Cell(0, 1), "b");
  EXPECT_EQ(script.Cell(0, 50), "");
  EXPECT_EQ(script.Cell(0, 0), "Action");
}

// ---------------------------------------------------------------- the plan

TEST(ScriptPlan, SkipsWhatCannotRunAndRefusesHugeResizes) {
  Script script = Steps({{"", "", "", "", "", "", "57"},
                         {"", "", "", "", "", "", "150"},
                         {"", "1", "400", "", "", "", "101"},
                         {"", "300", "", "", "", "", "109"},
                         {"", "", "", "", "", "", "14"}});
  script.SetCell(6, 0, "112");  // the header never runs
  const auto plan = PlanScript(script);
  ASSERT_EQ(plan.size(), 5u);
  EXPECT_EQ(plan[0].action, PlannedStep::Action::Skipped);
  EXPECT_EQ(plan[1].action, PlannedStep::Action::UnknownOperation);
  EXPECT_EQ(plan[2].action, PlannedStep::Action::Skipped);
  EXPECT_EQ(plan[3].action, PlannedStep::Action::Skipped);
  EXPECT_EQ(plan[4].action, PlannedStep::Action::Effect);
  EXPECT_EQ(plan[4].listIndex, kFrameOnlyEntry);
  EXPECT_EQ(plan[0].row, 1);

  EXPECT_THROW(PlanScript(Steps({{"", "40000", "20", "", "", "", "101"}})), ScriptError);
  EXPECT_THROW(PlanScript(Steps({{"", "20", "15002", "", "", "", "109"}})), ScriptError);
  EXPECT_NO_THROW(PlanScript(Steps({{"", "32768", "2", "", "", "", "109"}})));
}

// ---------------------------------------------------------------- the run

TEST(ScriptRun, EmptyRowsAndSkippedStepsChangeNothing) {
  Fixture f;
  f.session.Settings().SelectEntry(5);
  const Bitmap source = f.session.Source();
  const int historyCount = f.session.GetHistory().Count();
  EXPECT_TRUE(f.Run(Script()).Completed());
  EXPECT_EQ(f.session.Source(), source);
  EXPECT_EQ(f.session.Settings().ListIndex(), 5);

  Fixture g;
  const Bitmap result = g.session.Result();
  EXPECT_TRUE(g.Run(Steps({{"", "", "", "", "", "", "57"},
                            {"", "1", "50", "", "", "", "101"},
                            {"", "", "", "", "", "", "107"},
                            {"", "", "", "", "", "", "108"},
                            {"", "", "", "", "", "", "150"}}))
                  .Completed());
  EXPECT_EQ(g.session.Source(), source);
  EXPECT_EQ(g.session.Result(), result);
  EXPECT_FALSE(g.stored.has_value());
  // 150 selects the merge entry and nothing else.
  EXPECT_EQ(g.session.Settings().ListIndex(), kUnknownOperationEntry);
  // The source is put back and recorded once at the end.
  EXPECT_EQ(g.session.GetHistory().Count(), historyCount + 1);
}

TEST(ScriptRun, EmptyCellsKeepStoredValuesAndFilledCellsAreStoredBack) {
  Fixture f;
  const int entry = ListIndexOfCode(kPencil1);
  f.session.Settings().SelectEntry(entry);
  const SliderRange range = f.session.Settings().Slider(1).range;
  const int second = f.session.Settings().Slider(2).position;
  const int wanted = range.low + 1;
  f.session.Settings().SelectEntry(kFrameOnlyEntry);
  ASSERT_TRUE(f.Run(Steps({{"Pencil", std::to_string(wanted), "", "", "", "", "0"}})).Completed());
  EXPECT_EQ(f.session.Settings().ListIndex(), entry);
  EXPECT_EQ(f.session.Settings().Slider(1).position, wanted);
  EXPECT_EQ(f.session.Settings().Slider(2).position, second);
  EXPECT_EQ(f.session.Settings().Values()[kPencil1][0], wanted);
  // An out-of-range cell is clamped like a slider move.
  ASSERT_TRUE(f.Run(Steps({{"Pencil", "-100000", "", "", "", "", "0"}})).Completed());
  EXPECT_EQ(f.session.Settings().Slider(1).position, range.low);
}

TEST(ScriptRun, EffectStepsEqualTheSameRunsByHandWithTheSameSeed) {
  const Script script = Steps({{"", "", "", "", "", "", "0"}, {"", "", "", "", "", "", "110"},
                               {"", "", "", "", "", "", "0"}});
  Fixture byScript;
  ASSERT_TRUE(byScript.Run(script).Completed());

  Fixture byHand;
  const Bitmap source = byHand.session.Source();
  byHand.session.Settings().SelectEntry(ListIndexOfCode(kPencil1));
  ASSERT_TRUE(byHand.session.Run().Completed());
  std::swap(byHand.session.SourcePanel(), byHand.session.ResultPanel());
  ASSERT_TRUE(byHand.session.Run().Completed());
  EXPECT_EQ(byScript.session.Result(), byHand.session.Result());
  EXPECT_EQ(byScript.session.Source(), source);
  EXPECT_EQ(byScript.session.Rand().Seed(), byHand.session.Rand().Seed());
}

TEST(ScriptRun, TextureIsAppliedOnceAtTheEndAndTheChoicesComeBack) {
  Fixture f;
  f.session.Settings().ChooseTextureNumber(3);
  f.session.Settings().ChooseStrength(2);
  const Script script = Steps({{"", "", "", "", "", "", "14"}, {"", "", "", "", "", "", "14"}});
  ASSERT_TRUE(f.Run(script).Completed());
  EXPECT_TRUE(f.session.Settings().Finishing().texture);

  Fixture byHand;
  const Bitmap source = byHand.session.Source();
  byHand.session.Settings().SelectEntry(kFrameOnlyEntry);
  ASSERT_TRUE(byHand.session.Run().Completed());
  ASSERT_TRUE(byHand.session.Run().Completed());
  std::swap(byHand.session.SourcePanel(), byHand.session.ResultPanel());
  byHand.session.Settings().ChooseTextureNumber(3);
  byHand.session.Settings().ChooseStrength(2);
  ASSERT_TRUE(byHand.session.Run().Completed());
  EXPECT_EQ(f.session.Result(), byHand.session.Result());
  EXPECT_NE(f.session.Result(), source);
  EXPECT_EQ(f.session.Source(), source);
}

TEST(ScriptRun, AStopEndsTheScriptAndRestoresTheChoices) {
  Fixture f;
  f.session.Settings().MutableFinishing().addFrame = true;
  f.session.Settings().ChooseTextureNumber(1);
  std::atomic<bool> stop{false};
  StopAtFirstReport sink;
  sink.stop = &stop;
  const JobOutcome outcome = f.Run(Steps({{"", "", "", "", "", "", "0"}, {"", "", "", "", "", "", "112"}}), &stop, &sink);
  EXPECT_TRUE(outcome.Stopped());
  EXPECT_TRUE(f.session.Settings().Finishing().addFrame);
  EXPECT_TRUE(f.session.Settings().Finishing().texture);

  // A stop between steps, and a runner dropped halfway, restore them too.
  Fixture g;
  g.session.Settings().MutableFinishing().addText = true;
  {
    ScriptRunner runner(g.session, Steps({{"", "", "", "", "", "", "0"}}), g.stored, "x");
    EXPECT_FALSE(g.session.Settings().Finishing().addText);
    EXPECT_EQ(runner.Advance(), ScriptRunner::Next::RunEffect);
    EXPECT_EQ(runner.CurrentRow(), 1);
  }
  EXPECT_TRUE(g.session.Settings().Finishing().addText);
  ScriptRunner runner(g.session, Steps({{"", "", "", "", "", "", "0"}}), g.stored, "x");
  runner.Stop();
  EXPECT_TRUE(runner.Ended());
  EXPECT_EQ(runner.Advance(), ScriptRunner::Next::Finished);
  EXPECT_TRUE(g.session.Settings().Finishing().addText);
}

TEST(ScriptRun, PictureOperations) {
  Fixture f(9, 5);
  const Bitmap source = f.session.Source();
  Bitmap inverted = source;
  InvertColours(inverted);
  Bitmap small(4, 3);
  StretchBilinear(source, small);

  // Store, change, retrieve: the stored picture outlives the run.
  ASSERT_TRUE(f.Run(Steps({{"", "", "", "", "", "", "105"},
                            {"", "", "", "", "", "", "112"},
                            {"", "", "", "", "", "", "106"},
                            {"", "", "", "", "", "", "107"},
                            {"", "4", "3", "", "", "", "109"}}))
                  .Completed());
  ASSERT_TRUE(f.stored.has_value());
  EXPECT_EQ(*f.stored, inverted);
  Bitmap smallInverted(4, 3);
  StretchBilinear(inverted, smallInverted);
  EXPECT_EQ(f.session.Result(), smallInverted);
  EXPECT_EQ(f.session.Source(), source);

  // Rotations turn both panels and are recorded, so undo steps back through them.
  Fixture r(9, 5);
  const int countBefore = r.session.GetHistory().Count();
  ASSERT_TRUE(r.Run(Steps({{"", "", "", "", "", "", "104"}})).Completed());
  EXPECT_EQ(r.session.Result().Width(), 5);
  EXPECT_EQ(r.session.Result().Height(), 9);
  EXPECT_EQ(r.session.Result().Pixel(4, 0), source.Pixel(0, 0));  // top-left goes to top-right
  EXPECT_EQ(r.session.GetHistory().Count(), countBefore + 3);  // both turned, then the source back
  auto undone = r.session.GetHistory().Undo();
  ASSERT_TRUE(undone.has_value());
  EXPECT_TRUE(r.session.GetHistory().UndoEnabled());

  // Swap, restore, automatic contrast on the left.
  Fixture s(9, 5);
  s.session.SetResult(inverted, "x");
  ASSERT_TRUE(s.Run(Steps({{"", "", "", "", "", "", "110"},
                            {"", "", "", "", "", "", "106"},
                            {"", "", "", "", "", "", "111"},
                            {"", "", "", "", "", "", "102"},
                            {"", "", "", "", "", "", "105"}}))
                  .Completed());
  EXPECT_EQ(s.session.Result(), source);
  Bitmap contrasted = source;
  AutomaticContrastStep(contrasted);
  EXPECT_EQ(*s.stored, contrasted);
  EXPECT_EQ(s.session.Source(), source);
}

TEST(ScriptRun, OneByNPicturesAndLabels) {
  Fixture f(1, 7);
  ASSERT_TRUE(f.Run(Steps({{"", "", "", "", "", "", "0"}, {"", "", "", "", "", "", "103"},
                            {"", "3", "2", "", "", "", "101"}, {"", "", "", "", "", "", "102"}}))
                  .Completed());
  EXPECT_EQ(f.session.Result().Width(), 7);
  EXPECT_EQ(OperationLabel(kScriptInvert), "Invert colors");
  EXPECT_EQ(OperationLabel(kScriptRotateLeft), "Rotate left");
  EXPECT_EQ(OperationLabel(99), "");
}
