#include "cli/Options.h"

#include <charconv>
#include <cstring>

namespace brumeleaf::cli {

namespace options {
const Option kOutput{"--output", "-o", "FILE", false, 0, 0, nullptr, nullptr,
                     "the picture to write (.jpg, .jpeg, .png or .bmp)"};
const Option kEffect{"--effect", nullptr, "NAME|CODE", false, 0, 0, nullptr, "Pencil sketch 1",
                     "the effect, by its name in the effect list or its code 0-29"};
const Option kValues{"--values", nullptr, "s1,s2,s3,s4,s5", false, 0, 0, nullptr, "the effect's defaults",
                     "slider values; an empty place keeps that slider, out-of-range values are clamped"};
const Option kParams{"--params", nullptr, "FILE.bfp", false, 0, 0, nullptr, nullptr,
                     "slider values and effect of a parameter file (read before --effect and --values)"};
const Option kSoften{"--soften", nullptr, nullptr, false, 0, 0, nullptr, "off", "soften the edges of the result"};
const Option kTexture{"--texture", nullptr, "N", true, 1, 10, nullptr, "none",
                      "print paper texture number N onto the result"};
const Option kStrength{"--strength", nullptr, "LEVEL", false, 0, 0, "light|normal|strong", "light",
                       "strength of the paper texture (turns the texture on)"};
const Option kSeed{"--seed", nullptr, "N", true, 0, 4294967295LL, nullptr, "the clock",
                   "seed of the random generator, for repeatable results"};
const Option kQuality{"--quality", nullptr, "N", true, 1, 100, nullptr, "95", "JPEG quality"};
const Option kCheck{"--check", nullptr, nullptr, false, 0, 0, nullptr, nullptr,
                    "only read the script and list what each row would do"};
const Option kOutputFolder{"--output-dir", "-d", "FOLDER", false, 0, 0, nullptr, nullptr,
                           "the folder the results are written to (created when missing)"};
const Option kOverwrite{"--overwrite", nullptr, nullptr, false, 0, 0, nullptr, "off",
                        "replace results that exist from earlier runs"};
const Option kFrom{"--from", nullptr, "LIST|-", false, 0, 0, nullptr, nullptr,
                   "read more input pictures from LIST (one path a line; - is standard input)"};
const Option kJobs{"--jobs", "-j", "N", true, 1, 64, nullptr, "1", "pictures drawn at the same time"};
const Option kShard{"--shard", nullptr, "K/N", false, 0, 0, nullptr, "1/1",
                    "process only the K-th of N equal shares of the list (for several machines)"};
const Option kScript{"--script", nullptr, "FILE.bfs", false, 0, 0, nullptr, nullptr,
                     "run a script on every picture instead of one effect"};
const Option kSettingsFile{"--settings", nullptr, "FILE.ini", false, 0, 0, nullptr, nullptr,
                           "frame, caption and texture choices of a settings file"};
}  // namespace options

namespace {

const Option* FindOption(OptionList accepted, const std::string& word) {
  for (const Option* option : accepted) {
    if (word == option->name || (option->alias && word == option->alias)) return option;
  }
  return nullptr;
}

bool IsChoice(const char* choices, const std::string& value) {
  const std::string all = choices;
  std::size_t start = 0;
  while (start <= all.size()) {
    const std::size_t bar = all.find('|', start);
    if (all.substr(start, bar == std::string::npos ? std::string::npos : bar - start) == value) return true;
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return false;
}

void Validate(const Option& option, const std::string& value) {
  if (option.integer) {
    const long long v = ParseInteger(value, option.name);
    if (v < option.low || v > option.high) {
      throw UsageError(std::string(option.name) + " must lie within " + std::to_string(option.low) + ".." +
                       std::to_string(option.high));
    }
  }
  if (option.choices && !IsChoice(option.choices, value)) {
    std::string list = option.choices;
    for (char& c : list) c = c == '|' ? ',' : c;
    throw UsageError(std::string(option.name) + " must be one of " + list + ", not \"" + value + "\"");
  }
}

}  // namespace

long long ParseInteger(const std::string& text, const std::string& what) {
  long long value = 0;
  const char* end = text.data() + text.size();
  auto [next, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || next != end) {
    throw UsageError(what + " must be a whole number, not \"" + text + "\"");
  }
  return value;
}

const std::string& ParsedOptions::Text(const Option& option) const {
  const auto found = values_.find(option.name);
  if (found == values_.end()) throw UsageError(std::string(option.name) + " is missing");
  return found->second;
}

std::optional<std::string> ParsedOptions::TextIf(const Option& option) const {
  if (!Has(option)) return std::nullopt;
  return Text(option);
}

long long ParsedOptions::Integer(const Option& option) const { return ParseInteger(Text(option), option.name); }

std::optional<long long> ParsedOptions::IntegerIf(const Option& option) const {
  if (!Has(option)) return std::nullopt;
  return Integer(option);
}

ParsedOptions ParseOptions(const Arguments& args, OptionList accepted) {
  ParsedOptions parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    const Option* option = FindOption(accepted, word);
    if (!option) {
      if (word.size() > 1 && word[0] == '-') throw UsageError("unknown option " + word);
      parsed.positional_.push_back(word);
      continue;
    }
    if (!option->value) {
      parsed.values_[option->name] = "";
      continue;
    }
    if (i + 1 >= args.size()) throw UsageError(word + " needs a value");
    const std::string& value = args[++i];
    Validate(*option, value);
    parsed.values_[option->name] = value;
  }
  return parsed;
}

std::string OptionHelp(OptionList accepted) {
  std::string help;
  for (const Option* option : accepted) {
    std::string left = "  ";
    if (option->alias) left.append(option->alias).append(", ");
    left.append(option->name);
    if (option->value) left.append(" ").append(option->value);
    if (left.size() < 30) left.resize(30, ' ');
    std::string right = option->help;
    if (option->integer) right += " (" + std::to_string(option->low) + ".." + std::to_string(option->high) + ")";
    if (option->choices) right += std::string(" (") + option->choices + ")";
    if (option->defaultText) right += std::string("; default: ") + option->defaultText;
    help += left + " " + right + "\n";
  }
  return help;
}

}  // namespace brumeleaf::cli
