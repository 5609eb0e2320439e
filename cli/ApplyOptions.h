#pragma once
// The effect options every command that runs an effect shares: a parameter file, the effect,
// slider values and the finishing options, applied to the core EffectSettings in that order so
// that ranges, clamping and selection rules are the desktop program's own.

#include <array>
#include <cstdint>

#include "cli/Options.h"
#include "effects/EffectSettings.h"

namespace brumeleaf::cli {

// --params, --effect, --values, --soften, --texture, --strength.
extern const std::array<const Option*, 6> kEffectOptions;

// Applies the effect options found in `parsed`. UsageError for an unknown effect or malformed
// values; a parameter file that cannot be read is a failure (its own message).
void ApplyEffectOptions(const ParsedOptions& parsed, EffectSettings& settings);

// --seed, or the clock as at the desktop program's start.
std::uint32_t SeedOf(const ParsedOptions& parsed);

}  // namespace brumeleaf::cli
