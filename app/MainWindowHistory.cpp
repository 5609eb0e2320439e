// Undo and redo in the window.

#include <QAction>

#include "app/MainWindow.h"
#include "app/ToolBarPanel.h"

namespace brumeleaf {

void MainWindow::SaveToHistory(int /*panel*/) {}

void MainWindow::Annuler1Click() {}

void MainWindow::Rtablir1Click() {}

bool MainWindow::UndoEnabled() const { return false; }

bool MainWindow::RedoEnabled() const { return false; }

void MainWindow::UpdateHistoryCommands() {
  Action(QStringLiteral("Annuler1"))->setEnabled(UndoEnabled());
  Action(QStringLiteral("Rtablir1"))->setEnabled(RedoEnabled());
  panel1_->SetIconEnabled(5, UndoEnabled());
  panel1_->SetIconEnabled(6, RedoEnabled());
}

}  // namespace brumeleaf
