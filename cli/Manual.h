#pragma once
// The manual page and the bash completion of brumeleaf-cli, written at build time from the
// command table and the option declarations the parser reads (cli/docs/GenerateCliDocs.cpp).

#include <string>
#include <vector>

namespace brumeleaf::cli {

// The manual page in man(7) markup: every command with its arguments and every option with its
// value, range, choices and default; the effects; exit codes and examples.
std::string ManPage();

// A bash completion script for commands, options, the choices of an option and effect names;
// file and folder values complete as paths.
std::string BashCompletion();

// The names `--effect` accepts for the effects that can be drawn, in the effect list's order.
std::vector<std::string> DrawableEffectNames();

}  // namespace brumeleaf::cli
