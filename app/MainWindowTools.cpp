// The main window's source tools: "Modify source image" (F9, tool icon 8), "Resize source
// image..." (Ctrl+R) and "Automatic contrast and sharpening" (Ctrl+A).

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>

#include "app/Computation.h"
#include "app/MainWindow.h"
#include "app/ModifyWindow.h"
#include "app/ParametersWindow.h"
#include "app/ResizeWindow.h"
#include "app/TextWindow.h"
#include "app/ToolBarPanel.h"
#include "app/UiText.h"
#include "app/WorkerFailure.h"
#include "tools/SourceTools.h"

namespace brumeleaf {

bool MainWindow::SourceToolsAvailable() const { return !source_.Empty(); }

void MainWindow::UpdateSourceToolCommands() {
  // Without a source there is nothing to change, and the resize rules would divide by its size.
  const bool available = SourceToolsAvailable();
  for (const char* name : {"Modifysourceimage1", "Resizesourceimage1", "Automaticcontrast1"})
    if (QAction* a = Action(QString::fromLatin1(name))) a->setEnabled(available);
  panel1_->SetIconEnabled(8, available);
}

void MainWindow::HideParametersForTool() {
  if (parametersWindow_ && parametersWindow_->isVisible()) {
    parametersHiddenByTool_ = true;
    parametersWindow_->hide();
  }
}

void MainWindow::ShowParametersAfterTool() {
  if (!parametersHiddenByTool_) return;
  parametersHiddenByTool_ = false;
  if (parametersWindow_) parametersWindow_->show();
}

// --- Modify source image -------------------------------------------------------------------

ModifyWindow& MainWindow::ModifyForm() {
  if (!modifyWindow_) {
    modifyWindow_ = std::make_unique<ModifyWindow>(this);
    modifyWindow_->source = [this]() -> const Bitmap& { return source_; };
    modifyWindow_->mean = [this] { return Mean(); };
    modifyWindow_->apply = [this](const ModifySettings& settings, std::function<void(bool)> done) {
      ApplySourceModification(settings, std::move(done));
    };
    modifyWindow_->activated = [this] {
      HideParametersForTool();
      // A running live preview ends; the window's own apply (Processing raised) goes on when
      // the user comes back to the window.
      if (!flags_.Processing) flags_.StopRequested.store(true);
    };
    modifyWindow_->closed = [this] { ShowParametersAfterTool(); };
    // The stop question of a run; the parameters window stays hidden behind this window.
    modifyWindow_->stop = [this] {
      if (!computation_->Busy()) return;
      AskStopQuestion([this](bool stop) {
        if (stop) flags_.StopRequested.store(true);
      });
    };
  }
  return *modifyWindow_;
}

void MainWindow::ModifySourceImage1Click() {
  UpdateSourceToolCommands();
  if (flags_.Processing || computation_->Busy() || !SourceToolsAvailable()) return;
  ModifyForm().Open();
}

void MainWindow::ApplySourceModification(const ModifySettings& settings, std::function<void(bool)> done) {
  if (flags_.Processing || computation_->Busy()) {
    done(false);
    return;
  }
  if (settings.Clamped().Neutral()) {
    // Nothing to compute; the step is still recorded, as "Apply changes" always records one.
    SaveToHistory(kSourcePanel);
    done(true);
    return;
  }
  // The chain runs on a copy: a stop or a failure leaves the source as it was and records
  // nothing, so the history never holds a half-modified picture.
  flags_.Processing = true;
  flags_.StopRequested.store(false);
  auto picture = std::make_shared<Bitmap>(source_);
  auto completed = std::make_shared<bool>(false);
  const SourceMean mean = Mean();
  QApplication::setOverrideCursor(Qt::BusyCursor);
  const bool started = computation_->Start(
      ParameterSnapshot{}, false,
      [picture, completed, settings, mean](RunContext& ctx) {
        *completed = ModifySourceImage(*picture, settings, mean, &ctx);
      },
      [this, picture, completed, done](std::exception_ptr failure) {
        QApplication::restoreOverrideCursor();
        flags_.Processing = false;
        if (ReportWorkerFailure(failure, [this](const std::exception& error) { Fail(error); }) || !*completed) {
          done(false);
          return;
        }
        source_ = std::move(*picture);
        scrollBox1_->SetPicture(&source_);
        flags_.SourceChanged = true;
        UpdatePanels();
        SaveToHistory(kSourcePanel);
        done(true);
      });
  if (!started) {
    QApplication::restoreOverrideCursor();
    flags_.Processing = false;
    done(false);
  }
}

// --- Resize source image -------------------------------------------------------------------

ResizeWindow& MainWindow::ResizeForm() {
  if (!resizeWindow_) {
    resizeWindow_ = std::make_unique<ResizeWindow>(this);
    resizeWindow_->desktopSize = [this] {
      const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
      if (!screen) return QSize();
      return screen->size() * screen->devicePixelRatio();  // physical pixels
    };
    resizeWindow_->showMessage = [this](const QString& text) { ShowMessage(text); };
    resizeWindow_->resize = [this](int width, int height) { ResizeOk(width, height); };
  }
  return *resizeWindow_;
}

void MainWindow::Redimensionnerlimagesource1Click() {
  UpdateSourceToolCommands();
  if (flags_.Processing || computation_->Busy() || !SourceToolsAvailable()) return;
  flags_.StopRequested.store(true);
  QApplication::processEvents();
  if (modifyWindow_ && modifyWindow_->isVisible()) modifyWindow_->close();
  HideParametersForTool();
  ResizeForm().Open(sourceWidth_, sourceHeight_);
  ShowParametersAfterTool();
}

void MainWindow::ResizeOk(int width, int height) {
  SetZoom(100);
  ShowUnscaled();
  if (!resizesource(width, height)) return;
  ShowStretched();
  CenterImages();
  RefreshTitle();
  // The live preview starts over on the new size: zoom 100 (its slider at 25), then the
  // recording below puts its crop back in the middle of the picture.
  if (parametersWindow_)
    if (auto* zoom = parametersWindow_->findChild<QSlider*>(QStringLiteral("TrackBar6"))) zoom->setValue(25);
  SaveToHistory(kSourcePanel);
  SaveToHistory(kResultPanel);
}

bool MainWindow::resizesource(int width, int height) {
  const bool reopenText = textWindow_ && textWindow_->isVisible();
  if (reopenText) textWindow_->hide();
  bool resized = false;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  try {
    resized = ResizeSource(source_, result_, width, height) == ResizeOutcome::Resized;
  } catch (const std::exception& error) {
    QApplication::restoreOverrideCursor();
    Fail(error);
    QApplication::setOverrideCursor(Qt::BusyCursor);
  }
  QApplication::restoreOverrideCursor();
  if (resized) {
    scrollBox1_->SetPicture(&source_);
    scrollBox2_->SetPicture(&result_);
    SetStoredSizes();
    CenterImages();
  }
  if (reopenText) ShowTextWindow();
  return resized;
}

// --- Automatic contrast and sharpening -----------------------------------------------------

void MainWindow::Automaticcontrast1Click() {
  UpdateSourceToolCommands();
  if (!SourceToolsAvailable()) return;
  RunPictureCommand([](Bitmap& source, Bitmap&) { AutomaticContrast(source); },
                    [this] {
                      UpdatePanels();
                      SaveToHistory(kSourcePanel);
                    });
}

}  // namespace brumeleaf
