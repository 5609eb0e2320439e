#include "pipeline/RunEffect.h"

#include <string>

#include "effects/Catalogue.h"
#include "pipeline/Finalize.h"

namespace brumeleaf {

namespace {

EffectFrame AvailableFrame(int code) {
  if (code < 0 || code >= kEffectCount) {
    throw ImageError("There is no effect with code " + std::to_string(code) +
                     "; the effect codes are 0 to 29.");
  }
  EffectFrame frame = FrameForCode(code);
  if (!frame) throw ImageError(EffectNameForCode(code) + " is not available yet.");
  return frame;
}

}  // namespace

RunOutcome RunEffect(int code, const Bitmap& source, Bitmap& result, RunContext& ctx) {
  return RunEffect(code, source, result, ctx, StandardFinishingSteps());
}

RunOutcome RunEffect(int code, const Bitmap& source, Bitmap& result, RunContext& ctx,
                     const FinishingSteps& steps) {
  EffectFrame frame = AvailableFrame(code);
  if (source.Empty()) throw ImageError("There is no source picture to process.");
  // Frames write the result while they still read the source.
  if (&source == &result) throw ImageError("The result must be a picture apart from the source.");
  CheckFinishingAvailable(steps, ctx.Params());
  ctx.MutableParams().code = code;
  frame(source, result, ctx);
  Finalize(source, result, ctx, steps);
  return ctx.StopRequested() ? RunOutcome::Stopped : RunOutcome::Completed;
}

}  // namespace brumeleaf
