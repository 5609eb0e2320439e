#pragma once
// The user-interface texts of one language. The classic table follows the English order line
// by line; a table that is shorter than the English one takes its missing lines from the
// English table, so a half-finished translation never shows an empty menu item. Texts the
// classic table has no line for are kept by key in a ".extra" file beside it ("Key=Text"
// lines); a key a language lacks reads in English. Code names every text by its TextId.

#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/TextId.h"

namespace brumeleaf {

// A language that cannot be loaded (unknown name, unreadable or malformed file).
class LanguageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kEnglishLineCount = 239;

// How a text is built from the table. Most texts are one line as it stands; a few effect names
// are derived from another line, so that they follow each translation of that line.
struct TextRule {
  enum class Kind {
    Line,            // the line itself
    DropLastAppend,  // the line less its last character, then `text`
    ReplaceAll,      // the line with every `from` replaced by `text`
    Append,          // the line followed by `text`
  };
  Kind kind = Kind::Line;
  int line = 0;
  std::string_view text{};
  std::string_view from{};
};

class Language {
 public:
  // The 24 language names offered in the language menu, in menu order.
  static const std::array<std::string_view, 24>& Names();
  // The embedded data file holding a language's table ("en.txt" for English).
  static std::string FileNameOf(std::string_view languageName);
  // The language whose table file is "<code>.txt" ("fr" -> "French", "ko" -> "Hangul"); a code
  // without a table is a LanguageError.
  static std::string_view NameOfCode(std::string_view code);

  // The built-in English table.
  static const Language& English();
  // The table of a language by name. A language whose table is not shipped shows English;
  // an unknown name is a LanguageError.
  static Language Load(std::string_view languageName);
  // A table read from a UTF-8 text file, one line per text (LF or CR LF).
  static Language FromFile(const std::filesystem::path& path, std::string name);
  // A table from UTF-8 text already in memory.
  static Language FromText(std::string_view text, std::string name);

  const std::string& Name() const { return name_; }
  int LineCount() const { return static_cast<int>(lines_.size()); }
  // The text of a line; a line the table does not have reads as empty.
  const std::string& Text(int line) const;
  // A text by name: a table line, or a program text of the .extra file.
  const std::string& Text(TextId id) const;
  // Reads keyed program texts ("Key=Text" lines, UTF-8) over the ones this language has;
  // unknown keys and lines without "=" are ignored.
  void ReadProgramTexts(std::string_view text);
  std::string Build(const TextRule& rule) const;

  // Arab reads right to left; every other language left to right.
  bool RightToLeft() const { return name_ == "Arab"; }
  // Captions of the three window-style menu entries (Charcoal, Obsidian, Slate).
  std::array<std::string, 3> StyleNames() const;
  // Caption of the confirmation buttons of the secondary windows.
  std::string ConfirmCaption() const;
  // Top-level menu caption `index` (0..3) padded with the spaces that keep the menu bar wide.
  std::string MenuCaption(int index, TextId text) const;

 private:
  std::string name_;
  std::vector<std::string> lines_;
  std::vector<std::string> programTexts_;  // by position in kProgramTextKeys
};

// The message texts copied out of the table when a language is applied, because message boxes
// use them later (the stop question, the overwrite question, ...).
class KeptMessages {
 public:
  static constexpr std::array<TextId, 8> kTexts{
      TextId::OnlineHelpQuestion, TextId::RealisticFrame, TextId::ColoredFrame,
      TextId::OverwriteQuestion,  TextId::CropQuestion,   TextId::StopQuestion,
      TextId::UpToDate,           TextId::NewVersionQuestion};
  KeptMessages() : KeptMessages(Language::English()) {}
  explicit KeptMessages(const Language& language);
  // The kept text of one of kTexts; any other text is a LanguageError.
  const std::string& Text(TextId id) const;

 private:
  std::array<std::string, kTexts.size()> texts_;
};

// The language chosen when the settings name none, from the system's locale identifier.
std::string_view DefaultLanguageForLocale(int localeId);

// Removes the last UTF-8 encoded character (not just its last byte).
std::string DropLastCharacter(std::string_view text);

}  // namespace brumeleaf
