#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
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

// The ASCII digits of a text in order: every translation carries the same numbers as the English
// line (effect numbers, amounts, the zoom), so a line that slipped to another position shows up.
std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (c >= '0' && c <= '9') digits += c;
  return digits;
}

// A control character anywhere in the text: C0 (other than the line break the split removed),
// DEL, or a C1 control encoded as C2 80..C2 9F.
bool HasControlCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return true;
  }
  return false;
}

// Arabic-Indic and extended Arabic-Indic digits (U+0660..0669, U+06F0..06F9): the derived effect
// names replace Western digits only.
bool HasEasternArabicDigit(std::string_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const auto a = static_cast<unsigned char>(text[i]);
    const auto b = static_cast<unsigned char>(text[i + 1]);
    if ((a == 0xD9 && b >= 0xA0 && b <= 0xA9) || (a == 0xDB && b >= 0xB0 && b <= 0xB9)) return true;
  }
  return false;
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
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

// Every shipped table is checked against the English one line by line: a table a line short would
// shift every later text, so the stop question could ask something else entirely.
TEST(LanguageTables, EveryShippedTableFollowsTheEnglishLayout) {
  const Language& en = Language::English();
  // Lines that may read exactly as in English: the zoom captions and the address stay as they
  // are, and a few words are spelt the same in several languages (Texture, Script, Contrast, ...).
  const std::set<int> mayEqualEnglish{0,   22,  24,  30,  31,  32,  40,  61,  77,  99,  100, 127,
                                      129, 130, 140, 141, 160, 161, 190, 208, 226, 228, 231, 237};
  int shipped = 0;
  for (std::string_view name : Language::Names()) {
    SCOPED_TRACE(std::string(name));
    const auto data = EmbeddedFile(Language::FileNameOf(name));
    ASSERT_TRUE(data.has_value()) << "no table shipped";
    ++shipped;
    EXPECT_EQ(data->find('\r'), std::string_view::npos) << "line ends differ from the English table";
    EXPECT_TRUE(!data->empty() && data->back() == '\n');
    EXPECT_NE(data->substr(0, 3), "\xEF\xBB\xBF");

    const std::vector<std::string_view> raw = SplitTextLines(*data);
    ASSERT_EQ(static_cast<int>(raw.size()), kEnglishLineCount);
    Language table = Language::English();
    ASSERT_NO_THROW(table = Language::FromText(*data, std::string(name)));  // refuses bad UTF-8

    int sameAsEnglish = 0;
    for (int i = 0; i < kEnglishLineCount; ++i) {
      const std::string& text = table.Text(i);
      const std::string& english = en.Text(i);
      EXPECT_FALSE(HasControlCharacter(text)) << "line " << i;
      EXPECT_FALSE(HasEasternArabicDigit(text)) << "line " << i;
      if (!IsBlank(english)) {
        EXPECT_FALSE(IsBlank(text)) << "line " << i << " is empty";
      }
      EXPECT_EQ(DigitsOf(text), DigitsOf(english)) << "line " << i << ": " << text;
      // The padding English carries at the end of a caption is kept, and nothing more.
      EXPECT_EQ(!text.empty() && text.back() == ' ', !english.empty() && english.back() == ' ')
          << "line " << i << ": '" << text << "'";
      EXPECT_TRUE(text.empty() || text.front() != ' ') << "line " << i;
      if (name != "English" && text == english) {
        ++sameAsEnglish;
        EXPECT_TRUE(mayEqualEnglish.count(i)) << "line " << i << " is still English: " << text;
      }
    }
    EXPECT_LE(sameAsEnglish, 16);
    EXPECT_EQ(table.Text(31), "zoom 100%");
    EXPECT_EQ(table.Text(40), en.Text(40));
    for (int line : {23, 25, 181, 182})
      EXPECT_NE(table.Text(line).find("Brumeleaf"), std::string::npos) << "line " << line;
    EXPECT_NE(table.Text(18).find("(ESC)"), std::string::npos);

    // The derived effect names follow the translated base lines.
    ASSERT_FALSE(table.Text(82).empty());
    EXPECT_EQ(table.Text(82).back(), '1');
    EXPECT_EQ(table.Text(87).back(), '1');
    EXPECT_EQ(std::count(table.Text(89).begin(), table.Text(89).end(), '1'), 1);
    EXPECT_EQ(std::count(table.Text(95).begin(), table.Text(95).end(), '7'), 1);
    EXPECT_EQ(DigitsOf(EntryName(table, 5)), "4");
    EXPECT_EQ(DigitsOf(EntryName(table, 6)), "5");
    EXPECT_EQ(DigitsOf(EntryName(table, 9)), "2");
    EXPECT_EQ(DigitsOf(EntryName(table, 19)), "9");
    EXPECT_EQ(DigitsOf(EntryName(table, 20)), "10");
    EXPECT_EQ(DigitsOf(EntryName(table, 27)), "2");

    // The parameter file filter: a description naming *.bfp, then the pattern itself.
    const std::string& filter = table.Text(114);
    const std::size_t bar = filter.find('|');
    ASSERT_NE(bar, std::string::npos) << filter;
    EXPECT_EQ(filter.find('|', bar + 1), std::string::npos) << filter;
    EXPECT_EQ(filter.substr(bar), "|*.bfp");
    EXPECT_GT(bar, 8u);
    EXPECT_EQ(filter.substr(bar - 8, 8), " (*.bfp)");
  }
  EXPECT_EQ(shipped, 24);
}
