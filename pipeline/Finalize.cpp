#include "pipeline/Finalize.h"

#include "pipeline/Caption.h"
#include "pipeline/PictureFrame.h"

namespace brumeleaf {

FinishingSteps StandardFinishingSteps(const FinishingOptions& options) {
  FinishingSteps steps;
  // The size before the frame, so that the caption's anchors keep clear of the frame.
  auto unframed = std::make_shared<std::pair<int, int>>(0, 0);
  // The size the frame gave, so that a later run without a frame does not take these offsets.
  auto framed = std::make_shared<std::pair<int, int>>(-1, -1);
  std::shared_ptr<std::string> notice = steps.notice;
  const PictureFrameOptions frame = options.frame;
  const CaptionOptions caption = options.caption;
  steps.addFrame = [frame, unframed, framed, notice](Bitmap& result, RunContext& ctx) {
    *unframed = {result.Width(), result.Height()};
    const std::string why = AddPictureFrame(result, frame, ctx);
    *framed = why.empty() ? std::pair<int, int>(result.Width(), result.Height()) : std::pair<int, int>(-1, -1);
    if (!why.empty()) *notice = why;
  };
  steps.addText = [caption, unframed, framed, notice](Bitmap& result, RunContext&) {
    int fx = 0, fy = 0;
    if (*framed == std::pair<int, int>(result.Width(), result.Height())) {
      fx = (result.Width() - unframed->first) / 2;
      fy = (result.Height() - unframed->second) / 2;
    }
    const std::string why = DrawCaption(result, caption, fx, fy);
    if (!why.empty() && notice->empty()) *notice = why;
  };
  return steps;
}

FinishingSteps StandardFinishingSteps() { return StandardFinishingSteps(FinishingOptions{}); }

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
