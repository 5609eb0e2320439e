// Undo and redo in the window, over the history model: recording the panels, restoring them
// with their names, and the commands' enabled state.

#include <QAction>

#include "app/Computation.h"
#include "app/MainWindow.h"
#include "app/StatusPanel.h"
#include "app/ToolBarPanel.h"
#include "history/History.h"

namespace brumeleaf {

void MainWindow::SaveToHistory(int panel) {
  try {
    if (panel == kSourcePanel) {
      history_->SaveToHistory(panel, source_, pictureName_);
    } else {
      history_->SaveToHistory(panel, result_, ResultStateName(flags_.SourceChanged, true, lastEffect_));
    }
  } catch (const std::exception& error) {
    Fail(error);
  }
  UpdateHistoryCommands();
  if (panel == kSourcePanel) SourceReplaced();
}

void MainWindow::SetResult(Bitmap result, const std::string& effectName) {
  partial_.reset();
  unsavedDrawing_ = true;
  result_ = std::move(result);
  SetStoredSizes();
  scrollBox2_->SetPicture(&result_);
  flags_.SourceChanged = false;
  lastEffect_ = effectName;
  SaveToHistory(kResultPanel);
  panel2_->SetStatus(QString::fromStdString(effectName) + QStringLiteral("   "));
  ShowStretched();
  CenterImages();
}

void MainWindow::ShowRestored(std::optional<RestoredState> state) {
  if (!state) return;
  if (state->panel == kSourcePanel) {
    source_ = std::move(state->picture);
    pictureName_ = state->name;
    titleName_ = state->name;
    scrollBox1_->SetPicture(&source_);
  } else {
    result_ = std::move(state->picture);
    lastEffect_ = state->name;
    panel2_->SetStatus(QString::fromStdString(state->name) + QStringLiteral("   "));
    scrollBox2_->SetPicture(&result_);
  }
}

void MainWindow::Annuler1Click() {
  if (flags_.Processing || computation_->Busy() || !history_->UndoEnabled()) return;
  const int zoom = Zoom();
  flags_.StopRequested.store(true);
  ShowRestored(history_->Undo());
  RefreshAfterHistory(zoom);
}

void MainWindow::Rtablir1Click() {
  if (flags_.Processing || computation_->Busy() || !history_->RedoEnabled()) return;
  const int zoom = Zoom();
  flags_.StopRequested.store(true);
  ShowRestored(history_->Redo());
  RefreshAfterHistory(zoom);
}

void MainWindow::RefreshAfterHistory(int zoom) {
  ShowUnscaled();
  SetStoredSizes();
  RefreshTitle();
  ShowStretched();
  UpdateHistoryCommands();
  SetZoom(zoom);
  CenterImages();
  SourceReplaced();
}

bool MainWindow::UndoEnabled() const { return history_->UndoEnabled(); }

bool MainWindow::RedoEnabled() const { return history_->RedoEnabled(); }

int MainWindow::HistoryCount() const { return history_->Count(); }

const SourceMean& MainWindow::Mean() const { return history_->Mean(); }

void MainWindow::UpdateHistoryCommands() {
  Action(QStringLiteral("Annuler1"))->setEnabled(UndoEnabled());
  Action(QStringLiteral("Rtablir1"))->setEnabled(RedoEnabled());
  panel1_->SetIconEnabled(5, UndoEnabled());
  panel1_->SetIconEnabled(6, RedoEnabled());
}

}  // namespace brumeleaf
