#pragma once
// One effect run of the command line: a picture, the parameter snapshot and the session seed
// in; the finished result out, or nothing when the run was stopped.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf::cli {

// Mean red, green and blue of a picture (sums divided by the pixel count, truncated), as the
// program computes it for every new source.
SourceMean MeanColourOf(const Bitmap& picture);

// The session seed when none is given: the clock, as at the desktop program's start.
std::uint32_t ClockSeed();

struct EffectRunRequest {
  int code = 0;
  ParameterSnapshot params;
  std::uint32_t seed = 1;
  std::string label;  // shown beside the progress bar
};

// Runs the effect with a progress bar; `stop` (Ctrl-C) stops it. Returns the result, or
// nothing after a stop (a message on standard error says why). Failures are exceptions.
std::optional<Bitmap> RunEffectOnPicture(const Bitmap& source, const EffectRunRequest& request,
                                         std::atomic<bool>& stop);

// Lower-case letters and digits of an entry name joined by '-': "Pen & Ink sketch 1" gives
// "pen-ink-sketch-1".
std::string FileNamePart(const std::string& entryName);

}  // namespace brumeleaf::cli
