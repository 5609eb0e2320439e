#pragma once
// --settings FILE.ini: the finishing looks a user chose in the desktop program (frame, caption,
// texture tile and strength), taken from its settings file for command-line runs.

#include <string>

#include "effects/EffectSettings.h"

namespace brumeleaf::cli {

// Reads the file (a failure if it is missing or does not hold a settings file's first section)
// and puts its frame and caption choices and its stored texture into `settings`.
void ApplySettingsFile(const std::string& path, EffectSettings& settings);

}  // namespace brumeleaf::cli
