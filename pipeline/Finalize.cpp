#include "pipeline/Finalize.h"

namespace brumeleaf {

FinishingSteps StandardFinishingSteps() { return {}; }

void CheckFinishingAvailable(const FinishingSteps& steps, const ParameterSnapshot& options) {
  if (options.addFrame && !steps.addFrame) throw ImageError("Adding a frame is not available yet.");
  if (options.addText && !steps.addText) throw ImageError("Adding text is not available yet.");
}

FinalizeOutcome Finalize(const Bitmap& source, Bitmap& result, RunContext& ctx,
                         const FinishingSteps& steps) {
  if (ctx.StopRequested()) {
    ctx.ShowProgress(100, 100, 1, 1);
    return {true, source.Width(), source.Height()};
  }
  const ParameterSnapshot& options = ctx.Params();
  CheckFinishingAvailable(steps, options);
  if (options.addFrame) steps.addFrame(result, ctx);
  FinalizeOutcome outcome{false, result.Width(), result.Height()};
  if (options.addText) steps.addText(result, ctx);
  return outcome;
}

}  // namespace brumeleaf
