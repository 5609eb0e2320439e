#pragma once
// One effect run of the command line: the session's selected effect on its source, with a
// progress bar on standard error.

#include <atomic>
#include <optional>
#include <string>

#include "imaging/Bitmap.h"
#include "pipeline/Session.h"

namespace brumeleaf::cli {

// Runs the session's selected effect; `stop` (Ctrl-C) stops it. Returns the finished result,
// or nothing after a stop or a failure (one line on standard error names `label` and says
// which; nothing is to be written then).
// Runs `job` with a progress bar; true when it completed. After a stop or a failure one line on
// standard error names `label` and says which, and nothing is to be written.
bool RunWithProgress(RunJob& job, Random& random, const std::string& label, std::atomic<bool>& stop);

std::optional<Bitmap> RunSelectedEffect(Session& session, const std::string& label, std::atomic<bool>& stop);

// Lower-case letters and digits of an entry name joined by '-': "Pen & Ink sketch 1" gives
// "pen-ink-sketch-1".
std::string FileNamePart(const std::string& entryName);

}  // namespace brumeleaf::cli
