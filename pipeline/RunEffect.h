#pragma once
// One entry point for every effect: the per-code frame (working pictures, algorithm, surface
// finish) followed by Finalize. Used by the desktop program's worker, the command line, scripts
// and batches alike.

#include "effects/EffectFrame.h"
#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct FinishingSteps;

enum class RunOutcome { Completed, Stopped };


// Runs effect `code` (ctx.Params().code is set to it) and Finalize. Throws ImageError for an
// effect that is not available; returns Stopped when a stop was requested during the run.
// A failing run throws ImageError; the Pencil sketch 1 and Linear halftoning frames leave
// `result` as a copy of `source` when they fail.
RunOutcome RunEffect(int code, const Bitmap& source, Bitmap& result, RunContext& ctx);
// The same with the frame and caption steps given explicitly.
RunOutcome RunEffect(int code, const Bitmap& source, Bitmap& result, RunContext& ctx,
                     const FinishingSteps& steps);

}  // namespace brumeleaf
