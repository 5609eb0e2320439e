#include "i18n/Language.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "io/TextLines.h"
#include "resources/Embedded.h"

namespace brumeleaf {
namespace {

struct LanguageFile {
  std::string_view name;
  std::string_view file;
};

constexpr std::array<LanguageFile, 24> kLanguageFiles{{
    {"English", "en.txt"},   {"French", "fr.txt"},    {"German", "de.txt"},
    {"Italian", "it.txt"},   {"Russian", "ru.txt"},   {"Polish", "pl.txt"},
    {"Czech", "cs.txt"},     {"Finnish", "fi.txt"},   {"Dutch", "nl.txt"},
    {"Romanian", "ro.txt"},  {"Arab", "ar.txt"},      {"Spanish", "es.txt"},
    {"Afrikaans", "af.txt"}, {"Swedish", "sv.txt"},   {"Greek", "el.txt"},
    {"Latvian", "lv.txt"},   {"Hungarian", "hu.txt"}, {"Turkish", "tr.txt"},
    {"Chinese", "zh.txt"},   {"Serbian", "sr.txt"},   {"Portuguese", "pt.txt"},
    {"Japanese", "ja.txt"},  {"Hangul", "ko.txt"},    {"Slovenian", "sl.txt"},
}};

// The .extra file that goes with a table file: "fr.txt" -> "fr.extra".
std::string ExtraFileOf(const std::string& tableFile) {
  return tableFile.substr(0, tableFile.rfind('.')) + ".extra";
}

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Checks that `text` is well-formed UTF-8, so that a stray 8-bit file is refused with a
// message instead of showing broken captions everywhere.
bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    int extra = 0;
    if (c < 0x80) extra = 0;
    else if ((c & 0xE0) == 0xC0 && c >= 0xC2) extra = 1;
    else if ((c & 0xF0) == 0xE0) extra = 2;
    else if ((c & 0xF8) == 0xF0 && c <= 0xF4) extra = 3;
    else return false;
    if (i + static_cast<std::size_t>(extra) >= text.size()) return false;  // cut short
    for (int k = 1; k <= extra; ++k)
      if (!IsContinuationByte(static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)])))
        return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

// Tables saved by some editors begin with a byte-order mark; it is not part of line 1.
std::vector<std::string> SplitLines(std::string_view text) {
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return SplitTextLinesCopy(text);
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  std::size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

}  // namespace

const std::array<std::string_view, 24>& Language::Names() {
  static const std::array<std::string_view, 24> names = [] {
    std::array<std::string_view, 24> n{};
    for (std::size_t i = 0; i < kLanguageFiles.size(); ++i) n[i] = kLanguageFiles[i].name;
    return n;
  }();
  return names;
}

std::string Language::FileNameOf(std::string_view languageName) {
  for (const auto& entry : kLanguageFiles)
    if (entry.name == languageName) return std::string(entry.file);
  throw LanguageError("Unknown language: " + std::string(languageName));
}

std::string_view Language::NameOfCode(std::string_view code) {
  for (const auto& entry : kLanguageFiles)
    if (entry.file.size() == code.size() + 4 && entry.file.substr(0, code.size()) == code &&
        entry.file.substr(code.size()) == ".txt")
      return entry.name;
  throw LanguageError("Unknown language code: " + std::string(code));
}

const Language& Language::English() {
  static const Language english = [] {
    auto data = EmbeddedFile("en.txt");
    auto extra = EmbeddedFile("en.extra");
    if (!data || !extra) throw LanguageError("The English language table is missing from this build");
    Language l;
    l.name_ = "English";
    l.lines_ = SplitLines(*data);
    l.programTexts_.resize(kProgramTextKeys.size());
    l.ReadProgramTexts(*extra);
    return l;
  }();
  return english;
}

void Language::ReadProgramTexts(std::string_view text) {
  if (!IsUtf8(text)) throw LanguageError("The program texts are not UTF-8 text");
  for (const std::string& line : SplitLines(text)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string_view key(line.data(), equals);
    const auto found = std::find(kProgramTextKeys.begin(), kProgramTextKeys.end(), key);
    if (found == kProgramTextKeys.end()) continue;
    programTexts_[static_cast<std::size_t>(found - kProgramTextKeys.begin())] = line.substr(equals + 1);
  }
}

const std::string& Language::Text(TextId id) const {
  const int value = static_cast<int>(id);
  if (value < kFirstProgramText) return Text(value);
  const auto index = static_cast<std::size_t>(value - kFirstProgramText);
  static const std::string empty;
  if (index >= programTexts_.size()) return empty;
  return programTexts_[index].empty() && this != &English() ? English().Text(id) : programTexts_[index];
}

Language Language::Load(std::string_view languageName) {
  const std::string file = FileNameOf(languageName);
  auto data = EmbeddedFile(file);
  if (!data) {
    Language l = English();
    l.name_ = std::string(languageName);
    return l;
  }
  Language l = FromText(*data, std::string(languageName));
  if (auto extra = EmbeddedFile(ExtraFileOf(file))) l.ReadProgramTexts(*extra);
  return l;
}

Language Language::FromFile(const std::filesystem::path& path, std::string name) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw LanguageError("Cannot read the language file " + path.string());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw LanguageError("Cannot read the language file " + path.string());
  try {
    return FromText(text, std::move(name));
  } catch (const LanguageError& e) {
    throw LanguageError(path.string() + ": " + e.what());
  }
}

Language Language::FromText(std::string_view text, std::string name) {
  if (!IsUtf8(text)) throw LanguageError("The language table is not UTF-8 text");
  Language l;
  l.name_ = std::move(name);
  l.lines_ = SplitLines(text);
  const Language& english = English();
  // A short table keeps its own lines and takes the rest from English.
  for (int i = l.LineCount(); i < english.LineCount(); ++i) l.lines_.push_back(english.Text(i));
  l.programTexts_ = english.programTexts_;
  return l;
}

const std::string& Language::Text(int line) const {
  static const std::string empty;
  if (line < 0 || line >= LineCount()) return empty;
  return lines_[static_cast<std::size_t>(line)];
}

std::string Language::Build(const TextRule& rule) const {
  const std::string& base = Text(rule.line);
  switch (rule.kind) {
    case TextRule::Kind::Line:
      return base;
    case TextRule::Kind::DropLastAppend:
      return DropLastCharacter(base) + std::string(rule.text);
    case TextRule::Kind::ReplaceAll:
      return ReplaceAll(base, rule.from, rule.text);
    case TextRule::Kind::Append:
      return base + std::string(rule.text);
  }
  return base;
}

std::array<std::string, 3> Language::StyleNames() const {
  if (name_ == "Japanese")
    return {"\xE3\x83\x81\xE3\x83\xA3\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\xAB",  // チャコール
            "\xE9\xBB\x92\xE6\x9B\x9C\xE7\x9F\xB3",                          // 黒曜石
            "\xE3\x82\xB9\xE3\x83\xAC\xE3\x83\xBC\xE3\x83\x88"};             // スレート
  return {"Charcoal", "Obsidian", "Slate"};
}

std::string Language::ConfirmCaption() const {
  return name_ == "Hangul" ? "\xED\x99\x95\xEC\x9D\xB8" : "OK";  // 확인
}

std::string Language::MenuCaption(int index, TextId text) const {
  static constexpr std::array<int, 4> kPadding{50, 75, 50, 30};
  std::string caption = Text(text);
  if (index >= 0 && index < static_cast<int>(kPadding.size()))
    caption.append(static_cast<std::size_t>(kPadding[static_cast<std::size_t>(index)]), ' ');
  return caption;
}

KeptMessages::KeptMessages(const Language& language) {
  for (std::size_t i = 0; i < kTexts.size(); ++i) texts_[i] = language.Text(kTexts[i]);
}

const std::string& KeptMessages::Text(TextId id) const {
  const auto it = std::find(kTexts.begin(), kTexts.end(), id);
  if (it == kTexts.end())
    throw LanguageError("Text " + std::to_string(static_cast<int>(id)) + " is not a kept message");
  return texts_[static_cast<std::size_t>(it - kTexts.begin())];
}

std::string DropLastCharacter(std::string_view text) {
  if (text.empty()) return {};
  std::size_t end = text.size() - 1;
  while (end > 0 && IsContinuationByte(static_cast<unsigned char>(text[end]))) --end;
  return std::string(text.substr(0, end));
}

std::string_view DefaultLanguageForLocale(int localeId) {
  struct LocaleGroup {
    std::string_view language;
    std::vector<int> ids;
  };
  static const std::vector<LocaleGroup> groups{
      {"French", {1036, 2060, 3084, 4108, 5132}},
      {"German", {1031, 3079, 5127, 4103, 2055}},
      {"Italian", {1040, 2064}},
      {"Czech", {1029}},
      {"Polish", {1045}},
      {"Dutch", {1043, 2067}},
      {"Finnish", {1035}},
      {"Russian", {1049, 2073}},
      {"Romanian", {1048, 2072}},
      {"Arab", {1025, 5121, 15361, 3073, 2049, 11265, 13313, 12289, 4097, 6145, 8193, 16385,
                10241, 7169, 14337, 9217}},
      {"Spanish", {3082, 1034, 11274, 16394, 13322, 9226, 5130, 7178, 12298, 17418, 4106,
                   18442, 22538, 2058, 19466, 6154, 15370, 10250, 20490, 21514, 14346, 8202}},
      {"Afrikaans", {1078}},
      {"Swedish", {1053, 2077}},
      {"Greek", {1032}},
      {"Latvian", {1062}},
      {"Hungarian", {1038}},
      {"Turkish", {1055}},
      {"Chinese", {2052, 1028}},
      {"Serbian", {2074, 3098}},
      {"Portuguese", {1046, 2070}},
      {"Japanese", {1041}},
      {"Hangul", {1042}},
  };
  for (const auto& group : groups)
    if (std::find(group.ids.begin(), group.ids.end(), localeId) != group.ids.end())
      return group.language;
  return "English";
}

}  // namespace brumeleaf
