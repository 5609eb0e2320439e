#pragma once
// The commands of brumeleaf-cli. Each command lives in its own file and is listed once in
// CommandTable.cpp; main.cpp only dispatches.

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace brumeleaf::cli {

// Wrong arguments: reported with the command's usage, exit code 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

using Arguments = std::vector<std::string>;
struct Option;
using OptionList = std::span<const Option* const>;

struct Command {
  const char* name;
  const char* arguments;  // shown after the name in the usage text
  const char* summary;
  // Returns the exit code; throws UsageError for bad arguments and any other exception for a
  // failure (exit code 1).
  int (*run)(const Arguments& args);
  // The options it accepts, for its --help; nullptr for a command without options.
  OptionList (*options)() = nullptr;
};

std::span<const Command> AllCommands();

int RunInfo(const Arguments& args);
int RunConvert(const Arguments& args);
int RunEffects(const Arguments& args);
int RunApply(const Arguments& args);
int RunRenderAll(const Arguments& args);
int RunPrint(const Arguments& args);
OptionList ApplyCommandOptions();
OptionList RenderAllCommandOptions();
int RunScriptCommand(const Arguments& args);
OptionList ScriptCommandOptions();
int RunBatch(const Arguments& args);
OptionList BatchCommandOptions();
OptionList PrintCommandOptions();
int RunModify(const Arguments& args);
int RunResize(const Arguments& args);
int RunAutoContrast(const Arguments& args);
OptionList ModifyCommandOptions();
OptionList ResizeCommandOptions();
OptionList AutoContrastCommandOptions();

}  // namespace brumeleaf::cli
