// The live preview of the parameters window: the preview timer, the crop and its dragging,
// the zoom slider and the display of what the worker computed. A preview is one computation on
// the shared worker; any change raises the stop flag and moves the generation on, so a preview
// that was overtaken never overwrites a newer picture.

#include <QCursor>
#include <QGuiApplication>
#include <QSlider>
#include <QTimer>
#include <QToolTip>

#include "app/AppFlags.h"
#include "app/Computation.h"
#include "app/ExamplePictures.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/PreviewPictureView.h"
#include "app/ProcessingDriver.h"

namespace brumeleaf {

namespace {

// A tick that cannot start now comes back shortly, so that the last change is never lost.
constexpr int kRetryMs = 100;
// A preview that takes longer than this shows the raw crop while it computes.
constexpr int kRawCropDelayMs = 250;

}  // namespace

int ParametersWindow::SourceWidth() const { return main_.Source().Width(); }
int ParametersWindow::SourceHeight() const { return main_.Source().Height(); }

void ParametersWindow::RefreshImage2() { image2View_->SetImage(ImageOfBitmap(image2_)); }

void ParametersWindow::DrawRawCrop() {
  const Bitmap crop = CropForPreview(main_.Source(), crop_.x0, crop_.y0, crop_.Size());
  ShowRawCrop(crop, image2_);
  RefreshImage2();
}

void ParametersWindow::ResetCrop() {
  crop_.Reset(SourceWidth(), SourceHeight());
  // The preview shows the source's middle until the next preview run.
  const Bitmap crop = CropForPreview(main_.Source(), crop_.x0, crop_.y0, kPreviewSize);
  image2_.SetSize(kPreviewSize, kPreviewSize);
  image2_.Draw(0, 0, crop);
  RefreshImage2();
  if (isVisible()) ArmPreview(500);
}

void ParametersWindow::Timer1Timer() {
  timer1_->stop();
  if (flags_.Processing || driver_->RunInProgress()) return;
  // A button still held (the preview's zoom slider being dragged) puts the preview off until
  // it is released, instead of losing it.
  if (LeftButtonDown()) {
    ArmPreview(kRetryMs);
    return;
  }
  if (!isVisible()) return;
  if (flags_.StopRequested.load() || flags_.PreviewBusy != 0 || main_.Runner().Busy()) {
    ArmPreview(kRetryMs);
    return;
  }
  flags_.SilentRun = false;
  StartPreview();
}

void ParametersWindow::StartPreview() {
  SyncPanelSizes();
  model_.FallBackFromMerge(main_.Source().Width() != main_.Result().Width());
  SyncFromModel();
  const int code = model_.CurrentEffect();
  const int size = crop_.Size();
  auto K = std::make_shared<const Bitmap>(CropForPreview(main_.Source(), crop_.x0, crop_.y0, size));
  auto resultCrop = std::make_shared<const Bitmap>(
      EffectExtrasOf(code).blendsWithResult ? CropForPreview(main_.Result(), crop_.x0, crop_.y0, size) : Bitmap());

  ParameterSnapshot params = model_.Snapshot();
  auto brush = customBrush_;
  auto paintBrushAlpha = paintBrush3DAlpha_;
  params.customBrushPicture = brush.get();
  params.paintBrush3DAlpha = paintBrushAlpha.get();
  auto output = std::make_shared<Bitmap>();
  const SourceMean mean = main_.Mean();
  const int panelWidth = main_.Source().Width();
  const int generation = ++generation_;
  const int zoom = crop_.zoom;
  flags_.PreviewBusy = code;
  previewRunning_ = true;
  ++previewsStarted_;
  const bool started = main_.Runner().Start(
      params, true,
      [K, resultCrop, output, mean, panelWidth, code, brush, paintBrushAlpha](RunContext& ctx) {
        ctx.mean = mean;
        ctx.sourcePanelWidth = panelWidth;  // shapes keep their size on the crop
        ComputePreview(code, *K, *resultCrop, *output, ctx);
      },
      [this, generation, output, code, zoom](std::exception_ptr failure) {
        PreviewDone(generation, output, code, zoom, failure);
      });
  if (!started) {
    previewRunning_ = false;
    flags_.PreviewBusy = 0;
    ArmPreview(kRetryMs);
    return;
  }
  // The last preview stays until the new one is ready; only a computation that takes a while
  // shows the raw crop meanwhile, so that a quick preview does not flash the photograph.
  QTimer::singleShot(kRawCropDelayMs, this, [this, generation, K] {
    if (!previewRunning_ || generation != generation_) return;
    ShowRawCrop(*K, image2_);
    RefreshImage2();
    ++rawCropsShown_;
  });
}

void ParametersWindow::PreviewDone(int generation, std::shared_ptr<Bitmap> output, int code,
                                   int zoom, std::exception_ptr failure) {
  previewRunning_ = false;
  flags_.PreviewBusy = 0;
  // An overtaken preview is dropped: its successor is armed already.
  if (generation != generation_ || failure || output->Empty()) return;
  image2_ = PreviewDisplay(*output, zoom, code);
  RefreshImage2();
  ++previewsShown_;
  emit PreviewShown();
}

void ParametersWindow::ShowIntermediate(std::shared_ptr<const Bitmap> image) {
  if (!previewRunning_ || !isVisible() || image->Empty()) return;
  ShowRawCrop(*image, image2_);
  RefreshImage2();
}

void ParametersWindow::ShowPreviewLine(int x) {
  if (!previewRunning_ || !isVisible()) return;
  const int length = std::clamp(x, 0, kPreviewSize);
  image2_.FillRect(0, kPreviewSize - 2, length, kPreviewSize, MakeColour(255, 153, 51));
  RefreshImage2();
}

// ------------------------------------------------------------------ dragging and zoom

void ParametersWindow::Image2MouseDown(QPoint at) {
  timer1_->stop();
  RequestStop();
  dragging_ = true;
  lastMouse_ = at;
  dragInterval_ = 0;
  crop_.zoom = PreviewCrop::ZoomOfSlider(trackBar6_->value());
}

void ParametersWindow::Image2MouseMove(QPoint at) {
  if (!dragging_) return;
  crop_.Drag(at.x() - lastMouse_.x(), at.y() - lastMouse_.y(), SourceWidth(), SourceHeight());
  DrawRawCrop();
  lastMouse_ = at;
  // The timer stays off while the button is held; the delay grows with each move.
  dragInterval_ = std::min(dragInterval_ + 100, 500);
}

void ParametersWindow::Image2MouseUp() {
  if (!dragging_) return;
  dragging_ = false;
  ArmPreview(std::clamp(dragInterval_, 100, 700));
}

void ParametersWindow::TrackBar6Change(int position) {
  if (syncing_) return;
  const int zoom = PreviewCrop::ZoomOfSlider(position);
  crop_.SetZoom(zoom, SourceWidth(), SourceHeight());
  trackBar6_->setToolTip(QString::number(crop_.zoom) + QStringLiteral("%"));
  if (trackBar6_->isVisible()) {
    QToolTip::showText(QCursor::pos() + QPoint(14, -5), trackBar6_->toolTip(), trackBar6_);
  }
  DrawRawCrop();
  dragging_ = false;
  RequestStop();
  DelayPreview(100, 700);
}

}  // namespace brumeleaf
