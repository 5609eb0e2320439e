// The main window's side of the drawing-parameters window: opening it and telling it about a
// new source picture.

#include "app/MainWindow.h"
#include "app/ParametersWindow.h"

namespace brumeleaf {

void MainWindow::Sketchit1Click() {
  if (flags_.Processing || parametersWindow_ == nullptr) return;
  parametersWindow_->ShowWindow();
}

void MainWindow::SourceReplaced() {
  if (parametersWindow_ != nullptr) parametersWindow_->ResetCrop();
}

}  // namespace brumeleaf
