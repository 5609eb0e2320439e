// The status display of a run and its stop, the idle reset, and the window's start-up and
// shutdown: settings, command line, update check.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <string>

#include "app/Computation.h"
#include "app/MainWindow.h"
#include "app/BatchWindow.h"
#include "app/ParametersWindow.h"
#include "app/ScriptBatchMenus.h"
#include "app/StatusPanel.h"
#include "app/ToolBarPanel.h"
#include "app/UiText.h"
#include "app/UpdateCheck.h"
#include "i18n/Language.h"
#include "i18n/LocaleIds.h"
#include "imaging/Progress.h"
#include "io/Download.h"
#include "settings/ParameterFile.h"

namespace brumeleaf {

// --- Progress and stop ---------------------------------------------------------------------

void MainWindow::ShowProgress(int step, int total, int pass, int passes) {
  if (!flags_.Processing || passes == 0 || flags_.SilentRun) return;
  const ProgressPhase phase = ClassifyProgress(step, total, pass, passes);
  if (phase == ProgressPhase::End) {
    panel2_->ShowRunning(false);
    ShowRunMenus(false);
    return;
  }
  if (phase == ProgressPhase::Start) {
    panel2_->ShowRunning(true);
    ShowRunMenus(true);
  }
  panel2_->SetPosition(ProgressPercent(step, total, pass, passes));
  // Reports that arrive while the question is open (the worker posted them before it paused)
  // must not ask again.
  if (step < total && !stopQuestionOpen_ && panel2_->Position() >= panel2_->StopPercent() &&
      !flags_.StopRequested) {
    PercentTimerTimer();
  }
}

void MainWindow::PercentTimerTimer() {
  if (panel2_->PercentText() == QLatin1String("100%")) return;
  if (ShouldStopAtPercent(panel2_->Position(), panel2_->StopPercent(), flags_.StopRequested)) {
    Canceloperation1Click();
  }
}

void MainWindow::AskStopQuestion(const std::function<void(bool stop)>& decide) {
  // The run waits at its next report while the question is open, as it would have done when it
  // shared the interface thread; the answer is applied before it goes on.
  if (stopQuestionOpen_) return;
  stopQuestionOpen_ = true;
  computation_->SetPaused(true);
  const bool stop = AskOkCancel(KeptMessage(TextId::StopQuestion),
                                Tr(TextId::InterruptProcess));
  stopQuestionOpen_ = false;
  decide(stop);
  computation_->SetPaused(false);
}

void MainWindow::Canceloperation1Click() {
  AskStopQuestion([this](bool stop) {
    if (stop) {
      flags_.StopRequested.store(true);
      flags_.UserCancelled.store(true);
      ShowProgress(101, 100, 1, 1);
      // The window comes back as soon as the run has ended (it cannot show during the run).
      flags_.ReopenParameters = true;
    } else {
      flags_.StopRequested.store(false);
      panel2_->SetStopPercent(100);
    }
  });
}

void MainWindow::EscapePressed() {
  if (cropMode_) {
    // Escape leaves crop mode without a trace, as a cancelled selection does.
    Panel(cropPanel_).SetSelection(nullptr, std::nullopt);
    cropClean_.reset();
    cropLight_.reset();
    EndCropMode();
    flags_.Processing = false;
    UpdateHint();
    return;
  }
  if (!computation_->Busy()) return;
  AskStopQuestion([this](bool stop) {
    if (stop) {
      flags_.StopRequested.store(true);
      flags_.ReopenParameters = true;
    }
  });
}

void MainWindow::WaitForComputation() { computation_->WaitUntilIdle(); }

void MainWindow::IdleReset() {
  if (computation_->Busy() || cropMode_ || !isVisible()) return;
  flags_.StopRequested.store(false);
  flags_.PreviewBusy = 0;
  flags_.Processing = false;
  flags_.SilentRun = false;
  const BatchWindow* batch = FindBatchWindow(*this);
  if (flags_.ReopenParameters && isActiveWindow() && parametersWindow_ && !(batch && batch->isVisible())) {
    flags_.ReopenParameters = false;
    parametersWindow_->Reopen();
  }
  const QPoint cursor = mapFromGlobal(QCursor::pos());
  const QRect tools(panel1_->mapTo(this, QPoint(0, 0)), panel1_->size());
  if (!tools.contains(cursor)) panel1_->HideHighlight();
  const int statusTop = panel2_->mapTo(this, QPoint(0, 0)).y();
  panel2_->SetMarkerShown(cursor.y() > statusTop - 100);
}

// --- Start-up ------------------------------------------------------------------------------

namespace {

std::filesystem::path ExecutableFolder() {
  return QCoreApplication::applicationDirPath().toStdString();
}

std::filesystem::path ConfigHome() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
}

// The language menu's entry for the user's locale, by the locale's numeric identifier; English
// when the identifier table has none for it.
std::string LanguageForLocale() {
  const QLocale locale = QLocale::system();
  if (locale.language() == QLocale::C) return "English";
  return std::string(DefaultLanguageForLocale(QLocale::languageToCode(locale.language()).toStdString(),
                                              QLocale::scriptToCode(locale.script()).toStdString(),
                                              QLocale::territoryToCode(locale.territory()).toStdString()));
}

}  // namespace

bool MainWindow::SilentStart() const { return arguments_.value(0) == QLatin1String("-silent"); }

void MainWindow::ShowAtStart() {
  if (SilentStart()) {
    showMinimized();
  } else {
    show();
  }
}

void MainWindow::FirstIdle() {
  if (firstIdleDone_) return;
  firstIdleDone_ = true;
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &MainWindow::IdleReset);
  const QRect desktop = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
  WindowPlacement placement = DefaultPlacement(desktop.width(), desktop.height());
  placement.left += desktop.left();
  placement.top += desktop.top();
  settings_ = AppSettings{};
  std::string refused;
  if (LoadSettingsFile(SettingsFilePath(ExecutableFolder(), ConfigHome()), settings_, &refused) ==
      SettingsReadResult::Refused) {
    qWarning("%s", refused.c_str());
  }
  if (settings_.placementRead) {
    placement = FitPlacement(settings_.placement, desktop.left(), desktop.top(), desktop.width(),
                             desktop.height());
  }
  RefreshTitle();
  if (settings_.language == "void") settings_.language = LanguageForLocale();
  ApplyLanguage(settings_.language);
  parameters_.ApplyLanguage(CurrentLanguage());
  parameters_.RestoreStoredTexture(settings_.textureNumber, settings_.textureStrength);
  session_.Settings().MutableFinishing().frame = settings_.frame;
  session_.Settings().MutableFinishing().caption = settings_.caption;
  languageApplied_ = true;
  SetStyle(settings_.style == 1   ? view::WindowStyle::Charcoal
           : settings_.style == 2 ? view::WindowStyle::Slate
                                  : view::WindowStyle::Obsidian);
  UpdatePanels();
  random_.SetSeed(static_cast<std::uint32_t>(QTime::currentTime().msec()));
  if (settings_.updateCheck && random_.Next(3) == 0) Check4Update(false);
  if (placement.Maximised()) {
    // A silent start stays minimised; restored, the window comes up maximised.
    if (SilentStart()) {
      setWindowState(windowState() | Qt::WindowMaximized | Qt::WindowMinimized);
    } else {
      maxForm1Timer_->start(25);
    }
  } else if (!isMaximized()) {
    setGeometry(placement.left, placement.top, placement.width, placement.height);
  }
  if (SilentStart()) {
    showMinimized();
    // Asked once more when the window manager has taken the window: some restore a window
    // that asked to start minimised, while the toolkit still believes it is.
    QTimer::singleShot(300, this, [this] {
      if (QWindow* window = windowHandle()) window->showMinimized();
    });
  }
  if (!arguments_.isEmpty()) LoadImageatStartup(arguments_.first());
}

void MainWindow::LoadImageatStartup(const QString& argument) {
  const std::string a = argument.toUtf8().toStdString();
  if (IsWebAddress(a)) {
    StartDownload(argument);
    return;
  }
  const std::string ext = LowerExtension(a);
  if (IsLoadablePicture(a)) {
    // Fitted like a picture opened from the menu, once the window has its final size.
    if (LoadImageFile(argument)) {
      // Saving offers the opened file's name, as after "Open a picture"; the title keeps the path.
      pictureName_ = QFileInfo(argument).fileName().toUtf8().toStdString();
      QTimer::singleShot(0, this, [this] { FitOpenedPicture(); });
    }
  } else if (ext == ".bfp") {
    if (!QFileInfo::exists(argument)) {
      ShowMessage(Tr(TextId::FileNotFound));
      return;
    }
    try {
      LoadParameterFile(std::filesystem::path(a), parameters_);
    } catch (const std::exception& error) {
      Fail(error);
    }
  }
}

void MainWindow::Check4Update(bool fromMenu) {
  if (updateThread_ && updateThread_->isRunning()) return;
  // Fetched on a thread of its own: a slow or absent network never holds up the window.
  QPointer<MainWindow> self(this);
  updateThread_.reset(QThread::create([self, fromMenu] {
    std::string remote;
    bool reached = true;
    try {
      DownloadLimits limits;
      limits.maxBytes = 1024;
      limits.timeoutSeconds = 6;
      limits.connectTimeoutSeconds = 4;
      const std::vector<std::uint8_t> bytes = FetchAddress(kVersionAddress, limits);
      remote = RemoteVersion(std::string(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 10)));
    } catch (const std::exception&) {
      reached = false;
    }
    QMetaObject::invokeMethod(qApp, [self, fromMenu, reached, remote] {
      if (self) self->ShowUpdateAnswer(fromMenu, reached, remote);
    });
  }));
  updateThread_->start();
}

bool MainWindow::UpdateCheckRunning() const { return updateThread_ && updateThread_->isRunning(); }

void MainWindow::ShowUpdateAnswer(bool fromMenu, bool reached, const std::string& remote) {
  if (!reached) {
    if (fromMenu) ShowMessage(Tr(TextId::UpdateServerUnreachable));
    return;
  }
  if (remote != kProgramVersion) {
    const QString text = KeptMessage(TextId::NewVersionQuestion) +
                         QStringLiteral(" ") + QString::fromStdString(remote) + QStringLiteral(" ?");
    if (AskOkCancel(text, QStringLiteral("Brumeleaf"))) {
      QDesktopServices::openUrl(QUrl(QString::fromLatin1(kDownloadPage)));
    }
  } else if (fromMenu) {
    ShowMessage(KeptMessage(TextId::UpToDate));
  }
}

// --- Shutdown ------------------------------------------------------------------------------

WindowPlacement MainWindow::CurrentPlacement() const {
  if (isMaximized()) return {0, 0, -1, -1};
  const QRect g = geometry();
  return {g.left(), g.top(), g.width(), g.height()};
}

void MainWindow::WriteSettings() {
  if (!settingsWritable_) return;
  settings_.style = static_cast<int>(style_);
  settings_.textureNumber = parameters_.Finishing().storedTextureNumber;
  settings_.textureStrength = parameters_.Finishing().storedStrength;
  settings_.addFrameChecked = parameters_.Finishing().addFrame;
  settings_.frame = session_.Settings().Finishing().frame;
  settings_.caption = session_.Settings().Finishing().caption;
  SaveSettingsFile(SettingsFilePath(ExecutableFolder(), ConfigHome()), settings_, CurrentPlacement());
}

}  // namespace brumeleaf
