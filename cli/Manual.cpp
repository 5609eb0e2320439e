#include "cli/Manual.h"

#include <cctype>

#include "cli/Usage.h"
#include "effects/Catalogue.h"
#include "effects/EffectTable.h"

namespace brumeleaf::cli {

namespace {

// Text for a man page line: backslashes doubled, hyphens as minus signs (so options can be
// copied and searched), and a line that would start a request kept as text.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\e";
    else if (c == '-') out += "\\-";
    else out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string::npos ? at : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

std::string Joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
  return text;
}

// One option as a tagged paragraph: the names and value in bold and italics, then the help,
// the range or choices and the default.
std::string ManOption(const Option& option) {
  std::string tag = "\\fB" + Roff(option.alias ? std::string(option.alias) + ", " : "") + Roff(option.name) + "\\fR";
  if (option.value) tag += " \\fI" + Roff(option.value) + "\\fR";
  std::string body = option.help;
  if (!body.empty()) body[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(body[0])));
  if (option.integer) body += "; " + std::to_string(option.low) + " to " + std::to_string(option.high);
  if (option.choices) body += "; one of " + Joined(Split(option.choices, '|'), ", ");
  if (option.defaultText) body += "; default: " + std::string(option.defaultText);
  return ".TP\n" + tag + "\n" + Roff(body) + ".\n";
}

// What the value of an option completes to.
enum class ValueKind { None, Words, Effect, Folder, File };

ValueKind KindOf(const Option& option, std::string* pattern) {
  if (!option.value) return ValueKind::None;
  if (option.choices) return ValueKind::Words;
  if (&option == &options::kEffect) return ValueKind::Effect;
  const std::string value = option.value;
  if (value.find("FOLDER") != std::string::npos) return ValueKind::Folder;
  for (const char* extension : {".bfp", ".bfs", ".ini", ".pdf"}) {
    if (value.size() > 4 && value.compare(value.size() - 4, 4, extension) == 0) {
      *pattern = std::string("*") + extension;
      return ValueKind::File;
    }
  }
  if (value.rfind("FILE", 0) == 0 || value.rfind("LIST", 0) == 0) return ValueKind::File;
  return ValueKind::None;  // a number, a colour, a text: nothing to offer
}

// A word for a single-quoted bash string.
std::string BashQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string OptionWords(OptionList list) {
  std::vector<std::string> words;
  for (const Option* option : list) {
    if (option->alias) words.push_back(option->alias);
    words.push_back(option->name);
  }
  return Joined(words, " ");
}

std::string CompletionCase(const Command& command) {
  std::string text = "    " + std::string(command.name) + ")\n";
  const OptionList list = command.options ? command.options() : OptionList{};
  text += "      options=" + BashQuoted(OptionWords(list)) + "\n";
  std::string arms;
  for (const Option* option : list) {
    std::string pattern;
    const ValueKind kind = KindOf(*option, &pattern);
    if (!option->value) continue;
    std::string names = option->name;
    if (option->alias) names = std::string(option->alias) + "|" + names;
    std::string action;
    switch (kind) {
      case ValueKind::Words:
        action = "COMPREPLY=($(compgen -W " + BashQuoted(Joined(Split(option->choices, '|'), " ")) + " -- \"$cur\"))";
        break;
      case ValueKind::Effect: action = "_brumeleaf_cli_effect \"$cur\""; break;
      case ValueKind::Folder: action = "_brumeleaf_cli_folders \"$cur\""; break;
      case ValueKind::File: action = "_brumeleaf_cli_files \"$cur\" " + BashQuoted(pattern); break;
      case ValueKind::None: action = ":"; break;
    }
    arms += "        " + names + ") " + action + "; return 0 ;;\n";
  }
  if (!arms.empty()) text += "      case $prev in\n" + arms + "      esac\n";
  return text + "      ;;\n";
}

}  // namespace

std::vector<std::string> DrawableEffectNames() {
  std::vector<std::string> names;
  for (const ListEntrySpec& entry : ListEntries()) {
    if (entry.IsHeader() || !FrameForCode(entry.code)) continue;
    names.push_back(EffectNameForCode(entry.code));
  }
  return names;
}

std::string ManPage() {
  std::string page = ".TH BRUMELEAF\\-CLI 1 \"\" \"Brumeleaf " + std::string(ProgramVersion()) + "\" \"User Commands\"\n";
  page += ".SH NAME\nbrumeleaf\\-cli \\- turn photographs into drawings and paintings\n";
  page += ".SH SYNOPSIS\n.B brumeleaf\\-cli\n.I COMMAND\n.RI [ ARGUMENTS ]\n.br\n"
          ".B brumeleaf\\-cli\n.I COMMAND\n.B \\-\\-help\n";
  page += ".SH DESCRIPTION\n"
          "The command line of Brumeleaf draws a photograph as a pencil or ink sketch, a watercolour or oil "
          "painting, a cartoon or a mosaic, without a window. It reads JPEG, PNG, BMP and GIF pictures and "
          "writes JPEG, PNG or BMP by the output's extension. A fixed \\fB\\-\\-seed\\fR repeats a result "
          "byte for byte.\n.PP\n"
          "A progress bar runs on standard error when it is a terminal. Ctrl\\-C (or SIGTERM) stops the run, "
          "or the save if it has begun, and writes nothing.\n";
  page += ".SH OPTIONS\n";
  for (const Option* option : ProgramOptions()) page += ManOption(*option);
  page += ".SH COMMANDS\n";
  for (const Command& command : AllCommands()) {
    page += ".SS \"" + Roff(std::string(command.name) + " " + command.arguments) + "\"\n";
    std::string summary = command.summary;
    summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    page += Roff(summary) + ".\n";
    if (command.options)
      for (const Option* option : command.options()) page += ManOption(*option);
  }
  page += ".SH EFFECTS\n\\fB\\-\\-effect\\fR takes a code from 0 to 29 or one of these names "
          "(\\fBbrumeleaf\\-cli effects\\fR lists their sliders, ranges and defaults):\n";
  for (const std::string& name : DrawableEffectNames()) page += ".IP \\(bu 2\n" + Roff(name) + "\n";
  page += ".SH \"EXIT STATUS\"\n.TP\n0\nDone.\n.TP\n1\nFailed: one line on standard error names the file and "
          "the cause, and no output file is left behind.\n.TP\n2\nBad usage: the message and the command's "
          "usage go to standard error.\n";
  page += ".SH EXAMPLES\n.nf\n"
          "brumeleaf\\-cli apply photo.jpg \\-o drawing.jpg\n"
          "brumeleaf\\-cli apply photo.jpg \\-o drawing.png \\-\\-effect \"Pencil sketch 1\" \\-\\-values 25,100,80\n"
          "brumeleaf\\-cli batch *.jpg \\-d results/ \\-\\-effect 7 \\-\\-jobs 2\n"
          "brumeleaf\\-cli render\\-all photo.jpg out/\n"
          ".fi\n";
  page += ".SH \"SEE ALSO\"\n.BR brumeleaf (1)\n";
  return page;
}

std::string BashCompletion() {
  std::vector<std::string> commands;
  for (const Command& command : AllCommands()) commands.push_back(command.name);
  std::string script =
      "# bash completion for brumeleaf-cli, written at build time from the command table and the\n"
      "# option declarations the program parses with.\n\n";
  script += "_brumeleaf_cli_effect_names=" + BashQuoted(Joined(DrawableEffectNames(), "\n")) + "\n\n";
  script += R"BASH(# Effect names that begin with what was typed (quotes and backslashes left out), escaped
# for the shell.
_brumeleaf_cli_effect() {
  local typed=${1#[\"\']} name quoted IFS=$'\n'
  typed=${typed//\\/}
  for name in $_brumeleaf_cli_effect_names; do
    if [[ $name == "$typed"* ]]; then
      printf -v quoted '%q' "$name"
      COMPREPLY+=("$quoted")
    fi
  done
}

_brumeleaf_cli_files() {
  local IFS=$'\n'
  compopt -o filenames 2> /dev/null
  if [[ -n $2 ]]; then
    COMPREPLY+=($(compgen -d -- "$1") $(compgen -f -X "!$2" -- "$1"))
  else
    COMPREPLY+=($(compgen -f -- "$1"))
  fi
}

_brumeleaf_cli_folders() {
  local IFS=$'\n'
  compopt -o filenames 2> /dev/null
  COMPREPLY+=($(compgen -d -- "$1"))
}

_brumeleaf_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} options
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
)BASH";
  script += "    COMPREPLY=($(compgen -W " + BashQuoted(Joined(commands, " ") + " " + OptionWords(ProgramOptions())) +
            " -- \"$cur\"))\n    return 0\n  fi\n  case ${COMP_WORDS[1]} in\n";
  for (const Command& command : AllCommands()) script += CompletionCase(command);
  script += R"BASH(    *) return 0 ;;
  esac
  # --help stands alone after the command.
  ((COMP_CWORD == 2)) && options+=" -h --help"
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    _brumeleaf_cli_files "$cur" ""
  fi
  return 0
}
complete -F _brumeleaf_cli brumeleaf-cli
)BASH";
  return script;
}

}  // namespace brumeleaf::cli
