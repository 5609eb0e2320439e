#pragma once
// The print preview: a small page with its shadow and the picture's place on it, the scale,
// the offsets, the placement (full page, centred, user-defined), the orientation and the
// printer. "OK" prints the result on the chosen printer; "Export as PDF" prints it into a PDF
// file at 600 dpi through the same layout.

#include <QDialog>

#include <functional>
#include <memory>

#include "imaging/Bitmap.h"
#include "output/PrintLayout.h"
#include "output/PrintPage.h"

class QLabel;
class QLineEdit;
class QPrinter;
class QRadioButton;
class QSpinBox;

namespace brumeleaf {

class PrintPreviewWindow : public QDialog {
  Q_OBJECT

 public:
  PrintPreviewWindow(const Bitmap& picture, QWidget* parent);
  ~PrintPreviewWindow() override;

  // Questions and messages, so that a test can answer them.
  std::function<bool(const QString& text)> AskOkCancel;
  std::function<void(const QString& text)> ShowMessage;
  std::function<QString()> ChoosePdfFile;

  int Scale() const { return scale_; }
  PageOrientation Orientation() const { return orientation_; }
  PrinterPage Page() const;
  PreviewPage Preview() const { return PreviewPageSize(Page(), orientation_); }
  PrintRequest Request() const;
  PrintRect Layout() const;

  // The controls' actions.
  void RadioButton1Click();  // full page
  void RadioButton2Click();  // centre
  void SetOrientation(PageOrientation orientation);
  void Edit1Changed(const QString& text);
  void StepScale(int by);
  void SetOffsets(int x, int y);
  // Prints on the printer; false (with a message) when it failed or was declined.
  bool PrintNow();
  // Prints into `path`; false (with a message) when it failed.
  bool ExportPdf(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void ChoosePrinter();
  void ShowValues();
  bool ConfirmOnPage(const PrintRect& rect);

  const Bitmap& picture_;
  std::unique_ptr<QPrinter> printer_;
  int scale_ = kPrintScaleDefault;
  PageOrientation orientation_ = PageOrientation::Portrait;
  bool updating_ = false;
  QLineEdit* edit1_ = nullptr;
  QSpinBox* upDown2_ = nullptr;
  QSpinBox* upDown3_ = nullptr;
  QRadioButton* radioButton1_ = nullptr;
  QRadioButton* radioButton2_ = nullptr;
  QRadioButton* radioButton3_ = nullptr;
  QRadioButton* radioButton4_ = nullptr;
  QRadioButton* radioButton5_ = nullptr;
  QLabel* memo1_ = nullptr;
};

}  // namespace brumeleaf
