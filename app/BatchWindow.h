#pragma once
// The batch window: a list of pictures (added with a dialog or dropped), an output folder, an
// "Overwrite existing files" box, "Process" and "Cancel". A batch loads each picture into the
// main window, runs the chosen effect through the processing driver as "Draw!" does, waits for
// the run's outcome (RunFinished) and writes the result under its batch name. The naming and
// the rules that keep files safe are the batch core's (batch/Batch.h). While a batch runs the
// main window's commands are disabled, L and R do not rotate, Escape stops without a question.

#include <QWidget>

#include <functional>

#include "batch/Batch.h"
#include "pipeline/Session.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace brumeleaf {

class BusyOverlay;
class MainWindow;

class BatchWindow : public QWidget {
  Q_OBJECT

 public:
  explicit BatchWindow(MainWindow& main);
  ~BatchWindow() override;

  // Dialogs go through these, so that a test can answer them.
  std::function<QStringList()> ChooseFiles;
  std::function<QString()> ChooseFolder;

  void AddFiles(const QStringList& paths);
  void RemoveSelected();
  QStringList Files() const;
  void SetOutputFolder(const QString& folder);
  QString OutputFolder() const;
  void SetOverwrite(bool on);
  // "Add file(s)" and "..."
  void Button1Click();
  void Button2Click();
  // "Process": the batch run.
  void Process();
  // "Cancel": the picture being drawn stops (nothing is written for it), no more are started.
  void Cancel();
  bool Running() const { return running_; }
  // The main window closes: the batch ends at once and the main window's commands come back.
  void Abandon();
  const BatchSummary& LastSummary() const { return summary_; }

 signals:
  void BatchFinished();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Next();
  void RunFinished(const JobOutcome& outcome);
  void Record(FileOutcome outcome);
  void Finish();
  void LockMainWindow(bool lock);

  MainWindow& main_;
  QListWidget* listBox1_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QPushButton* processButton_ = nullptr;
  BusyOverlay* overlay_ = nullptr;

  bool running_ = false;
  bool cancelled_ = false;
  std::vector<BatchEntry> plan_;
  std::size_t next_ = 0;
  int dpi_ = 300;
  bool overwrite_ = false;
  BatchSummary summary_;
  QMetaObject::Connection waiting_;
  std::vector<std::pair<QAction*, bool>> lockedActions_;
};

}  // namespace brumeleaf
