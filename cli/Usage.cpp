#include "cli/Usage.h"

#include <algorithm>

namespace brumeleaf::cli {

namespace options {
const Option kHelp{"--help", "-h", nullptr, false, 0, 0, nullptr, nullptr,
                   "this list; after a command, that command's arguments and options"};
const Option kVersion{"--version", nullptr, nullptr, false, 0, 0, nullptr, nullptr, "the program's version"};
}  // namespace options

namespace {
const Option* const kProgramOptions[] = {&options::kHelp, &options::kVersion};
}  // namespace

OptionList ProgramOptions() { return kProgramOptions; }

const char* ProgramVersion() {
#ifdef BRUMELEAF_VERSION
  return BRUMELEAF_VERSION;
#else
  return "unknown";
#endif
}

const Command* FindCommand(const std::string& name) {
  for (const Command& c : AllCommands())
    if (name == c.name) return &c;
  return nullptr;
}

std::string ProgramUsage() {
  std::size_t width = 0;
  for (const Command& c : AllCommands()) width = std::max(width, std::string(c.name).size());
  std::string text = "usage: brumeleaf-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
  for (const Command& c : AllCommands()) {
    std::string name = c.name;
    name.resize(width + 2, ' ');
    text += "  " + name + c.summary + "\n";
  }
  text += "\noptions:\n" + OptionHelp(ProgramOptions());
  text += "\nbrumeleaf-cli COMMAND --help shows one command's arguments and options.\n";
  return text;
}

std::string CommandUsage(const Command& c) {
  std::string text = std::string("usage: brumeleaf-cli ") + c.name + " " + c.arguments + "\n  " + c.summary + "\n";
  if (c.options) text += "\noptions:\n" + OptionHelp(c.options());
  return text;
}

}  // namespace brumeleaf::cli
