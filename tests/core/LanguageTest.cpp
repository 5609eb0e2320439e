#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "effects/Catalogue.h"
#include "i18n/Language.h"
#include "io/TextLines.h"
#include "resources/Embedded.h"

using namespace brumeleaf;

namespace {

std::filesystem::path WriteTemp(const std::string& name, const std::string& content) {
  const auto path =
      std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "_" + name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

}  // namespace

TEST(Language, EnglishTableHasItsLinesAndKeptTexts) {
  const Language& en = Language::English();
  EXPECT_EQ(en.LineCount(), kEnglishLineCount);
  EXPECT_EQ(en.Text(0), "File");
  EXPECT_EQ(en.Text(2), "Save the drawing as\xE2\x80\xA6");
  EXPECT_EQ(en.Text(49), "Color blending ");  // trailing space kept
  EXPECT_EQ(en.Text(114), "Brumeleaf parameter files (*.bfp)|*.bfp");
  EXPECT_EQ(en.Text(168), "Do you really wish to stop the process?");
  EXPECT_EQ(en.Text(238), "Slovenian translation:");
  for (int line : {25, 40, 182}) EXPECT_FALSE(en.Text(line).empty()) << line;
  EXPECT_EQ(en.Text(239), "");
  EXPECT_EQ(en.Text(-1), "");

  KeptMessages kept(en);
  EXPECT_EQ(kept.Text(TextId::OverwriteQuestion), "A file with this name already exists. Do you wish to overwrite it?");
  EXPECT_EQ(kept.Text(TextId::StopQuestion), en.Text(168));
  EXPECT_THROW(kept.Text(TextId::FileMenu), LanguageError);
}

TEST(Language, DerivedEntryNamesFollowTheirBaseLines) {
  const Language& en = Language::English();
  EXPECT_EQ(EntryName(en, 5), "Pencil sketch 4");
  EXPECT_EQ(EntryName(en, 6), "Pencil sketch 5");
  EXPECT_EQ(EntryName(en, 9), "Pen & Ink sketch 2");
  EXPECT_EQ(EntryName(en, 19), "Painting 9 (watercolor)");
  EXPECT_EQ(EntryName(en, 20), "Painting 10 (brushstrokes)");
  EXPECT_EQ(EntryName(en, 27), "Emergence 2");
  EXPECT_EQ(EntryName(en, 35), "Frame, texture and text only" + std::string(53, ' '));

  // A translated base line: the last character removed is a whole UTF-8 character.
  std::string table;
  for (int i = 0; i < 82; ++i) table += "x\n";
  table += "Карандаш Ж\n";
  const Language ru = Language::FromText(table, "Russian");
  EXPECT_EQ(EntryName(ru, 5), "Карандаш 4");
  EXPECT_EQ(DropLastCharacter("ab\xE2\x80\xA6"), "ab");
  EXPECT_EQ(DropLastCharacter(""), "");
}

TEST(Language, ShortTablesFallBackLineByLineAndBadInputIsRefused) {
  const Language partial = Language::FromText("Fichier\r\nOuvrir\r\n", "French");
  EXPECT_EQ(partial.Text(0), "Fichier");
  EXPECT_EQ(partial.Text(1), "Ouvrir");
  EXPECT_EQ(partial.Text(2), Language::English().Text(2));
  EXPECT_EQ(partial.LineCount(), kEnglishLineCount);

  // Every offered language loads (English where its table is not shipped) under its own name;
  // an unknown name is an error.
  for (std::string_view name : Language::Names()) {
    const Language l = Language::Load(name);
    EXPECT_EQ(l.Name(), name);
    EXPECT_GE(l.LineCount(), kEnglishLineCount);
    EXPECT_FALSE(l.Text(168).empty());
  }
  EXPECT_THROW(Language::Load("Klingon"), LanguageError);

  const auto good = WriteTemp("brumeleaf_lang_ok.txt", "\xEF\xBB\xBF" "Datei\nÖffnen\n");
  const Language fromFile = Language::FromFile(good, "German");
  EXPECT_EQ(fromFile.Text(0), "Datei");
  EXPECT_EQ(fromFile.Text(1), "Öffnen");
  const auto bad = WriteTemp("brumeleaf_lang_bad.txt", "Fichier\n\xE9t\xE9\n");
  EXPECT_THROW(Language::FromFile(bad, "French"), LanguageError);
  EXPECT_THROW(Language::FromFile("/nonexistent/brumeleaf.txt", "French"), LanguageError);
  EXPECT_THROW(Language::FromText("cut \xE2\x80", "x"), LanguageError);
  std::filesystem::remove(good);
  std::filesystem::remove(bad);
}

TEST(Language, LocaleDefaultsAndPerLanguageCaptions) {
  EXPECT_EQ(DefaultLanguageForLocale(3082), "Spanish");
  EXPECT_EQ(DefaultLanguageForLocale(1036), "French");
  EXPECT_EQ(DefaultLanguageForLocale(9217), "Arab");
  EXPECT_EQ(DefaultLanguageForLocale(1042), "Hangul");
  EXPECT_EQ(DefaultLanguageForLocale(1060), "English");  // Slovenian is never a default
  EXPECT_EQ(Language::Names().size(), 24u);
  EXPECT_EQ(Language::FileNameOf("English"), "en.txt");

  EXPECT_TRUE(Language::Load("Arab").RightToLeft());
  EXPECT_FALSE(Language::English().RightToLeft());
  EXPECT_EQ(Language::Load("Japanese").StyleNames()[1], "黒曜石");
  EXPECT_EQ(Language::English().StyleNames()[0], "Charcoal");
  EXPECT_EQ(Language::Load("Hangul").ConfirmCaption(), "확인");
  EXPECT_EQ(Language::English().ConfirmCaption(), "OK");
  EXPECT_EQ(Language::English().MenuCaption(1, TextId::EditMenu), "Edit" + std::string(75, ' '));
}

// The names code uses for texts must stay on their lines: a name that drifted by one line would
// show the wrong text everywhere without any other test noticing.
TEST(NamedTexts, NamesStayOnTheirEnglishLinesAndEveryProgramTextExists) {
  const Language& en = Language::English();
  EXPECT_EQ(kNamedTableLines, kEnglishLineCount);
  EXPECT_EQ(en.LineCount(), kEnglishLineCount);
  EXPECT_EQ(en.Text(TextId::FileMenu), "File");
  EXPECT_EQ(en.Text(TextId::StopQuestion), "Do you really wish to stop the process?");
  EXPECT_EQ(en.Text(TextId::ParameterFileFilter), "Brumeleaf parameter files (*.bfp)|*.bfp");
  EXPECT_EQ(en.Text(TextId::Angle), "Angle");
  EXPECT_EQ(en.Text(TextId::SlovenianTranslator), "Slovenian translation:");
  for (std::size_t i = 0; i < kProgramTextKeys.size(); ++i) {
    const auto id = static_cast<TextId>(kFirstProgramText + static_cast<int>(i));
    EXPECT_FALSE(en.Text(id).empty()) << kProgramTextKeys[i];
  }
  EXPECT_EQ(en.Text(TextId::SaveInProgress), "Save in progress");
}

TEST(NamedTexts, ProgramTextsFallBackToEnglishKeyByKey) {
  Language partial = Language::FromText("Fichier\n", "French");
  EXPECT_EQ(partial.Text(TextId::FinishingGroup), "Finishing");
  partial.ReadProgramTexts("FinishingGroup=Finition\nNoSuchKey=x\nno equals sign\n");
  EXPECT_EQ(partial.Text(TextId::FinishingGroup), "Finition");
  EXPECT_EQ(partial.Text(TextId::CollapseWindow), "Collapse the window");
  EXPECT_EQ(partial.Text(TextId::FileMenu), "Fichier");
  EXPECT_THROW(partial.ReadProgramTexts("FinishingGroup=\xFF\n"), LanguageError);
}

// Every table the program ships: a line short would shift every later text (the stop question
// could ask another question), and the derived effect names need their digits in place.
TEST(ShippedTables, EveryTableHasItsLinesItsDigitsAndItsFilter) {
  int shipped = 0;
  for (std::string_view name : Language::Names()) {
    const auto data = EmbeddedFile(Language::FileNameOf(name));
    if (!data) continue;
    ++shipped;
    SCOPED_TRACE(std::string(name));
    const std::vector<std::string> lines = SplitTextLinesCopy(*data);
    ASSERT_EQ(static_cast<int>(lines.size()), kEnglishLineCount);
    const Language table = Language::Load(name);  // refuses text that is not UTF-8
    for (int i = 0; i < kEnglishLineCount; ++i) {
      for (unsigned char c : lines[static_cast<std::size_t>(i)]) EXPECT_GE(c, 0x20) << "line " << i;
      if (!Language::English().Text(i).empty()) EXPECT_FALSE(table.Text(i).empty()) << "line " << i;
    }
    auto count = [](const std::string& text, char digit) { return std::count(text.begin(), text.end(), digit); };
    EXPECT_EQ(table.Text(TextId::PencilSketch1).back(), '1');
    EXPECT_EQ(table.Text(TextId::PenAndInkSketch1).back(), '1');
    EXPECT_EQ(count(table.Text(TextId::Painting1), '1'), 1);
    EXPECT_EQ(count(table.Text(TextId::Painting7), '7'), 1);
    EXPECT_NE(table.Text(TextId::ParameterFileFilter).find("*.bfp"), std::string::npos);
  }
  EXPECT_GE(shipped, 1);
}
