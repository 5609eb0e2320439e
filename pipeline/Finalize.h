#pragma once
// The closing stage of every run: frame, then caption, unless the run was stopped.

#include <functional>
#include <memory>
#include <string>

#include "imaging/Bitmap.h"
#include "effects/EffectSettings.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// The frame and caption steps. The frames and the text overlay are separate features; they
// plug in here so that the run itself does not depend on them.
struct FinishingSteps {
  // Draws the chosen frame onto the result; may enlarge it.
  std::function<void(Bitmap& result, RunContext& ctx)> addFrame;
  // Draws the caption onto the result.
  std::function<void(Bitmap& result, RunContext& ctx)> addText;
  // What a step had to leave out, as the user should read it (a frame that would not fit in
  // memory, a font that is not installed); the result is kept either way. Empty: nothing.
  std::shared_ptr<std::string> notice = std::make_shared<std::string>();
};

// The picture frame and the caption with the given options. The caption keeps clear of the
// frame the same run added.
FinishingSteps StandardFinishingSteps(const FinishingOptions& options);
// The same with the options' defaults.
FinishingSteps StandardFinishingSteps();

// Throws ImageError when the options ask for a frame or a caption that `steps` cannot draw,
// so that a run fails before it computes anything instead of silently leaving a step out.
void CheckFinishingAvailable(const FinishingSteps& steps, const ParameterSnapshot& options);

struct FinalizeOutcome {
  bool stopped = false;
  // The result size the window keeps: the source size after a stop (the result then holds a
  // partial drawing), otherwise the size of the finished result.
  int resultWidth = 0;
  int resultHeight = 0;
};

// After a stop: ends the progress display and adds nothing. Otherwise: frame (when chosen),
// result size, caption (when chosen).
FinalizeOutcome Finalize(const Bitmap& source, Bitmap& result, RunContext& ctx,
                         const FinishingSteps& steps);

}  // namespace brumeleaf
