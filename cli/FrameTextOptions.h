#pragma once
// The picture frame and caption options of commands that finish a result, and the settings
// file of the desktop program as their starting point, so that a shell run can reproduce what
// the windows show.

#include <array>
#include <memory>

#include <QGuiApplication>

#include "cli/Options.h"
#include "effects/EffectSettings.h"

namespace brumeleaf::cli {

// --settings, the frame options, the caption options.
extern const std::array<const Option*, 18> kFrameTextOptions;

// A colour written RRGGBB (red first, as on the web; a leading # is allowed), packed the way
// the core keeps colours. UsageError naming `what` otherwise.
int ParseColourOption(const std::string& text, const std::string& what);

// Applies --settings first, then the frame and caption options. Any frame option turns the
// frame on, any caption option the caption; --add-frame and --add-text take the settings
// file's frame or caption as they are. UsageError for malformed values; a settings file that
// cannot be read is a failure.
void ApplyFrameTextOptions(const ParsedOptions& parsed, EffectSettings& settings);

// Text is drawn with QtGui, which needs an application object; without a display it uses the
// offscreen platform (QT_QPA_PLATFORM is set only when unset). Null when none is needed.
std::unique_ptr<QGuiApplication> TextDisplayFor(const EffectSettings& settings);

}  // namespace brumeleaf::cli
