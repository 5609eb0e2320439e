// apply's option parser and the effect options it applies: the input is split into arguments
// at NUL bytes and newlines. Bad arguments must end as usage errors (or a parameter file's
// error), never as a crash or another exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/ApplyOptions.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "io/PictureFile.h"
#include "settings/ParameterFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace brumeleaf;
  cli::Arguments args(1);
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\0' || c == '\n') {
      args.emplace_back();
    } else {
      args.back() += c;
    }
  }
  // The parameter file option would read files of this machine: the file reader has its own
  // target.
  for (const std::string& a : args)
    if (a.rfind("--params", 0) == 0) return 0;
  try {
    const cli::ParsedOptions parsed = cli::ParseOptions(args, cli::ApplyCommandOptions());
    EffectSettings settings;
    cli::ApplyEffectOptions(parsed, settings);
    cli::SeedOf(parsed);
    if (const auto quality = parsed.IntegerIf(cli::options::kQuality))
      if (*quality < 1 || *quality > 100) __builtin_trap();
    for (int row = 1; row <= 5; ++row) settings.Slider(row);
  } catch (const cli::UsageError&) {
  } catch (const ParameterFileError&) {
  }
  return 0;
}
