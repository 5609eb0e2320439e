#pragma once
// The arguments of `brumeleaf-cli apply`, read into the same parameter model the desktop
// program's parameters window uses, so that ranges, clamping and selection rules are shared.

#include <cstdint>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "effects/ParameterModel.h"

namespace brumeleaf::cli {

struct ApplyOptions {
  std::string input;
  std::string output;
  int quality = 95;
  std::optional<std::uint32_t> seed;
};

// Reads the arguments; the model gets the parameter file, the effect, the slider values and
// the finishing options in that order. Throws UsageError for anything malformed.
ApplyOptions ParseApplyArguments(const Arguments& args, ParameterModel& model);

// A whole decimal integer, or UsageError naming `what`.
long long ParseInteger(const std::string& text, const std::string& what);

// --seed and --quality, shared by apply and render-all.
std::uint32_t ParseSeed(const std::string& text);
int ParseQuality(const std::string& text);

}  // namespace brumeleaf::cli
