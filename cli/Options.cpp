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
// Commands that draw many pictures start each one from seed 1, so a result depends on its
// picture alone; their help has to say so.
const Option kSeedFromOne{"--seed", nullptr, "N", true, 0, 4294967295LL, nullptr, "1",
                          "seed each picture starts from, for repeatable results"};
const Option kThreads{"--threads", nullptr, "N", true, 1, 256, nullptr, "every core",
                      "threads used inside one effect (the picture is the same for any number)"};
const Option kQuality{"--quality", nullptr, "N", true, 1, 100, nullptr, "95", "JPEG quality"};
const Option kCheck{"--check", nullptr, nullptr, false, 0, 0, nullptr, nullptr,
                    "only read the script and list what each row would do"};
const Option kOutputFolder{"--output-dir", "-d", "FOLDER", false, 0, 0, nullptr, "the first picture's folder",
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
const Option kSettings{"--settings", nullptr, "Brumeleaf.ini", false, 0, 0, nullptr, nullptr,
                       "frame, text and texture values of the desktop program's settings file (read first)"};
const Option kFrame{"--frame", nullptr, "STYLE", false, 0, 0, "simple|lined|realistic|colored|triptych|brushstrokes",
                    "simple", "add a picture frame around the result"};
const Option kMargin{"--margin", nullptr, "N", true, 0, 1000, nullptr, "150",
                     "frame margin in pixels, half on each side (adds a frame)"};
const Option kSpacing{"--spacing", nullptr, "N", true, 0, 500, nullptr, "75",
                      "gap between the triptych's panels (adds a frame)"};
const Option kFrameNumber{"--frame-number", nullptr, "N", true, 1, 12, nullptr, "1",
                          "frame photograph: 1-12 for realistic, 1-5 for colored frames (adds a frame)"};
const Option kTint{"--tint", nullptr, "R,G,B", false, 0, 0, nullptr, "0,0,0",
                   "added to the colored frame's red, green and blue, each -255..255 (adds a frame)"};
const Option kFillColour{"--fill-colour", nullptr, "RRGGBB", false, 0, 0, nullptr, "000000",
                         "margin and background colour of the frame (adds a frame)"};
const Option kLineColour{"--line-colour", nullptr, "RRGGBB", false, 0, 0, nullptr, "ffffff",
                         "colour of the lined frame's line (adds a frame)"};
const Option kAddFrame{"--add-frame", nullptr, nullptr, false, 0, 0, nullptr, "off",
                       "add the frame of --settings as it is"};
const Option kText{"--text", nullptr, "TEXT", false, 0, 0, nullptr, "Brumeleaf", "write a caption onto the result"};
const Option kFont{"--font", nullptr, "FAMILY", false, 0, 0, nullptr, "DejaVu Sans", "caption font (adds text)"};
const Option kFontSize{"--font-size", nullptr, "POINTS", true, 1, 2000, nullptr, "12",
                       "caption size in points at 96 dpi: 12 is 16 pixels (adds text)"};
const Option kFontStyle{"--font-style", nullptr, "LIST", false, 0, 0, nullptr, "none",
                        "comma list of bold, italic, underline, strikeout (adds text)"};
const Option kTextColour{"--text-colour", nullptr, "RRGGBB", false, 0, 0, nullptr, "ffffff",
                         "caption colour (adds text)"};
const Option kTextPosition{"--text-position", nullptr, "PLACE", false, 0, 0,
                           "top-left|top-middle|top-right|middle-left|centre|center|middle-right|"
                           "bottom-left|bottom-middle|bottom-right",
                           "bottom-right", "where the caption goes, inside any frame (adds text)"};
const Option kTextAt{"--text-at", nullptr, "X,Y", false, 0, 0, nullptr, nullptr,
                     "the caption at this point of the result instead (adds text)"};
const Option kNoShadow{"--no-shadow", nullptr, nullptr, false, 0, 0, nullptr, "shadow on",
                       "no black shadow under the caption (adds text)"};
const Option kAddText{"--add-text", nullptr, nullptr, false, 0, 0, nullptr, "off",
                      "add the caption of --settings as it is"};
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
