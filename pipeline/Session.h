#pragma once
// The headless document every front end works on: the source (left panel) and the result
// (right panel), their undo history with the source mean colour, the one random generator of
// the session, and the effect settings. The desktop program's windows, the command line,
// scripts, batches and the brush all run effects through a Session and its RunJob, so a run is
// assembled in one place and every run sees the same source mean rule: the mean of the source
// as last recorded in or restored from the history.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "effects/EffectSettings.h"
#include "history/History.h"
#include "imaging/Bitmap.h"
#include "imaging/Random.h"
#include "imaging/RunContext.h"
#include "pipeline/Finalize.h"

namespace brumeleaf {

// How a run ended. A failed run names its cause as the user sees it; it never counts as a
// result. A completed run may carry a notice: a frame or caption it had to leave out (the
// drawing is kept).
struct JobOutcome {
  enum class Kind { Completed, Stopped, Failed };
  Kind kind = Kind::Completed;
  std::string message;

  bool Completed() const { return kind == Kind::Completed; }
  bool Stopped() const { return kind == Kind::Stopped; }
  bool Failed() const { return kind == Kind::Failed; }
};

// One effect run with everything it reads copied in, so that it can run on any thread while
// the document stays free: the effect code, the parameter snapshot, the source, the result as
// it stood (some effects start from it) and the source mean.
class RunJob {
 public:
  RunJob(int code, const ParameterSnapshot& params, std::shared_ptr<const Bitmap> source,
         Bitmap result, const SourceMean& mean);

  int Code() const { return code_; }
  const ParameterSnapshot& Params() const { return params_; }
  const Bitmap& Source() const { return *source_; }
  // The result: finished after a completed run, partial after a stop, untouched after a
  // failure that happened before the effect began.
  const Bitmap& Result() const { return result_; }
  Bitmap TakeResult() { return std::move(result_); }
  // Frame and caption steps; the standard ones unless a front end gives others.
  void SetFinishingSteps(FinishingSteps steps) { steps_ = std::move(steps); }

  // Runs the effect's frame and Finalize with `ctx` (its random generator, progress sink and
  // stop flag; the job's parameters and mean are put into it). Never prints and never throws
  // for a failing effect: the failure is the outcome.
  JobOutcome Run(RunContext& ctx);
  // The same with a context made here.
  JobOutcome Run(Random& random, ProgressSink* sink = nullptr, std::atomic<bool>* stop = nullptr);

 private:
  int code_;
  ParameterSnapshot params_;
  std::shared_ptr<const Bitmap> source_;
  Bitmap result_;
  SourceMean mean_;
  FinishingSteps steps_;
};

class Session {
 public:
  explicit Session(std::uint32_t seed = 1);

  // ---- the document
  const Bitmap& Source() const { return source_; }
  const Bitmap& Result() const { return result_; }
  // The panels themselves, for a front end that edits them in place (crop, rotate, swap);
  // it records what it changed with SaveToHistory.
  Bitmap& SourcePanel() { return source_; }
  Bitmap& ResultPanel() { return result_; }
  History& GetHistory() { return history_; }
  const History& GetHistory() const { return history_; }
  const SourceMean& Mean() const { return history_.Mean(); }
  Random& Rand() { return random_; }
  EffectSettings& Settings() { return settings_; }
  const EffectSettings& Settings() const { return settings_; }

  // A picture opened as the new source: both panels show it and both are recorded, so the
  // source mean is the picture's.
  void OpenPicture(const Bitmap& picture, const std::string& name);
  // A finished or partial result: it becomes the right panel and is recorded under `name`.
  void SetResult(Bitmap result, const std::string& name);

  // ---- runs
  // A job for the selected effect with the settings' snapshot.
  RunJob PrepareJob() const;
  RunJob PrepareJob(int code, const ParameterSnapshot& params) const;
  // A job for the selected effect on `picture` alone, for a front end that runs one effect and
  // keeps neither panels nor history (the command line's apply): the picture moves into the
  // job instead of being copied into both panels, the job and three compressed history states,
  // which at 12 megapixels is more memory than most effects need. The source mean is the
  // picture's, as after OpenPicture; the result starts as the picture only for an effect that
  // blends with the result (every other effect writes its result whole).
  RunJob PrepareSingleJob(Bitmap picture) const;
  // A completed or stopped job's result becomes the right panel (a stopped run keeps its
  // partial drawing, as the desktop program shows it) and is recorded under the effect's
  // name; a failed job changes nothing.
  void Accept(RunJob& job, const JobOutcome& outcome);
  // Prepare, run on this thread with the session's generator, accept.
  JobOutcome Run(ProgressSink* sink = nullptr, std::atomic<bool>* stop = nullptr);

 private:
  Bitmap source_;
  Bitmap result_;
  History history_;
  Random random_;
  EffectSettings settings_;
};

}  // namespace brumeleaf
