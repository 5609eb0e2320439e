#pragma once
// One computation at a time on a worker thread. The interface thread starts it and keeps
// handling the user; the worker reads the atomic stop flag at its check points, and its
// progress reports reach the status bar as queued calls. While the stop question is open the
// worker waits at its next report, so the run does not run away from the question.

#include <QElapsedTimer>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

#include "app/AppFlags.h"
#include "imaging/RunContext.h"

class QThread;

namespace brumeleaf {

class Computation : public QObject {
  Q_OBJECT

 public:
  using Work = std::function<void(RunContext&)>;
  // Runs on the interface thread after the worker has ended; the exception, if the work threw.
  using Done = std::function<void(std::exception_ptr)>;

  Computation(AppFlags& flags, Random& random, QObject* parent);
  ~Computation() override;

  // Starts `work` unless a computation is already running (then returns false).
  bool Start(const ParameterSnapshot& params, bool preview, Work work, Done done);
  bool Busy() const { return thread_ != nullptr; }
  // Handles events until the running computation (and its completion) has finished.
  void WaitUntilIdle();
  // Holds the worker at its next progress report (the stop question is open) or lets it go.
  void SetPaused(bool paused);
  // The stop percentage of the status bar's marker; 100 never stops a run.
  void SetStopPercent(int percent) { stopPercent_.store(percent); }

  // Called from the worker's progress sink.
  void Report(int step, int total, int pass, int passes);
  void ReportPreview(const Bitmap& image);
  void ReportPreviewLine(int x);

 signals:
  void Progress(int step, int total, int pass, int passes);
  // An intermediate picture of a live-preview run, delivered on the interface thread.
  void PreviewPicture(std::shared_ptr<const Bitmap> image);
  // The live preview's progress line, x pixels long.
  void PreviewLine(int x);
  // A copy of what a processing run has drawn so far, taken at a progress report: every few
  // tenths of a second, and always where the run waits for the stop question.
  void PartialPicture(std::shared_ptr<const Bitmap> picture);

 private:
  void Finish();
  void SendPartialPicture(bool now);

  class Sink;
  AppFlags& flags_;
  Random& random_;
  std::unique_ptr<QThread> thread_;
  std::unique_ptr<Sink> sink_;
  std::unique_ptr<RunContext> context_;
  Done done_;
  std::exception_ptr failure_;
  std::mutex pauseMutex_;
  std::condition_variable pauseChanged_;
  bool paused_ = false;
  int lastPercent_ = -2;
  std::atomic<int> stopPercent_{100};
  QElapsedTimer sincePartial_;  // worker side
};

}  // namespace brumeleaf
