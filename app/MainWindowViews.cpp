// The main window's views: zoom, bounding and centring, panning with its glide, the divider,
// crop to selection, full screen, the quarter turns, swap and invert.

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QSlider>
#include <QTimer>

#include <cstring>
#include <memory>

#include "app/Computation.h"
#include "app/FullScreenView.h"
#include "app/MainWindow.h"
#include "app/StatusPanel.h"
#include "app/ToolBarPanel.h"
#include "app/UiText.h"
#include "app/WorkerFailure.h"
#include "imaging/Colour.h"
#include "imaging/Geometry.h"

namespace brumeleaf {
namespace {

// The part [left, right) x [top, bottom) of a picture as a new picture.
Bitmap CutPicture(const Bitmap& picture, view::Span xs, view::Span ys) {
  xs.last = std::min(xs.last, picture.Width());
  ys.last = std::min(ys.last, picture.Height());
  Bitmap cut(std::max(0, xs.last - xs.first), std::max(0, ys.last - ys.first));
  for (int y = 0; y < cut.Height(); ++y) {
    std::memcpy(cut.ScanLine(y), picture.ScanLine(ys.first + y) + 3 * xs.first,
                static_cast<std::size_t>(cut.Width()) * 3);
  }
  return cut;
}

}  // namespace

int MainWindow::Zoom() const { return trackBar3_->value(); }

void MainWindow::SetZoom(int zoom) { trackBar3_->setValue(view::ClampZoom(zoom)); }

void MainWindow::SetStoredSizes() {
  sourceWidth_ = source_.Width();
  sourceHeight_ = source_.Height();
  resultWidth_ = result_.Width();
  resultHeight_ = result_.Height();
}

void MainWindow::SetPictures(Bitmap source, Bitmap result) {
  firstScreen_ = false;
  source_ = std::move(source);
  result_ = std::move(result);
  SetStoredSizes();
  scrollBox1_->SetPicture(&source_);
  scrollBox2_->SetPicture(&result_);
  stretched_ = true;
  ApplyPictureRects();
  CenterImages();
  RefreshTitle();
  UpdateHint();
}

void MainWindow::ApplyPictureRects() {
  const int z = stretched_ ? Zoom() : 100;
  const int sw = stretched_ ? view::Scaled(sourceWidth_, z) : source_.Width();
  const int sh = stretched_ ? view::Scaled(sourceHeight_, z) : source_.Height();
  const int rw = stretched_ ? view::Scaled(resultWidth_, z) : result_.Width();
  const int rh = stretched_ ? view::Scaled(resultHeight_, z) : result_.Height();
  scrollBox1_->SetPictureRect(QRect(sourceOffset_, QSize(sw, sh)));
  scrollBox2_->SetPictureRect(QRect(resultOffset_, QSize(rw, rh)));
}

void MainWindow::UpdatePanels() {
  scrollBox1_->update();
  scrollBox2_->update();
  UpdateHint();
}

void MainWindow::UpdateHint() {
  const bool show = resultHint_ && !flags_.Processing && !firstScreen_;
  scrollBox2_->SetHint(show ? Tr(TextId::FullScreenHint) : QString());
  scrollBox1_->SetWelcome(firstScreen_ ? Tr(TextId::FirstScreenTitle) : QString(),
                          firstScreen_ ? Tr(TextId::FirstScreenHint) : QString());
  scrollBox2_->SetBlank(firstScreen_);
}

void MainWindow::ShowUnscaled() {
  stretched_ = false;
  ApplyPictureRects();
}

void MainWindow::ShowStretched() {
  stretched_ = true;
  ApplyPictureRects();
}

void MainWindow::TrackBar3Change() {
  panel1_->HideZoomEdit();
  if (!flags_.Processing) {
    const QRect oldLeft = scrollBox1_->PictureRect();
    const QRect oldRight = scrollBox2_->PictureRect();
    stretched_ = true;
    ApplyPictureRects();
    // Each picture keeps its centre where it was.
    const QRect newLeft = scrollBox1_->PictureRect();
    const QRect newRight = scrollBox2_->PictureRect();
    if (zoomAnchor_) {
      // Both panels keep the point at the cursor's place, so they stay together.
      const QPoint a = *zoomAnchor_;
      auto keep = [a](QPoint o, QSize before, QSize after) {
        return QPoint(view::OffsetKeepingAnchor(o.x(), before.width(), after.width(), a.x()),
                      view::OffsetKeepingAnchor(o.y(), before.height(), after.height(), a.y()));
      };
      sourceOffset_ = keep(sourceOffset_, oldLeft.size(), newLeft.size());
      resultOffset_ = keep(resultOffset_, oldRight.size(), newRight.size());
    } else {
      sourceOffset_ -= QPoint((newLeft.width() - oldLeft.width()) / 2,
                              (newLeft.height() - oldLeft.height()) / 2);
      resultOffset_ -= QPoint((newRight.width() - oldRight.width()) / 2,
                              (newRight.height() - oldRight.height()) / 2);
    }
    BoundImages();
  }
  writezoomvalue();
}

void MainWindow::writezoomvalue() {
  panel1_->SetZoomText(QString::number(Zoom()) + QStringLiteral(" %"));
}

void MainWindow::CenterImages() {
  ApplyPictureRects();
  const QRect l = scrollBox1_->PictureRect();
  const QRect r = scrollBox2_->PictureRect();
  sourceOffset_ = QPoint(view::CentredOffset(scrollBox1_->width(), l.width()),
                         view::CentredOffset(scrollBox1_->height(), l.height()));
  resultOffset_ = QPoint(view::CentredOffset(scrollBox2_->width(), r.width()),
                         view::CentredOffset(scrollBox2_->height(), r.height()));
  ApplyPictureRects();
  UpdatePanels();
}

void MainWindow::BoundImages() {
  ApplyPictureRects();
  const QRect l = scrollBox1_->PictureRect();
  const QRect r = scrollBox2_->PictureRect();
  sourceOffset_ = QPoint(view::BoundOffset(sourceOffset_.x(), scrollBox1_->width(), l.width()),
                         view::BoundOffset(sourceOffset_.y(), scrollBox1_->height(), l.height()));
  resultOffset_ = QPoint(view::BoundOffset(resultOffset_.x(), scrollBox2_->width(), r.width()),
                         view::BoundOffset(resultOffset_.y(), scrollBox2_->height(), r.height()));
  ApplyPictureRects();
  UpdatePanels();
}

void MainWindow::MovePictures(int dx, int dy) {
  sourceOffset_ += QPoint(dx, dy);
  resultOffset_ += QPoint(dx, dy);
}

// --- Zoom controls -------------------------------------------------------------------------

void MainWindow::StartContinuousZoom(int mode, int interval, int firstDelay) {
  zoomMode_ = mode;
  accelTimer_->stop();
  scrollBox1_->SetShadowAllowed(false);
  scrollBox2_->SetShadowAllowed(false);
  zoomTickMs_ = interval;
  timer3_->start(firstDelay > 0 ? firstDelay : interval);
}

void MainWindow::StopContinuousZoom(bool resetCounter) {
  timer3_->stop();
  if (resetCounter) {
    zoomMode_ = 0;
    zoomCounter_ = 1;
  }
  scrollBox1_->SetShadowAllowed(true);
  scrollBox2_->SetShadowAllowed(true);
}

void MainWindow::Timer3Timer() {
  if (timer3_->isActive() && timer3_->interval() != zoomTickMs_) timer3_->setInterval(zoomTickMs_);
  if (flags_.Processing || zoomMode_ == 0) return;
  const int z = Zoom();
  SetZoom(zoomMode_ < 0 ? view::ZoomOutTick(z, zoomCounter_) : view::ZoomInTick(z, zoomCounter_));
  ++zoomCounter_;
}

void MainWindow::FitZoom() {
  if (scrollBox1_->width() > scrollBox2_->width()) {
    SetZoom(view::FitZoom(scrollBox1_->width(), scrollBox1_->height(), sourceWidth_, sourceHeight_, false));
  } else {
    SetZoom(view::FitZoom(scrollBox2_->width(), scrollBox2_->height(), resultWidth_, resultHeight_, false));
  }
  CenterImages();
}

void MainWindow::ZoomEntered(const QString& text) {
  const QByteArray digits = text.toLatin1();
  const std::optional<int> zoom = view::ParseTypedZoom(digits.constData());
  if (!zoom) {
    // "50%" or "2000": the box stays open and says what it takes.
    panel1_->MarkZoomRefused(Tr(TextId::ZoomRefused));
    return;
  }
  SetZoom(*zoom);
  panel1_->HideZoomEdit();
}

void MainWindow::ToolIconPressed(int icon, Qt::MouseButton button) {
  if (flags_.Processing && !cropMode_) return;
  if (cropMode_ && icon != 15 && icon != 16 && icon != 17) return;
  if (!panel1_->IconEnabled(icon)) return;
  if (icon == 15 || icon == 17) {
    if (button == Qt::RightButton) {
      const auto step = icon == 15 ? view::ZoomOutStep(Zoom()) : view::ZoomInStep(Zoom());
      if (step) SetZoom(*step);
      UpdatePanels();
    } else {
      // A click makes one step at once; held, the continuous zoom follows a moment later.
      SetZoom(view::ZoomClickStep(Zoom(), icon == 15 ? -1 : 1));
      StartContinuousZoom(icon == 15 ? -1 : 1, 10, 400);
    }
    return;
  }
  if (icon == 16) {
    accelTimer_->stop();
    return;
  }
  if (button != Qt::LeftButton) return;
  switch (icon) {
    case 1: Openpicture1Click(); break;
    case 2: Savepicture1Click(); break;
    case 3: Copierledessindanslepressepapier1Click(); break;
    case 4: Colleruneimagedepuislepressepapier1Click(); break;
    case 5: Annuler1Click(); break;
    case 6: Rtablir1Click(); break;
    case 7: CropStart(); break;
    case 8: ModifySourceImage1Click(); break;
    case 9: Sketchit1Click(); break;
    case 10: ShowTextWindow(); break;
    case 12: Action(QStringLiteral("About1"))->trigger(); break;
    default: break;
  }
}

void MainWindow::ToolIconReleased(int icon, Qt::MouseButton button) {
  if (icon == 15 || icon == 17) {
    if (button != Qt::RightButton) StopContinuousZoom(true);
    return;
  }
  if (icon != 16 || (flags_.Processing && !cropMode_)) return;
  if (button == Qt::LeftButton) {
    SetZoom(100);
    CenterImages();
  } else if (button == Qt::RightButton) {
    FitZoom();
  }
}

void MainWindow::PanelWheel(int /*panel*/, int notches) {
  if (flags_.Processing) return;
  SetZoom(view::WheelZoom(Zoom(), notches));
}

void MainWindow::PanelWheelAt(int /*panel*/, int notches, QPoint at) {
  if (flags_.Processing) return;
  // The picture point under the cursor stays under it, as in any picture viewer.
  zoomAnchor_ = at;
  SetZoom(view::WheelZoom(Zoom(), notches));
  zoomAnchor_.reset();
}

void MainWindow::PanelEntered(int /*panel*/) {
  if (panel1_->ZoomEditVisible()) panel1_->HideZoomEdit();
  writezoomvalue();
}

// --- Panning, context menus, full screen ---------------------------------------------------

void MainWindow::PanelPress(const PanelMouse& m) {
  if (fullScreenMark_ || !m.onPicture) return;
  if (m.panel == 2) {
    resultHint_ = false;
    UpdateHint();
  }
  if (cropMode_) {
    if (m.button == Qt::LeftButton) CropPress(m);
    return;
  }
  if (m.button == Qt::RightButton) {
    if (!flags_.Processing) ShowContextMenu(m);
    return;
  }
  if (m.button != Qt::LeftButton || (m.panel == 2 && flags_.Processing)) return;
  (m.panel == 1 ? dragLeft_ : dragRight_) = true;
  vx_ = vy_ = 0;
  lastCursor_ = m.global;
}

void MainWindow::PanelMove(const PanelMouse& m) {
  if (flags_.SilentRun) return;
  if (cropMode_) {
    if (selectionActive_ && m.panel == cropPanel_) CropMove(m);
    return;
  }
  if (!(m.panel == 1 ? dragLeft_ : dragRight_)) return;
  const QPoint d = m.global - lastCursor_;
  MovePictures(d.x(), d.y());
  vx_ = 2 * d.x();
  vy_ = 2 * d.y();
  BoundImages();
  lastCursor_ = m.global;
}

void MainWindow::PanelRelease(const PanelMouse& m) {
  if (cropMode_) {
    if (selectionActive_ && m.panel == cropPanel_) CropRelease(m);
    return;
  }
  bool& drag = m.panel == 1 ? dragLeft_ : dragRight_;
  if (!drag) return;
  drag = false;
  const bool allowed = m.panel == 1 || (!flags_.Processing && flags_.PreviewBusy == 0);
  if (allowed && view::GlideStarts(vx_, vy_, m.panel == 1 ? 10 : 7)) accelTimer_->start(100);
}

void MainWindow::AccelTimerTimer() {
  if (dragLeft_ || dragRight_) return;
  if (view::GlideEnds(vx_, vy_)) accelTimer_->stop();
  MovePictures(vx_, vy_);
  BoundImages();
  vx_ = view::GlideSlowdown(vx_);
  vy_ = view::GlideSlowdown(vy_);
}

void MainWindow::ShowContextMenu(const PanelMouse& m) {
  (m.panel == 1 ? popupActionBar1_ : popupActionBar2_)->popup(m.global);
}

void MainWindow::PanelDoubleClick(const PanelMouse& m) {
  if (!m.onPicture || flags_.Processing || fullScreenMark_) return;
  if (m.panel == 2) resultHint_ = false;
  ShowFullScreen(m.panel);
}

void MainWindow::ShowFullScreen(int panel) {
  dragLeft_ = dragRight_ = false;
  const QRect shown = Panel(panel).PictureRect();
  fullScreenMark_ = true;
  FullScreenView view(panel == 1 ? source_ : result_, shown.size(), this);
  view.exec();
  dragLeft_ = false;
  timer2_->start(300);
  UpdateHint();
}

void MainWindow::Timer2Timer() {
  timer2_->stop();
  fullScreenMark_ = false;
  dragLeft_ = dragRight_ = false;
}

// --- Divider -------------------------------------------------------------------------------

void MainWindow::DividerDragged(int x) {
  if (x < 0) {
    scrollBox1_->SetGuideLine(x + scrollBox1_->width());
    scrollBox2_->SetGuideLine(std::nullopt);
  } else {
    scrollBox1_->SetGuideLine(std::nullopt);
    scrollBox2_->SetGuideLine(x - 8);
  }
}

void MainWindow::DividerReleased(int x) {
  scrollBox1_->SetGuideLine(std::nullopt);
  scrollBox2_->SetGuideLine(std::nullopt);
  if (dividerOffset_ == view::kDividerDoubleClickMark) {
    dividerOffset_ = 0;
  } else {
    dividerOffset_ = (central_->width() / 2 - resizeImage_->x()) - x;
  }
  FormResize();
}

void MainWindow::DividerDoubleClicked() { dividerOffset_ = view::kDividerDoubleClickMark; }

void MainWindow::AnimateDivider(int target) {
  // Slide in steps of 75 pixels so the eye follows the boundary to its new place.
  auto* slide = new QTimer(this);
  connect(slide, &QTimer::timeout, this, [this, slide, target] {
    const int d = dividerOffset_;
    const int step = target > d ? std::min(75, target - d) : -std::min(75, d - target);
    SetDividerOffset(d + step);
    if (dividerOffset_ == target || step == 0 || dividerOffset_ == d) slide->deleteLater();
  });
  slide->start(8);
}

// --- Crop to selection ---------------------------------------------------------------------

void MainWindow::CropStart() {
  if (flags_.Processing || computation_->Busy()) return;
  cropMode_ = true;
  flags_.Processing = true;
  scrollBox1_->setCursor(Qt::CrossCursor);
  scrollBox2_->setCursor(Qt::CrossCursor);
  UpdateHint();
}

void MainWindow::CropPress(const PanelMouse& m) {
  const int z = Zoom();
  const Bitmap& picture = m.panel == 1 ? source_ : result_;
  cropPanel_ = m.panel;
  cropStart_ = QPoint(view::ToPicture(m.picture.x(), z), view::ToPicture(m.picture.y(), z));
  selectionActive_ = true;
  cropClean_ = std::make_unique<Bitmap>(picture);
  cropLight_ = std::make_unique<Bitmap>(picture);
  AdjustBrightness(*cropLight_, 55);
  cropLast_ = m.picture;
  CropMove(m);
}

void MainWindow::CropMove(const PanelMouse& m) {
  PanelView& panel = Panel(cropPanel_);
  const QRect shown = panel.PictureRect();
  // Auto-scroll while the selection reaches the panel's edges.
  const QPoint c = m.picture + shown.topLeft();
  int dx = 0, dy = 0;
  if (c.x() < 10 && shown.left() < 0) dx = 4;
  if (c.x() > panel.width() - 10 && shown.left() > panel.width() - shown.width()) dx = -4;
  if (c.y() < 10 && shown.top() < 0) dy = 4;
  if (c.y() > panel.height() - 10 && shown.top() > panel.height() - shown.height()) dy = -4;
  if (dx != 0 || dy != 0) {
    MovePictures(dx, dy);
    ApplyPictureRects();
  }
  cropLast_ = m.picture;
  const int z = Zoom();
  const int w = view::ToPicture(shown.width(), z);
  const int h = view::ToPicture(shown.height(), z);
  const view::Span xs = view::SelectionSpan(cropStart_.x(), view::ToPicture(m.picture.x(), z), w);
  const view::Span ys = view::SelectionSpan(cropStart_.y(), view::ToPicture(m.picture.y(), z), h);
  panel.SetSelection(cropLight_.get(), QRect(QPoint(xs.first, ys.first), QPoint(xs.last, ys.last)));
}

void MainWindow::CropRelease(const PanelMouse& m) {
  const int z = Zoom();
  const QRect shown = Panel(cropPanel_).PictureRect();
  const view::Span xs = view::CropSpan(cropStart_.x(), view::ToPicture(m.picture.x(), z),
                                       view::ToPicture(shown.width(), z));
  const view::Span ys = view::CropSpan(cropStart_.y(), view::ToPicture(m.picture.y(), z),
                                       view::ToPicture(shown.height(), z));
  EndCropMode();
  const bool ok = AskOkCancel(KeptMessage(TextId::CropQuestion),
                              Tr(TextId::CropToSelection));
  Panel(cropPanel_).SetSelection(nullptr, std::nullopt);
  cropClean_.reset();
  cropLight_.reset();
  const Bitmap& cropped = cropPanel_ == 1 ? source_ : result_;
  if (ok && xs.last > xs.first && ys.last > ys.first && xs.first < cropped.Width() &&
      ys.first < cropped.Height()) {
    const int zoom = Zoom();
    Bitmap& picture = cropPanel_ == 1 ? source_ : result_;
    picture = CutPicture(picture, xs, ys);
    Panel(cropPanel_).SetPicture(&picture);
    SetStoredSizes();
    if (cropPanel_ == 1) RefreshTitle();
    flags_.Processing = false;
    SetZoom(zoom);
    ShowStretched();
    CenterImages();
    SaveToHistory(cropPanel_);
  }
  flags_.Processing = false;
  UpdateHint();
}

void MainWindow::EndCropMode() {
  cropMode_ = false;
  selectionActive_ = false;
  scrollBox1_->setCursor(Qt::OpenHandCursor);
  scrollBox2_->setCursor(Qt::OpenHandCursor);
}

// --- Rotate, swap, invert ------------------------------------------------------------------

void MainWindow::RunPictureCommand(std::function<void(Bitmap&, Bitmap&)> work,
                                   std::function<void()> after) {
  if (flags_.Processing || computation_->Busy()) return;
  flags_.Processing = true;
  auto source = std::make_shared<Bitmap>(source_);
  auto result = std::make_shared<Bitmap>(result_);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  computation_->Start(
      ParameterSnapshot{}, false, [source, result, work](RunContext&) { work(*source, *result); },
      [this, source, result, after](std::exception_ptr failure) {
        QApplication::restoreOverrideCursor();
        flags_.Processing = false;
        if (ReportWorkerFailure(failure, [this](const std::exception& error) { Fail(error); })) return;
        source_ = std::move(*source);
        result_ = std::move(*result);
        scrollBox1_->SetPicture(&source_);
        scrollBox2_->SetPicture(&result_);
        after();
      });
}

void MainWindow::Rotateleft1Click() {
  RunPictureCommand(
      [](Bitmap& s, Bitmap& r) {
        RotateBitmap90(s, -90);
        RotateBitmap90(r, -90);
      },
      [this] {
        SetStoredSizes();
        ShowStretched();
        TrackBar3Change();
        CenterImages();
        RefreshTitle();  // the size in the status line turns with the picture
      });
}

void MainWindow::Rotateright1Click() {
  RunPictureCommand(
      [](Bitmap& s, Bitmap& r) {
        RotateBitmap90(s, 90);
        RotateBitmap90(r, 90);
      },
      [this] {
        SetStoredSizes();
        ShowStretched();
        TrackBar3Change();
        CenterImages();
        RefreshTitle();  // the size in the status line turns with the picture
      });
}

void MainWindow::Swap1Click() {
  if (flags_.Processing || computation_->Busy()) return;
  swapimages();
}

void MainWindow::swapimages() {
  const int zoom = Zoom();
  SetZoom(100);
  ShowUnscaled();
  std::swap(source_, result_);
  scrollBox1_->SetPicture(&source_);
  scrollBox2_->SetPicture(&result_);
  ShowStretched();
  SetStoredSizes();
  CenterImages();
  RefreshTitle();
  flags_.SourceChanged = true;
  panel2_->SetStatus(QString());
  lastEffect_.clear();
  SaveToHistory(1);
  SaveToHistory(2);
  SetZoom(zoom);
  CenterImages();
}

void MainWindow::Invert1Execute() { NegativeImages(); }

void MainWindow::NegativeImages() {
  RunPictureCommand(
      [](Bitmap& s, Bitmap& r) {
        InvertColours(s);
        InvertColours(r);
      },
      [this] {
        UpdatePanels();
        SaveToHistory(1);
        SaveToHistory(2);
      });
}

}  // namespace brumeleaf
