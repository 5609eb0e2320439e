#include "app/Computation.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include "imaging/Progress.h"

namespace brumeleaf {

// Forwards the worker's reports to the interface thread.
class Computation::Sink : public ProgressSink {
 public:
  explicit Sink(Computation& owner) : owner_(owner) {}
  void ShowProgress(int step, int total, int pass, int passes) override {
    owner_.Report(step, total, pass, passes);
  }
  void ShowInPreview(const Bitmap& image) override { owner_.ReportPreview(image); }
  void PreviewProgressLine(int x) override { owner_.ReportPreviewLine(x); }
  bool ShowsDrawing() const override { return true; }

 private:
  Computation& owner_;
};

Computation::Computation(AppFlags& flags, Random& random, QObject* parent)
    : QObject(parent), flags_(flags), random_(random) {}

Computation::~Computation() {
  if (thread_) {
    flags_.StopRequested.store(true);
    SetPaused(false);
    thread_->wait();
  }
}

bool Computation::Start(const ParameterSnapshot& params, bool preview, Work work, Done done) {
  if (thread_) return false;
  done_ = std::move(done);
  failure_ = nullptr;
  lastPercent_ = -2;
  sincePartial_.invalidate();
  sink_ = std::make_unique<Sink>(*this);
  context_ = std::make_unique<RunContext>(params, random_);
  context_->preview = preview;
  context_->processing = flags_.Processing;
  context_->silent = flags_.SilentRun;
  context_->SetSink(sink_.get());
  context_->SetStopFlag(&flags_.StopRequested);
  context_->SetCancelFlag(&flags_.UserCancelled);
  RunContext* ctx = context_.get();
  thread_.reset(QThread::create([this, ctx, work = std::move(work)] {
    try {
      work(*ctx);
    } catch (...) {
      failure_ = std::current_exception();
    }
  }));
  connect(thread_.get(), &QThread::finished, this, &Computation::Finish, Qt::QueuedConnection);
  thread_->start();
  return true;
}

void Computation::Finish() {
  if (!thread_) return;
  thread_->wait();
  thread_.reset();
  context_.reset();
  sink_.reset();
  Done done = std::move(done_);
  done_ = nullptr;
  if (done) done(failure_);
}

void Computation::WaitUntilIdle() {
  // The completion is queued behind the worker's last progress reports, so handling events in
  // order lets the display end before the completion runs.
  while (thread_) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (thread_) QThread::msleep(1);
  }
}

void Computation::SetPaused(bool paused) {
  {
    std::lock_guard<std::mutex> lock(pauseMutex_);
    paused_ = paused;
  }
  pauseChanged_.notify_all();
}

void Computation::Report(int step, int total, int pass, int passes) {
  // Only changes of the shown percentage cross to the interface thread.
  const ProgressPhase phase = ClassifyProgress(step, total, pass, passes);
  const int percent = ProgressPercent(step, total, pass, passes);
  if (phase == ProgressPhase::Running && percent == lastPercent_) return;
  lastPercent_ = percent;
  // A report that reaches the user's stop percentage holds the worker right here until the
  // interface has seen it (and asked its question): the run stops where the user said, not
  // wherever the worker has got to by the time the question appears.
  const bool hold = step < total && ShouldStopAtPercent(percent, stopPercent_.load(),
                                                        flags_.StopRequested.load());
  if (hold) SetPaused(true);
  if (phase != ProgressPhase::End) SendPartialPicture(hold);
  QMetaObject::invokeMethod(
      this,
      [this, step, total, pass, passes, hold] {
        emit Progress(step, total, pass, passes);
        if (hold) SetPaused(false);
      },
      Qt::QueuedConnection);
  std::unique_lock<std::mutex> lock(pauseMutex_);
  pauseChanged_.wait(lock, [this] { return !paused_ || flags_.StopRequested.load(); });
}

namespace {
// Copying a large picture costs a few milliseconds; a few copies a second keep the display
// alive without slowing the run.
constexpr int kPartialPictureMs = 300;
}  // namespace

void Computation::SendPartialPicture(bool now) {
  // The worker is between two steps of its algorithm here, so the picture it draws into holds
  // still while it is copied.
  const RunContext* ctx = context_.get();
  if (ctx == nullptr || ctx->preview || ctx->brush || !ctx->processing) return;
  const Bitmap* drawing = ctx->Drawing();
  if (drawing == nullptr || drawing->Empty()) return;
  if (!now && sincePartial_.isValid() && sincePartial_.elapsed() < kPartialPictureMs) return;
  sincePartial_.restart();
  auto copy = std::make_shared<const Bitmap>(*drawing);
  QMetaObject::invokeMethod(this, [this, copy] { emit PartialPicture(copy); }, Qt::QueuedConnection);
}

void Computation::ReportPreview(const Bitmap& image) {
  // The worker goes on drawing into its picture, so the window gets a copy of this stage.
  auto copy = std::make_shared<const Bitmap>(image);
  QMetaObject::invokeMethod(this, [this, copy] { emit PreviewPicture(copy); }, Qt::QueuedConnection);
}

void Computation::ReportPreviewLine(int x) {
  QMetaObject::invokeMethod(this, [this, x] { emit PreviewLine(x); }, Qt::QueuedConnection);
}

}  // namespace brumeleaf
