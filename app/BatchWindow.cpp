#include "app/BatchWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/ProcessingDriver.h"
#include "app/ScriptWindow.h"
#include "app/UiText.h"

namespace brumeleaf {

namespace fs = std::filesystem;

namespace {
QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }
}  // namespace

BatchWindow::BatchWindow(MainWindow& main) : QWidget(&main, Qt::Tool), main_(main) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(Tr(TextId::BatchTitle));
  setAcceptDrops(true);
  ChooseFiles = [this] {
    return QFileDialog::getOpenFileNames(
        this, Tr(TextId::AddFiles), QString(),
        QStringLiteral("All Image Files (*.jpg *.jpeg *.png *.bmp);;PNG Image Files (*.png);;"
                       "BMP Image Files (*.bmp);;JPEG Image Files (*.jpg *.jpeg)"));
  };
  ChooseFolder = [this] { return QFileDialog::getExistingDirectory(this, QStringLiteral("Select a directory")); };

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(Tr(TextId::FilesToProcess), this), 0, 0, 1, 3);
  listBox1_ = new QListWidget(this);
  listBox1_->setObjectName(QStringLiteral("ListBox1"));
  listBox1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listBox1_->setMinimumWidth(350);
  listBox1_->installEventFilter(this);
  layout->addWidget(listBox1_, 1, 0, 1, 3);
  auto* add = new QPushButton(Tr(TextId::AddFiles), this);
  connect(add, &QPushButton::clicked, this, &BatchWindow::Button1Click);
  layout->addWidget(add, 2, 0);
  layout->addWidget(new QLabel(Tr(TextId::OutputDirectory), this), 3, 0, 1, 3);
  edit1_ = new QLineEdit(this);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  layout->addWidget(edit1_, 4, 0, 1, 2);
  auto* choose = new QPushButton(QStringLiteral("..."), this);
  connect(choose, &QPushButton::clicked, this, &BatchWindow::Button2Click);
  layout->addWidget(choose, 4, 2);
  checkBox1_ = new QCheckBox(Tr(TextId::OverwriteExisting), this);
  layout->addWidget(checkBox1_, 5, 0, 1, 3);
  processButton_ = new QPushButton(Tr(TextId::BatchProcess), this);
  connect(processButton_, &QPushButton::clicked, this, &BatchWindow::Process);
  layout->addWidget(processButton_, 6, 1);
  auto* cancel = new QPushButton(Tr(TextId::BatchCancel), this);
  connect(cancel, &QPushButton::clicked, this, &BatchWindow::Cancel);
  layout->addWidget(cancel, 6, 2);
  overlay_ = new BusyOverlay(main_.centralWidget());
}

BatchWindow::~BatchWindow() { QObject::disconnect(waiting_); }

void BatchWindow::Abandon() {
  if (!running_) return;
  QObject::disconnect(waiting_);
  waiting_ = {};
  main_.Flags().StopRequested.store(true);
  running_ = false;
  processButton_->setEnabled(true);
  LockMainWindow(false);
}

void BatchWindow::AddFiles(const QStringList& paths) {
  if (running_) return;
  for (const QString& path : paths) listBox1_->addItem(path);
  if (edit1_->text().isEmpty() && !paths.isEmpty()) edit1_->setText(QFileInfo(paths.front()).absolutePath());
}

void BatchWindow::RemoveSelected() {
  if (running_) return;
  for (int i = listBox1_->count() - 1; i >= 0; --i)
    if (listBox1_->item(i)->isSelected()) delete listBox1_->takeItem(i);
}

QStringList BatchWindow::Files() const {
  QStringList files;
  for (int i = 0; i < listBox1_->count(); ++i) files << listBox1_->item(i)->text();
  return files;
}

void BatchWindow::SetOutputFolder(const QString& folder) { edit1_->setText(folder); }
QString BatchWindow::OutputFolder() const { return edit1_->text(); }
void BatchWindow::SetOverwrite(bool on) { checkBox1_->setChecked(on); }

void BatchWindow::Button1Click() {
  if (running_) return;
  AddFiles(ChooseFiles());
}

void BatchWindow::Button2Click() {
  if (running_) return;
  const QString folder = ChooseFolder();
  if (!folder.isEmpty()) edit1_->setText(folder);
}

void BatchWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void BatchWindow::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  AddFiles(paths);
}

void BatchWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && running_) {
    Cancel();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool BatchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == listBox1_ && key == Qt::Key_Delete) {
      RemoveSelected();
      return true;
    }
    // While a batch runs: Escape stops it without the stop question; L and R do nothing.
    if (running_ && key == Qt::Key_Escape) {
      Cancel();
      return true;
    }
    if (running_ && (key == Qt::Key_L || key == Qt::Key_R)) return true;
  }
  return QWidget::eventFilter(watched, event);
}

void BatchWindow::LockMainWindow(bool lock) {
  if (lock) {
    lockedActions_.clear();
    for (QAction* action : main_.findChildren<QAction*>()) {
      lockedActions_.emplace_back(action, action->isEnabled());
      action->setEnabled(false);
    }
    qApp->installEventFilter(this);
    overlay_->ShowWith(Tr(TextId::BatchTitle) + QStringLiteral(" ..."));
  } else {
    for (auto& [action, enabled] : lockedActions_) action->setEnabled(enabled);
    lockedActions_.clear();
    qApp->removeEventFilter(this);
    overlay_->hide();
  }
}

void BatchWindow::Process() {
  if (running_ || main_.Flags().Processing || main_.ParametersForm().Driver().RunInProgress()) return;
  const QStringList files = Files();
  if (files.isEmpty()) {
    hide();
    return;
  }
  std::vector<fs::path> inputs;
  for (const QString& file : files) inputs.emplace_back(file.toStdString());
  const fs::path folder = edit1_->text().trimmed().toStdString();
  std::error_code ec;
  try {
    plan_ = PlanBatch(inputs, folder);
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) throw BatchError(folder.string() + ": cannot create the output folder");
  } catch (const BatchError& e) {
    main_.ShowMessage(FromUtf8(e.what()));
    return;
  }
  overwrite_ = checkBox1_->isChecked();
  summary_ = BatchSummary{};
  next_ = 0;
  cancelled_ = false;
  running_ = true;
  processButton_->setEnabled(false);
  main_.ParametersForm().hide();
  LockMainWindow(true);
  QTimer::singleShot(0, this, &BatchWindow::Next);
}

void BatchWindow::Cancel() {
  if (!running_) {
    hide();
    return;
  }
  cancelled_ = true;
  main_.Flags().StopRequested.store(true);
}

void BatchWindow::Record(FileOutcome outcome) {
  switch (outcome.kind) {
    case FileOutcome::Kind::Written: ++summary_.written; break;
    case FileOutcome::Kind::Skipped: ++summary_.skipped; break;
    case FileOutcome::Kind::Failed: ++summary_.failed; break;
    case FileOutcome::Kind::Cancelled: ++summary_.cancelled; break;
  }
  summary_.files.push_back(std::move(outcome));
}

void BatchWindow::Next() {
  while (next_ < plan_.size()) {
    const BatchEntry& entry = plan_[next_];
    listBox1_->setCurrentRow(static_cast<int>(next_));
    FileOutcome outcome;
    outcome.index = entry.index;
    outcome.input = entry.input;
    outcome.output = entry.output;
    std::error_code ec;
    if (cancelled_) {
      outcome.kind = FileOutcome::Kind::Cancelled;
      outcome.message = "the batch was stopped";
    } else if (!entry.conflict.empty()) {
      outcome.kind = FileOutcome::Kind::Skipped;
      outcome.message = entry.conflict;
    } else if (!overwrite_ && fs::exists(entry.output, ec)) {
      outcome.kind = FileOutcome::Kind::Skipped;
      outcome.message = "a file of that name exists";
    } else {
      // Read here first, so an unreadable file is reported in the summary instead of stopping
      // the batch with a message box.
      PictureInfo info;
      try {
        LoadPicture(entry.input.string(), &info);
      } catch (const std::exception& e) {
        outcome.kind = FileOutcome::Kind::Failed;
        outcome.message = e.what();
        Record(std::move(outcome));
        ++next_;
        continue;
      }
      dpi_ = info.dpi;
      if (!main_.OpenPictureFile(QString::fromStdString(entry.input.string()))) {
        outcome.kind = FileOutcome::Kind::Failed;
        outcome.message = "the picture could not be opened";
        Record(std::move(outcome));
        ++next_;
        continue;
      }
      ProcessingDriver& driver = main_.ParametersForm().Driver();
      waiting_ = connect(&driver, &ProcessingDriver::RunFinished, this, &BatchWindow::RunFinished);
      driver.Arm(100);
      return;
    }
    Record(std::move(outcome));
    ++next_;
  }
  Finish();
}

void BatchWindow::RunFinished(const JobOutcome& run) {
  QObject::disconnect(waiting_);
  waiting_ = {};
  main_.Flags().ReopenParameters = false;
  const BatchEntry& entry = plan_[next_];
  FileOutcome outcome;
  outcome.index = entry.index;
  outcome.input = entry.input;
  outcome.output = entry.output;
  if (run.Failed()) {
    outcome.kind = FileOutcome::Kind::Failed;
    outcome.message = run.message;
  } else if (!run.Completed() || cancelled_) {
    // A stopped run is never saved as a result.
    outcome.kind = FileOutcome::Kind::Cancelled;
    outcome.message = "stopped while drawing";
    cancelled_ = true;
  } else {
    try {
      const bool written = WriteBatchResult(main_.Result(), entry.output, dpi_, overwrite_);
      outcome.kind = written ? FileOutcome::Kind::Written : FileOutcome::Kind::Skipped;
      if (!written) outcome.message = "a file of that name appeared meanwhile";
    } catch (const std::exception& e) {
      outcome.kind = FileOutcome::Kind::Failed;
      outcome.message = e.what();
    }
  }
  Record(std::move(outcome));
  ++next_;
  QTimer::singleShot(0, this, &BatchWindow::Next);
}

void BatchWindow::Finish() {
  running_ = false;
  processButton_->setEnabled(true);
  LockMainWindow(false);
  main_.Flags().StopRequested.store(false);
  // Written pictures leave the list; what was skipped, failed or not done stays for another go.
  for (auto it = summary_.files.rbegin(); it != summary_.files.rend(); ++it)
    if (it->kind == FileOutcome::Kind::Written) delete listBox1_->takeItem(static_cast<int>(it->index));
  QString text = FromUtf8(SummaryLine(summary_));
  for (const FileOutcome& file : summary_.files) {
    if (file.kind == FileOutcome::Kind::Skipped || file.kind == FileOutcome::Kind::Failed)
      text += QStringLiteral("\n") + FromUtf8(file.input.filename().string() + ": " + file.message);
  }
  emit BatchFinished();
  main_.ShowMessage(text);
}

}  // namespace brumeleaf
