// brumeleaf-cli: the headless front end. Exit codes: 0 success, 1 failure, 2 bad usage.

#include <cstdio>
#include <exception>
#include <string>

#include "cli/Commands.h"
#include "cli/Usage.h"

namespace {

using brumeleaf::cli::Arguments;
using brumeleaf::cli::Command;

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h" || a == "help"; }

int Run(const Command& command, const Arguments& args) {
  try {
    return command.run(args);
  } catch (const brumeleaf::cli::UsageError& e) {
    std::fprintf(stderr, "brumeleaf-cli: %s\n", e.what());
    std::fputs(brumeleaf::cli::CommandUsage(command).c_str(), stderr);
    return brumeleaf::cli::kExitUsage;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brumeleaf-cli: %s\n", e.what());
    return brumeleaf::cli::kExitFailed;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(brumeleaf::cli::ProgramUsage().c_str(), stderr);
    return brumeleaf::cli::kExitUsage;
  }
  const std::string name = argv[1];
  if (IsHelp(name)) {
    std::fputs(brumeleaf::cli::ProgramUsage().c_str(), stdout);
    return brumeleaf::cli::kExitOk;
  }
  if (name == brumeleaf::cli::options::kVersion.name) {
    std::printf("brumeleaf-cli %s\n", brumeleaf::cli::ProgramVersion());
    return brumeleaf::cli::kExitOk;
  }
  const Command* command = brumeleaf::cli::FindCommand(name);
  if (command == nullptr) {
    std::fprintf(stderr, "brumeleaf-cli: unknown command \"%s\"\n", name.c_str());
    std::fputs(brumeleaf::cli::ProgramUsage().c_str(), stderr);
    return brumeleaf::cli::kExitUsage;
  }
  const Arguments args(argv + 2, argv + argc);
  if (args.size() == 1 && IsHelp(args[0])) {
    std::fputs(brumeleaf::cli::CommandUsage(*command).c_str(), stdout);
    return brumeleaf::cli::kExitOk;
  }
  return Run(*command, args);
}
