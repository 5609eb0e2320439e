#pragma once
// What `brumeleaf-cli --help` and `COMMAND --help` print, built from the command table and the
// option declarations the parser reads, so the help, the manual page and the shell completion
// can never say something the parser does not do.

#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"

namespace brumeleaf::cli {

// The program's own options, valid before any command.
namespace options {
extern const Option kHelp;
extern const Option kVersion;
}  // namespace options
OptionList ProgramOptions();

// "0.1.0": the version the build was configured with.
const char* ProgramVersion();

// The command named `name`, or nullptr.
const Command* FindCommand(const std::string& name);

// The whole program's usage: the commands one a line, then the program's options.
std::string ProgramUsage();

// One command's usage: its arguments, its summary, then its options one a line.
std::string CommandUsage(const Command& command);

}  // namespace brumeleaf::cli
