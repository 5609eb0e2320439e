#pragma once
// The brumeleaf-cli line that repeats a run of the desktop program: the effect by its code, all
// five slider positions, the soften and texture options and the generator's seed as the run
// would start from it. Choices the command line has no option for are named, so the user
// knows the line does not carry them.

#include <cstdint>
#include <string>
#include <vector>

#include "effects/EffectSettings.h"

namespace brumeleaf {

struct CommandLineText {
  std::string line;                  // "brumeleaf-cli apply 'in.jpg' -o 'out.png' --effect 0 ..."
  std::vector<std::string> leftOut;  // "frame", "caption", ... that the line cannot repeat
};

CommandLineText ApplyCommandLine(const EffectSettings& settings, std::uint32_t seed, const std::string& input,
                                 const std::string& output);

// The text as one POSIX shell word: kept as it is when it holds only safe characters, else in
// single quotes with each ' written as '\''.
std::string ShellQuoted(const std::string& text);

}  // namespace brumeleaf
