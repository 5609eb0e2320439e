// brumeleaf-cli: the headless front end. Exit codes: 0 success, 1 failure, 2 bad usage.

#include <cstdio>
#include <exception>
#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"

namespace {

using brumeleaf::cli::AllCommands;
using brumeleaf::cli::Arguments;
using brumeleaf::cli::Command;

void PrintUsage(std::FILE* to) {
  std::fprintf(to, "usage: brumeleaf-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
  for (const Command& c : AllCommands())
    std::fprintf(to, "  %-8s %-12s %s\n", c.name, c.arguments, c.summary);
  std::fprintf(to, "\nbrumeleaf-cli COMMAND --help shows one command's arguments.\n");
}

void PrintCommandUsage(std::FILE* to, const Command& c) {
  std::fprintf(to, "usage: brumeleaf-cli %s %s\n  %s\n", c.name, c.arguments, c.summary);
  if (c.options) std::fprintf(to, "\noptions:\n%s", brumeleaf::cli::OptionHelp(c.options()).c_str());
}

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h" || a == "help"; }

const Command* Find(const std::string& name) {
  for (const Command& c : AllCommands())
    if (name == c.name) return &c;
  return nullptr;
}

int Run(const Command& command, const Arguments& args) {
  try {
    return command.run(args);
  } catch (const brumeleaf::cli::UsageError& e) {
    std::fprintf(stderr, "brumeleaf-cli: %s\n", e.what());
    PrintCommandUsage(stderr, command);
    return brumeleaf::cli::kExitUsage;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brumeleaf-cli: %s\n", e.what());
    return brumeleaf::cli::kExitFailed;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return brumeleaf::cli::kExitUsage;
  }
  const std::string name = argv[1];
  if (IsHelp(name)) {
    PrintUsage(stdout);
    return brumeleaf::cli::kExitOk;
  }
  const Command* command = Find(name);
  if (command == nullptr) {
    std::fprintf(stderr, "brumeleaf-cli: unknown command \"%s\"\n", name.c_str());
    PrintUsage(stderr);
    return brumeleaf::cli::kExitUsage;
  }
  const Arguments args(argv + 2, argv + argc);
  if (args.size() == 1 && IsHelp(args[0])) {
    PrintCommandUsage(stdout, *command);
    return brumeleaf::cli::kExitOk;
  }
  return Run(*command, args);
}
