// The main window's printing commands.

#include "app/MainWindow.h"
#include "app/PrintPreviewWindow.h"

namespace brumeleaf {

void MainWindow::Print1Click() {
  if (flags_.Processing || result_.Empty()) return;
  PrintPreviewWindow window(result_, this);
  window.exec();
}

void MainWindow::ExportPdf1Click() {
  if (flags_.Processing || result_.Empty()) return;
  PrintPreviewWindow window(result_, this);
  const QString path = window.ChoosePdfFile();
  if (!path.isEmpty()) window.ExportPdf(path);
}

}  // namespace brumeleaf
