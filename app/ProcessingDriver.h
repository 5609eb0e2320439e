#pragma once
// The processing run behind "Draw!": the main window's processing timer (Timer1) waits until
// no preview is computing and no stop is pending, then runs the chosen effect on the worker,
// puts the result (complete, or partial after a stop) into the right panel, records it in the
// history and brings the zoom back to what it was.

#include <QMetaType>
#include <QObject>

#include <exception>
#include <memory>
#include <optional>

#include "pipeline/Session.h"
#include "imaging/Bitmap.h"

class QTimer;

namespace brumeleaf {

class MainWindow;
class ParametersWindow;

class ProcessingDriver : public QObject {
  Q_OBJECT

 public:
  ProcessingDriver(MainWindow& main, ParametersWindow& window);

  // Sets the timer's interval; it fires repeatedly until a run starts.
  void Arm(int intervalMs);
  QTimer* Timer() const { return timer1_; }
  void Timer1Timer();
  bool RunInProgress() const { return running_; }
  // The frame and caption steps the runs use; the standard ones unless given here (a front end
  // without them, or a test of a run that cannot add its frame).
  void UseFinishingSteps(std::optional<FinishingSteps> steps) { steps_ = std::move(steps); }

 signals:
  void RunStarted();
  // Every run ends here, once: completed, stopped (the partial result is shown) or failed
  // (the message was shown, the result left as it was). Scripts, batches and the brush wait
  // on this instead of polling flags.
  void RunFinished(const brumeleaf::JobOutcome& outcome);

 private:
  void StartRun();
  void EndRun(std::shared_ptr<RunJob> job, std::shared_ptr<JobOutcome> outcome,
              std::exception_ptr failure);

  MainWindow& main_;
  ParametersWindow& window_;
  QTimer* timer1_ = nullptr;
  bool running_ = false;
  int savedZoom_ = 100;
  std::optional<FinishingSteps> steps_;
};

}  // namespace brumeleaf

Q_DECLARE_METATYPE(brumeleaf::JobOutcome)
