#pragma once
// The script window: a grid of steps (label, five slider values, hidden code), a popup menu
// of editing commands, and "Run script", which replays the steps on the main window's session.
// Each effect step goes through the processing driver exactly as "Draw!" does and the window
// waits for the run's outcome (RunFinished) before the next step; it never polls a flag.
// While a script runs, a busy overlay covers the main window's panels.

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

#include "imaging/Bitmap.h"
#include "pipeline/Session.h"
#include "script/Script.h"
#include "script/ScriptRunner.h"

class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

namespace brumeleaf {

class MainWindow;

// A translucent white sheet over the main window's panels that swallows the mouse while a
// script or a batch runs.
class BusyOverlay : public QWidget {
 public:
  explicit BusyOverlay(QWidget* over);
  void ShowWith(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString text_;
};

class ScriptWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ScriptWindow(MainWindow& main);
  ~ScriptWindow() override;

  // Questions go through these, so that a test can answer them. AskInteger returns nothing
  // when the prompt was cancelled; it only ever returns whole numbers within low..high.
  std::function<std::optional<int>(const QString& title, const QString& label, int low, int high)> AskInteger;
  std::function<QString(bool save)> ChooseFile;

  const Script& GetScript() const { return script_; }
  void SetScript(const Script& script);
  // The grid's current step row (1..RowCount-1).
  int CurrentRow() const;
  void SetCurrentRow(int row);
  QTableWidget* Grid() const { return grid_; }
  QMenu* Popup() const { return popup_; }

  // ---- popup commands on the current row
  void AddCurrentEffect();
  void AddOperation(int code);
  void AddResize(int code);
  void InsertLine();
  void DeleteLine();
  void NewScript();
  void LoadScript();
  void SaveScript();
  // A click on a value column: "# = " edits the cell, then the step is shown on the sliders.
  void EditCell(int row, int column);

  // ---- running
  void Run();
  // Escape: the step in progress stops and the script ends after it.
  void Stop();
  bool Running() const { return runner_ != nullptr; }
  // The main window closes: the run ends at once, while the session still exists.
  void Abandon();
  std::optional<Bitmap>& StoredPicture() { return stored_; }

 signals:
  void ScriptFinished(bool completed);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildPopup();
  void RefreshGrid();
  void RefreshRow(int row);
  void CellClicked(int gridRow, int column);
  void Continue();
  void StepFinished(const JobOutcome& outcome);
  void EndRun();
  void ShowPanels();

  MainWindow& main_;
  Script script_;
  QTableWidget* grid_ = nullptr;
  QMenu* popup_ = nullptr;
  QPushButton* runButton_ = nullptr;
  BusyOverlay* overlay_ = nullptr;
  std::unique_ptr<ScriptRunner> runner_;
  std::optional<Bitmap> stored_;
  QMetaObject::Connection waiting_;
  bool stopAsked_ = false;
};

}  // namespace brumeleaf
