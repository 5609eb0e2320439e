#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "settings/ParameterFile.h"
#include "app/ParameterModel.h"

using namespace brumeleaf;
namespace fs = std::filesystem;

namespace {

class ParameterFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("brumeleaf_bfp_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return dir_ / name;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // A well-formed file with LF ends whose values are all `value` and entry `entry`.
  static std::string Uniform(int value, int entry) {
    std::string text;
    for (int i = 0; i < 29; ++i) {
      text.append("[").append(std::to_string(i)).append("]\n");
      for (int k = 0; k < 5; ++k) text.append(std::to_string(value)).append("\n");
    }
    return text.append(std::to_string(entry)).append("\n");
  }

  fs::path dir_;
};

}  // namespace

TEST_F(ParameterFileTest, NamesGetTheExtensionUnlessItIsExactlyThere) {
  EXPECT_EQ(ParameterFilePath(dir_ / "Params"), dir_ / "Params.bfp");
  EXPECT_EQ(ParameterFilePath(dir_ / "Params.bfp"), dir_ / "Params.bfp");
  EXPECT_EQ(ParameterFilePath(dir_ / "PARAMS.BFP"), dir_ / "PARAMS.BFP.bfp");

  ParameterModel model;
  EXPECT_EQ(SaveParameterFile(dir_ / "Params", model.Settings()), dir_ / "Params.bfp");
  EXPECT_TRUE(fs::exists(dir_ / "Params.bfp"));
  SaveParameterFile(dir_ / "PARAMS.BFP", model.Settings());
  EXPECT_TRUE(fs::exists(dir_ / "PARAMS.BFP.bfp"));
  // Nothing but the two files: the temporary names are gone.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(ParameterFileTest, WrittenLayoutIs175CrLfLines) {
  ParameterModel model;
  model.ClickEntry(14);
  const std::string text = Read(SaveParameterFile(dir_ / "p", model.Settings()));
  std::size_t crlf = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) crlf += text.compare(i, 2, "\r\n") == 0;
  EXPECT_EQ(crlf, 175u);
  EXPECT_EQ(text.rfind("[0]\r\n25\r\n100\r\n80\r\n160\r\n25\r\n[1]\r\n", 0), 0u);
  EXPECT_NE(text.find("[28]\r\n50\r\n50\r\n50\r\n130\r\n130\r\n14\r\n"), std::string::npos);
  EXPECT_EQ(text.find("[29]"), std::string::npos);
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

TEST_F(ParameterFileTest, RoundTripRestoresCodes0To28AndTheEntryButNotAbstract) {
  ParameterModel model;
  model.ClickEntry(12);
  model.ChangeSlider(1, 77);
  model.ClickEntry(29);
  model.ChangeSlider(1, 33);
  model.ClickEntry(24);
  const fs::path path = SaveParameterFile(dir_ / "round", model.Settings());

  model.ResetAll();
  model.ClickEntry(29);
  model.ChangeSlider(2, 44);
  model.ClickEntry(1);
  LoadParameterFile(path, model);
  EXPECT_EQ(model.ListIndex(), 24);
  EXPECT_EQ(model.CurrentEffect(), 17);
  EXPECT_EQ(model.EntryText(), "Cartoon 1");
  EXPECT_EQ(model.EffectValues()[5][0], 77);
  // Abstract keeps what it had between save and load.
  EXPECT_EQ(model.EffectValues()[29][0], 150);
  EXPECT_EQ(model.EffectValues()[29][1], 44);
}

TEST_F(ParameterFileTest, ShortFilesRepeatTheirLastLineAndOutOfRangeValuesClampWhenShown) {
  std::string text;
  for (int i = 0; i <= 10; ++i) {
    text += "[" + std::to_string(i) + "]\r\n";
    for (int k = 0; k < 5; ++k) text += std::to_string(i == 10 && k == 4 ? 20 : 300) + "\r\n";
  }
  const ParameterSet set = ParseParameterFile(text);
  EXPECT_EQ(set.values[10][4], 20);
  for (int code = 11; code < 29; ++code)
    for (int v : set.values[static_cast<std::size_t>(code)]) EXPECT_EQ(v, 20);
  EXPECT_EQ(set.listIndex, 20);

  // A file with nothing in it reads as zeros and selects entry 0 (a header: frame only).
  const ParameterSet empty = ParseParameterFile("");
  EXPECT_EQ(empty.values[3][2], 0);
  EXPECT_EQ(empty.listIndex, 0);

  ParameterModel model;
  ApplyParameters(model, set);
  EXPECT_EQ(model.EffectValues()[5][1], 300);  // stored as read
  model.ClickEntry(12);
  EXPECT_EQ(model.ValueText(2), "255");
  EXPECT_EQ(model.EffectValues()[5][1], 255);
}

TEST_F(ParameterFileTest, BadFilesAreRejectedAndChangeNothing) {
  ParameterModel model;
  model.ClickEntry(11);
  model.ChangeSlider(1, 61);
  const EffectTable before = model.EffectValues();

  std::string notInteger = Uniform(7, 3);
  notInteger.replace(notInteger.find("[20]\n7\n") + 5, 1, "x7");
  EXPECT_THROW(LoadParameterFile(Write("a.bfp", notInteger), model), ParameterFileError);
  EXPECT_THROW(LoadParameterFile(Write("b.bfp", Uniform(7, 36)), model), ParameterFileError);
  EXPECT_THROW(LoadParameterFile(Write("c.bfp", Uniform(7, -1)), model), ParameterFileError);
  std::string fraction = Uniform(7, 3);
  fraction.replace(fraction.find("[0]\n7\n") + 4, 1, "7.5");
  EXPECT_THROW(LoadParameterFile(Write("d.bfp", fraction), model), ParameterFileError);
  EXPECT_NO_THROW(ParseParameterFile(Uniform(7, 3) + "junk\n"));  // after line 175: not read
  EXPECT_THROW(ParseParameterFile("[0]\n99999999999\n"), ParameterFileError);
  EXPECT_THROW(LoadParameterFile(dir_ / "missing.bfp", model), ParameterFileError);
  EXPECT_EQ(model.EffectValues(), before);
  EXPECT_EQ(model.ListIndex(), 11);

  EXPECT_THROW(SaveParameterFile(dir_ / "no_such_folder" / "p", model.Settings()), ParameterFileError);
}

TEST(ProposedSaveName, FollowsTheOptionAndThePictureName) {
  const std::array<int, 5> defaults{25, 100, 80, 160, 25};
  EXPECT_EQ(ProposedSaveName("beach.jpg", true, "Pencil sketch 1", defaults),
            "Brumeleaf_beach_Pencil sketch 1_25_100_80_160_25.jpg");
  EXPECT_EQ(ProposedSaveName("beach.jpg", false, "Pencil sketch 1", defaults), "beach_Brumeleaf.jpg");
  EXPECT_EQ(ProposedSaveName("Brumeleaf image", true, "x", defaults), "Brumeleaf image.jpg");
  const std::string frameOnly = "Frame, texture and text only" + std::string(53, ' ');
  EXPECT_EQ(ProposedSaveName("a.png", true, frameOnly, {1, 2, 3, 4, 5}),
            "Brumeleaf_a_" + frameOnly + "_1_2_3_4_5.jpg");
  EXPECT_EQ(ProposedSaveName("ab", false, "", defaults), "_Brumeleaf.jpg");
  EXPECT_EQ(ProposedSaveName("p.jpg", true, "a/b", defaults).find('/'), std::string::npos);
}

TEST_F(ParameterFileTest, ErrorsNameTheOffendingLineAndShowItSafely) {
  const auto messageOf = [](const std::string& text) {
    try {
      ParseParameterFile(text);
    } catch (const ParameterFileError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  // Line 3 is the second value of code 0.
  std::string text = Uniform(7, 3);
  text.replace(text.find("[0]\n7\n7\n") + 6, 1, "q");
  EXPECT_NE(messageOf(text).find("Line 3 of"), std::string::npos) << messageOf(text);
  // The list index is line 175.
  EXPECT_NE(messageOf(Uniform(7, 3).substr(0, Uniform(7, 3).rfind("3\n")) + "z\n").find("Line 175 "),
            std::string::npos);
  // A short file ending in a block header repeats that header: the message names the header's
  // own line, not one past the end of the file.
  EXPECT_NE(messageOf("[0]\n1\n2\n[1]\n").find("Line 4 of"), std::string::npos);

  // Escape sequences, a NUL and bytes above ASCII never reach the terminal as they are.
  const std::string hostile = std::string("\x1b]0;owned\x07\x1b[2J", 14) + std::string(1, '\0') + "tail\xff";
  const std::string message = messageOf("[0]\n" + hostile + "\n");
  for (const char c : message) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE(byte >= 0x20 && byte < 0x7F) << "byte " << int(byte) << " in " << message;
  }
  EXPECT_NE(message.find("\\x1B]0;owned\\x07\\x1B[2J\\x00tail\\xFF"), std::string::npos) << message;
  EXPECT_NE(message.find("is not an integer"), std::string::npos);
  // A long value is cut.
  const std::string longLine = messageOf("[0]\n" + std::string(5000, 'x') + "\n");
  EXPECT_LT(longLine.size(), 200u);
  EXPECT_NE(longLine.find("xxx...\""), std::string::npos);
}

TEST_F(ParameterFileTest, UnreadableFilesAreNamedWithTheRealCause) {
  const auto messageOf = [](const fs::path& path) {
    ParameterModel model;
    try {
      LoadParameterFile(path, model);
    } catch (const ParameterFileError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  const fs::path missing = dir_ / "missing.bfp";
  std::string m = messageOf(missing);
  EXPECT_NE(m.find(missing.string()), std::string::npos) << m;
  EXPECT_NE(m.find("does not exist"), std::string::npos) << m;

  fs::create_directories(dir_ / "folder.bfp");
  m = messageOf(dir_ / "folder.bfp");
  EXPECT_NE(m.find((dir_ / "folder.bfp").string()), std::string::npos) << m;
  EXPECT_NE(m.find("folder"), std::string::npos) << m;
  EXPECT_EQ(m.find("does not exist"), std::string::npos) << m;

  m = messageOf("/dev/null");
  EXPECT_NE(m.find("/dev/null"), std::string::npos) << m;
  EXPECT_NE(m.find("not a regular file"), std::string::npos) << m;

  // A file far larger than any parameter file is refused by its size, with a message.
  const fs::path huge = Write("huge.bfp", Uniform(7, 3) + std::string(300 << 10, '\n'));
  m = messageOf(huge);
  EXPECT_NE(m.find("huge.bfp"), std::string::npos) << m;
  EXPECT_NE(m.find("larger than"), std::string::npos) << m;
}
