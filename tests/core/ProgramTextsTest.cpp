#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "i18n/Language.h"
#include "io/TextLines.h"
#include "resources/Embedded.h"

using namespace brumeleaf;

namespace {

std::string ExtraFileOf(std::string_view name) {
  const std::string table = Language::FileNameOf(name);
  return table.substr(0, table.size() - 4) + ".extra";
}

std::map<std::string, std::string> ReadKeyed(std::string_view text) {
  std::map<std::string, std::string> out;
  for (std::string_view line : SplitTextLines(text)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    out.emplace(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
  }
  return out;
}

// The text after the one "&" of a command, i.e. its access key, folded to lower case for ASCII.
std::string AccessKey(const std::string& text) {
  const std::size_t amp = text.find('&');
  if (amp == std::string::npos || amp + 1 >= text.size()) return {};
  std::size_t end = amp + 2;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  std::string key = text.substr(amp + 1, end - amp - 1);
  if (key.size() == 1) key[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(key[0])));
  return key;
}

// The part of a file-dialog filter the dialog matches against, "(*.png *.PNG)".
std::string Patterns(const std::string& filter) {
  const std::size_t open = filter.rfind('(');
  return open == std::string::npos ? std::string() : filter.substr(open);
}

}  // namespace

// The keyed program texts of every language: all keys present once, none unknown, nothing empty;
// the filter patterns and placeholders as in English, and usable access keys in the pop-up menus.
TEST(ProgramTexts, EveryLanguageHasEveryKeyedTextInAUsableForm) {
  const auto englishData = EmbeddedFile("en.extra");
  ASSERT_TRUE(englishData.has_value());
  const auto english = ReadKeyed(*englishData);
  ASSERT_EQ(english.size(), kProgramTextKeys.size());
  const std::vector<std::vector<std::string>> popups{
      {"OpenCommand", "PasteCommand"}, {"SaveCommand", "CopyCommand", "SwapCommand"}};
  const std::vector<std::string> filters{"PictureFilesFilter", "TransparentPngFilter", "JpegFilesFilter",
                                         "PngFilesFilter", "BmpFilesFilter"};

  for (std::string_view name : Language::Names()) {
    SCOPED_TRACE(std::string(name));
    const auto data = EmbeddedFile(ExtraFileOf(name));
    ASSERT_TRUE(data.has_value()) << "no keyed texts shipped";
    EXPECT_EQ(SplitTextLines(*data).size(), kProgramTextKeys.size()) << "a key is doubled or a line is stray";
    const auto texts = ReadKeyed(*data);
    Language language = Language::English();
    ASSERT_NO_THROW(language = Language::Load(name));

    int sameAsEnglish = 0;
    for (std::size_t i = 0; i < kProgramTextKeys.size(); ++i) {
      const std::string key(kProgramTextKeys[i]);
      SCOPED_TRACE(key);
      const auto found = texts.find(key);
      ASSERT_NE(found, texts.end()) << "missing";
      const std::string& text = found->second;
      ASSERT_FALSE(text.empty());
      EXPECT_TRUE(std::none_of(text.begin(), text.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x20; }));
      EXPECT_NE(text.front(), ' ');
      EXPECT_NE(text.back(), ' ');
      EXPECT_EQ(text.find("%1") != std::string::npos, english.at(key).find("%1") != std::string::npos);
      EXPECT_EQ(std::count(text.begin(), text.end(), '&'), std::count(english.at(key).begin(), english.at(key).end(), '&'));
      // The language really uses its own file rather than falling back.
      const auto id = static_cast<TextId>(kFirstProgramText + static_cast<int>(i));
      EXPECT_EQ(language.Text(id), text);
      if (text == english.at(key)) ++sameAsEnglish;
    }
    for (const auto& [key, text] : texts)
      EXPECT_NE(std::find(kProgramTextKeys.begin(), kProgramTextKeys.end(), key), kProgramTextKeys.end())
          << "unknown key " << key;
    if (name != "English") {
      EXPECT_LE(sameAsEnglish, 2) << "texts left in English";
    }

    for (const std::string& key : filters) EXPECT_EQ(Patterns(texts.at(key)), Patterns(english.at(key))) << key;
    for (const auto& popup : popups) {
      std::vector<std::string> keys;
      for (const std::string& key : popup) {
        keys.push_back(AccessKey(texts.at(key)));
        EXPECT_FALSE(keys.back().empty() || keys.back() == " ") << key;
      }
      std::sort(keys.begin(), keys.end());
      EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()) << "two commands share an access key";
    }
  }
}

TEST(ProgramTexts, LanguageCodesNameTheirTables) {
  EXPECT_EQ(Language::NameOfCode("fr"), "French");
  EXPECT_EQ(Language::NameOfCode("ko"), "Hangul");
  EXPECT_EQ(Language::NameOfCode("ar"), "Arab");
  EXPECT_EQ(Language::NameOfCode("en"), "English");
  for (std::string_view name : Language::Names()) {
    const std::string file = Language::FileNameOf(name);
    EXPECT_EQ(Language::NameOfCode(file.substr(0, file.size() - 4)), name);
  }
  EXPECT_THROW(Language::NameOfCode("xx"), LanguageError);
  EXPECT_THROW(Language::NameOfCode(""), LanguageError);
  EXPECT_THROW(Language::NameOfCode("en.txt"), LanguageError);
}
