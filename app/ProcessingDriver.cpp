#include "app/ProcessingDriver.h"

#include <QTimer>

#include "app/Computation.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/StatusPanel.h"
#include "app/WorkerFailure.h"

namespace brumeleaf {

ProcessingDriver::ProcessingDriver(MainWindow& main, ParametersWindow& window)
    : QObject(&main), main_(main), window_(window) {
  timer1_ = new QTimer(&main);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setTimerType(Qt::PreciseTimer);
  connect(timer1_, &QTimer::timeout, this, &ProcessingDriver::Timer1Timer);
  // After each report (and any stop question it raised) the worker learns the marker's
  // position: answering Cancel puts it back to 100.
  connect(&main.Runner(), &Computation::Progress, this,
          [this] { main_.Runner().SetStopPercent(main_.Status().StopPercent()); });
}

void ProcessingDriver::Arm(int intervalMs) {
  if (intervalMs <= 0) {
    timer1_->stop();
  } else {
    timer1_->start(intervalMs);
  }
}

void ProcessingDriver::Timer1Timer() {
  AppFlags& flags = main_.Flags();
  // A preview still ending, or a stop not yet cleared by the idle reset: try again later.
  if (flags.StopRequested.load() || flags.PreviewBusy != 0 || main_.Runner().Busy()) return;
  timer1_->stop();
  StartRun();
}

void ProcessingDriver::StartRun() {
  AppFlags& flags = main_.Flags();
  savedZoom_ = main_.Zoom();
  ParameterSnapshot params = window_.Model().Snapshot();
  // The worker keeps its own references, so a brush loaded meanwhile cannot change under it.
  auto brush = window_.CustomBrush() ? std::make_shared<Bitmap>(*window_.CustomBrush()) : nullptr;
  params.customBrushPicture = brush.get();
  // The Painting 10 brush a preview used is the one the run uses.
  auto paintBrush = window_.PaintBrush();
  params.paintBrush3DAlpha = paintBrush.get();
  auto job = std::make_shared<RunJob>(main_.GetSession().PrepareJob(params.code, params));
  if (steps_) job->SetFinishingSteps(*steps_);
  auto outcome = std::make_shared<JobOutcome>();
  flags.Processing = true;
  running_ = true;
  main_.Runner().SetStopPercent(main_.Status().StopPercent());
  const bool started = main_.Runner().Start(
      params, false, [job, outcome, brush, paintBrush](RunContext& ctx) { *outcome = job->Run(ctx); },
      [this, job, outcome](std::exception_ptr failure) { EndRun(job, outcome, failure); });
  if (!started) {
    // Another computation slipped in: wait for it as for a preview.
    flags.Processing = false;
    running_ = false;
    Arm(400);
    return;
  }
  emit RunStarted();
}

void ProcessingDriver::EndRun(std::shared_ptr<RunJob> job, std::shared_ptr<JobOutcome> outcome,
                              std::exception_ptr failure) {
  AppFlags& flags = main_.Flags();
  if (failure) {
    ReportWorkerFailure(failure, [&outcome](const std::exception& error) {
      *outcome = {JobOutcome::Kind::Failed, error.what()};
    });
  }
  running_ = false;
  flags.Processing = false;
  if (outcome->Failed()) {
    // The display of a failed run ends here; the result panel is left as it was.
    main_.ShowProgress(101, 100, 1, 1);
    main_.SetZoom(savedZoom_);
    main_.ShowMessage(QString::fromUtf8(outcome->message.c_str()));
    // The user chooses again: another effect, or other options.
    flags.ReopenParameters = true;
    emit RunFinished(*outcome);
    return;
  }
  main_.SetResult(job->TakeResult(), window_.Model().EntryText());
  main_.SetZoom(savedZoom_);
  main_.CenterImages();
  // A finished run brings the parameters window back; so did the user's confirmed stop.
  if (outcome->Completed()) flags.ReopenParameters = true;
  // A frame or caption that had to be left out: the drawing is kept and the user told why.
  if (!outcome->Failed() && !outcome->message.empty()) main_.ShowMessage(QString::fromUtf8(outcome->message.c_str()));
  emit RunFinished(*outcome);
}

}  // namespace brumeleaf
