#pragma once
// Command-line options, declared once: name, value, range, default and help line. Every
// command lists the declarations it accepts; parsing, validation and `COMMAND --help` all come
// from those lists, so an option means the same in apply, render-all and every later command.

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace brumeleaf::cli {

struct Option {
  const char* name;         // "--texture"
  const char* alias;        // "-o", or nullptr
  const char* value;        // the value's placeholder ("N", "FILE"); nullptr for a switch
  bool integer = false;     // the value is a whole number within low..high
  long long low = 0;
  long long high = 0;
  const char* choices = nullptr;  // "light|normal|strong": the value must be one of them
  const char* defaultText = nullptr;
  const char* help = "";
};

using OptionList = std::span<const Option* const>;

// What the arguments said: options by name (the last one given wins) and the other words.
class ParsedOptions {
 public:
  bool Has(const Option& option) const { return values_.count(option.name) != 0; }
  // The text given for `option`; UsageError when it was not given.
  const std::string& Text(const Option& option) const;
  std::optional<std::string> TextIf(const Option& option) const;
  // A whole-number option, already checked against its range.
  long long Integer(const Option& option) const;
  std::optional<long long> IntegerIf(const Option& option) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  friend ParsedOptions ParseOptions(const Arguments& args, OptionList accepted);
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
};

// Reads `args` against the accepted options. UsageError for an unknown option, a missing
// value, a value that is not a whole number or lies outside its range, or a value that is not
// one of its choices.
ParsedOptions ParseOptions(const Arguments& args, OptionList accepted);

// One line per option: name, value, range or choices, default, help.
std::string OptionHelp(OptionList accepted);

// A whole decimal integer, or UsageError naming `what`.
long long ParseInteger(const std::string& text, const std::string& what);

// The shared declarations.
namespace options {
extern const Option kOutput;
extern const Option kEffect;
extern const Option kValues;
extern const Option kParams;
extern const Option kSoften;
extern const Option kTexture;
extern const Option kStrength;
extern const Option kSeed;
extern const Option kSeedFromOne;  // the same --seed, for commands whose default is 1
extern const Option kQuality;
extern const Option kThreads;
extern const Option kCheck;
extern const Option kOutputFolder;
extern const Option kOverwrite;
extern const Option kFrom;
extern const Option kJobs;
extern const Option kShard;
extern const Option kScript;
// Picture frame and caption.
extern const Option kSettings;
extern const Option kFrame;
extern const Option kMargin;
extern const Option kSpacing;
extern const Option kFrameNumber;
extern const Option kTint;
extern const Option kFillColour;
extern const Option kLineColour;
extern const Option kAddFrame;
extern const Option kText;
extern const Option kFont;
extern const Option kFontSize;
extern const Option kFontStyle;
extern const Option kTextColour;
extern const Option kTextPosition;
extern const Option kTextAt;
extern const Option kNoShadow;
extern const Option kAddText;
}  // namespace options

}  // namespace brumeleaf::cli
