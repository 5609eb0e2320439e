#include "pipeline/Session.h"

#include <new>

#include "effects/Catalogue.h"
#include "effects/EffectTable.h"
#include "history/SourceMean.h"
#include "effects/FrameSteps.h"
#include "pipeline/RunEffect.h"

namespace brumeleaf {

RunJob::RunJob(int code, const ParameterSnapshot& params, std::shared_ptr<const Bitmap> source,
               Bitmap result, const SourceMean& mean)
    : code_(code),
      params_(params),
      source_(source ? std::move(source) : std::make_shared<const Bitmap>()),
      result_(std::move(result)),
      mean_(mean),
      steps_(StandardFinishingSteps()) {
  params_.code = code;
}

JobOutcome RunJob::Run(RunContext& ctx) {
  // A run needs a stop flag of its own to stop itself when it fails, and a cancel flag to tell
  // such a failure from the user's stop.
  std::atomic<bool> localStop{false};
  std::atomic<bool> cancelled{false};
  std::atomic<bool>* const callerStop = ctx.StopFlag();
  std::atomic<bool>* const callerCancel = ctx.CancelFlag();
  if (!callerStop) ctx.SetStopFlag(&localStop);
  ctx.SetCancelFlag(&cancelled);
  ctx.MutableParams() = params_;
  ctx.mean = mean_;

  JobOutcome outcome;
  if (steps_.notice) steps_.notice->clear();
  try {
    // Frames that draw into the result directly show it as it grows; the others point the
    // drawing at their working picture.
    const DrawingShown shown(ctx, &result_);
    const RunOutcome ran = RunEffect(code_, *source_, result_, ctx, steps_);
    if (steps_.notice) outcome.message = *steps_.notice;
    if (cancelled.load()) {
      outcome = {JobOutcome::Kind::Failed, EffectNameForCode(code_) + " failed."};
    } else if (ran == RunOutcome::Stopped) {
      outcome = {JobOutcome::Kind::Stopped, {}};
    }
  } catch (const std::bad_alloc&) {
    outcome = {JobOutcome::Kind::Failed, kNotEnoughMemoryMessage};
  } catch (const std::exception& e) {
    outcome = {JobOutcome::Kind::Failed, e.what()};
  }
  // A failed run stopped itself; whoever runs next must not inherit that stop.
  if (outcome.Failed() && cancelled.load() && callerStop) callerStop->store(false);
  if (callerCancel && cancelled.load()) callerCancel->store(true);
  ctx.SetStopFlag(callerStop);
  ctx.SetCancelFlag(callerCancel);
  return outcome;
}

JobOutcome RunJob::Run(Random& random, ProgressSink* sink, std::atomic<bool>* stop) {
  RunContext ctx(params_, random);
  ctx.SetSink(sink);
  ctx.SetStopFlag(stop);
  return Run(ctx);
}

Session::Session(std::uint32_t seed) : random_(seed) {}

void Session::OpenPicture(const Bitmap& picture, const std::string& name) {
  source_ = picture;
  result_ = picture;
  history_.SaveToHistory(kSourcePanel, source_, name);
  history_.SaveToHistory(kResultPanel, result_, name);
}

void Session::SetResult(Bitmap result, const std::string& name) {
  result_ = std::move(result);
  history_.SaveToHistory(kResultPanel, result_, name);
}

RunJob Session::PrepareJob() const {
  const ParameterSnapshot params = settings_.Snapshot();
  return PrepareJob(params.code, params);
}

RunJob Session::PrepareJob(int code, const ParameterSnapshot& params) const {
  RunJob job(code, params, std::make_shared<const Bitmap>(source_), result_, Mean());
  job.SetFinishingSteps(StandardFinishingSteps(settings_.Finishing()));
  return job;
}

RunJob Session::PrepareSingleJob(Bitmap picture) const {
  const ParameterSnapshot params = settings_.Snapshot();
  const SourceMean mean = ComputeSourceMean(picture, history_.Mean());
  Bitmap result = EffectExtrasOf(params.code).blendsWithResult ? picture : Bitmap();
  RunJob job(params.code, params, std::make_shared<const Bitmap>(std::move(picture)), std::move(result), mean);
  job.SetFinishingSteps(StandardFinishingSteps(settings_.Finishing()));
  return job;
}

void Session::Accept(RunJob& job, const JobOutcome& outcome) {
  if (outcome.Failed()) return;
  SetResult(job.TakeResult(), EffectNameForCode(job.Code()));
}

JobOutcome Session::Run(ProgressSink* sink, std::atomic<bool>* stop) {
  RunJob job = PrepareJob();
  const JobOutcome outcome = job.Run(random_, sink, stop);
  Accept(job, outcome);
  return outcome;
}

}  // namespace brumeleaf
