#include "app/PrintPreviewWindow.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/PanelView.h"
#include "app/UiText.h"

namespace brumeleaf {

namespace {

constexpr int kControlsWidth = 170;
const QColor kShadowColour(100, 100, 100);  // 6579300

}  // namespace

PrintPreviewWindow::PrintPreviewWindow(const Bitmap& picture, QWidget* parent)
    : QDialog(parent), picture_(picture), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(Tr(TextId::PrintPreviewTitle));
  AskOkCancel = [this](const QString& text) {
    return QMessageBox::question(this, windowTitle(), text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
  };
  ShowMessage = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
  ChoosePdfFile = [this] {
    return QFileDialog::getSaveFileName(this, Tr(TextId::ExportPdfCommand), QString(), Tr(TextId::PdfFilesFilter));
  };

  auto* controls = new QWidget(this);
  controls->setFixedWidth(kControlsWidth);
  auto* column = new QVBoxLayout(controls);
  column->setContentsMargins(0, 0, 0, 0);

  auto* printerBox = new QGroupBox(Tr(TextId::PrinterLabel), controls);
  auto* printerRow = new QHBoxLayout(printerBox);
  memo1_ = new QLabel(printerBox);
  memo1_->setWordWrap(true);
  auto* bitBtn1 = new QToolButton(printerBox);
  bitBtn1->setText(QStringLiteral("..."));
  connect(bitBtn1, &QToolButton::clicked, this, &PrintPreviewWindow::ChoosePrinter);
  printerRow->addWidget(memo1_, 1);
  printerRow->addWidget(bitBtn1);
  column->addWidget(printerBox);

  auto* scaleBox = new QGroupBox(Tr(TextId::ImageScale), controls);
  auto* scaleRow = new QHBoxLayout(scaleBox);
  edit1_ = new QLineEdit(scaleBox);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  auto* down = new QToolButton(scaleBox);
  down->setArrowType(Qt::DownArrow);
  auto* up = new QToolButton(scaleBox);
  up->setArrowType(Qt::UpArrow);
  connect(down, &QToolButton::clicked, this, [this] { StepScale(-1); });
  connect(up, &QToolButton::clicked, this, [this] { StepScale(1); });
  connect(edit1_, &QLineEdit::textEdited, this, &PrintPreviewWindow::Edit1Changed);
  scaleRow->addWidget(edit1_, 1);
  scaleRow->addWidget(down);
  scaleRow->addWidget(up);
  column->addWidget(scaleBox);

  auto* orientationBox = new QGroupBox(Tr(TextId::Orientation), controls);
  auto* orientationRow = new QVBoxLayout(orientationBox);
  radioButton4_ = new QRadioButton(Tr(TextId::Vertical), orientationBox);
  radioButton5_ = new QRadioButton(Tr(TextId::Horizontal), orientationBox);
  orientationRow->addWidget(radioButton4_);
  orientationRow->addWidget(radioButton5_);
  connect(radioButton4_, &QRadioButton::clicked, this, [this] { SetOrientation(PageOrientation::Portrait); });
  connect(radioButton5_, &QRadioButton::clicked, this, [this] { SetOrientation(PageOrientation::Landscape); });
  column->addWidget(orientationBox);

  auto* placeBox = new QGroupBox(Tr(TextId::PositionAndSize), controls);
  auto* placeColumn = new QVBoxLayout(placeBox);
  radioButton1_ = new QRadioButton(Tr(TextId::FullPage), placeBox);
  radioButton2_ = new QRadioButton(Tr(TextId::CenterImage), placeBox);
  radioButton3_ = new QRadioButton(Tr(TextId::UserDefinedPosition), placeBox);
  radioButton2_->setChecked(true);
  connect(radioButton1_, &QRadioButton::clicked, this, &PrintPreviewWindow::RadioButton1Click);
  connect(radioButton2_, &QRadioButton::clicked, this, &PrintPreviewWindow::RadioButton2Click);
  auto offset = [&](QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(kPrintOffsetMin, kPrintOffsetMax);
    connect(s, &QSpinBox::valueChanged, this, [this] {
      if (updating_) return;
      radioButton3_->setChecked(true);
      update();
    });
    return s;
  };
  upDown2_ = offset(placeBox);
  upDown3_ = offset(placeBox);
  placeColumn->addWidget(radioButton1_);
  placeColumn->addWidget(radioButton2_);
  placeColumn->addWidget(radioButton3_);
  auto* offsets = new QHBoxLayout;
  offsets->addWidget(new QLabel(QStringLiteral("x"), placeBox));
  offsets->addWidget(upDown2_);
  offsets->addWidget(new QLabel(QStringLiteral("y"), placeBox));
  offsets->addWidget(upDown3_);
  placeColumn->addLayout(offsets);
  column->addWidget(placeBox);

  auto* pdf = new QPushButton(Tr(TextId::ExportPdfCommand), controls);
  connect(pdf, &QPushButton::clicked, this, [this] {
    const QString path = ChoosePdfFile();
    if (!path.isEmpty() && ExportPdf(path)) accept();
  });
  column->addWidget(pdf);
  // The platform's own OK and Cancel captions.
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, controls);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (PrintNow()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
  column->addStretch(1);

  auto* outer = new QHBoxLayout(this);
  outer->addWidget(controls);
  outer->addStretch(1);
  setMinimumSize(kPreviewPageAreaLeft + 260, 400);

  // First showing: the orientation follows the picture's shape.
  const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
  memo1_->setText(defaultPrinter.isNull() ? QStringLiteral("-") : defaultPrinter.printerName());
  SetOrientation(OrientationFor(picture_.Width(), picture_.Height()));
}

PrintPreviewWindow::~PrintPreviewWindow() = default;

PrinterPage PrintPreviewWindow::Page() const {
  return UsablePage(PageOf(*printer_), orientation_);
}

PrintRequest PrintPreviewWindow::Request() const {
  PrintRequest r;
  r.placement = PrintPlacement{scale_, upDown2_->value(), upDown3_->value()};
  r.orientation = orientation_;
  r.screenDpi = std::max(1, logicalDpiX());
  return r;
}

PrintRect PrintPreviewWindow::Layout() const {
  const PrintRequest r = Request();
  return LayoutPrint(picture_.Width(), picture_.Height(), Page(), r.screenDpi, r.placement, Preview());
}

void PrintPreviewWindow::ShowValues() {
  updating_ = true;
  if (!edit1_->hasFocus()) edit1_->setText(QString::fromStdString(ScaleText(scale_)));
  updating_ = false;
  update();
}

void PrintPreviewWindow::RadioButton1Click() {
  radioButton1_->setChecked(true);
  updating_ = true;
  upDown2_->setValue(0);
  upDown3_->setValue(0);
  updating_ = false;
  scale_ = FullPageScale(picture_.Width(), picture_.Height(), Page(), Request().screenDpi);
  edit1_->setText(QString::fromStdString(ScaleText(scale_)));
  update();
}

void PrintPreviewWindow::RadioButton2Click() {
  radioButton2_->setChecked(true);
  SetOffsets(0, 0);
  radioButton2_->setChecked(true);
}

void PrintPreviewWindow::SetOffsets(int x, int y) {
  upDown2_->setValue(x);
  upDown3_->setValue(y);
  update();
}

void PrintPreviewWindow::SetOrientation(PageOrientation orientation) {
  orientation_ = orientation;
  printer_->setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                         : QPageLayout::Portrait);
  (orientation == PageOrientation::Landscape ? radioButton5_ : radioButton4_)->setChecked(true);
  if (radioButton1_->isChecked()) RadioButton1Click();
  ShowValues();
}

void PrintPreviewWindow::Edit1Changed(const QString& text) {
  // Anything that is not a number is left alone until it becomes one.
  if (const std::optional<int> scale = ParseScale(text.toStdString())) {
    scale_ = *scale;
    radioButton3_->setChecked(true);
    update();
  }
}

void PrintPreviewWindow::StepScale(int by) {
  scale_ = std::clamp(scale_ + by, kPrintScaleMin, kPrintScaleMax);
  radioButton3_->setChecked(true);
  edit1_->setText(QString::fromStdString(ScaleText(scale_)));
  update();
}

void PrintPreviewWindow::ChoosePrinter() {
  QPrintDialog dialog(printer_.get(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  memo1_->setText(printer_->printerName());
  const bool landscape = printer_->pageLayout().orientation() == QPageLayout::Landscape;
  SetOrientation(landscape ? PageOrientation::Landscape : PageOrientation::Portrait);
}

bool PrintPreviewWindow::ConfirmOnPage(const PrintRect& rect) {
  return !rect.offPage || AskOkCancel(Tr(TextId::PictureOffPage));
}

bool PrintPreviewWindow::PrintNow() {
  if (!ConfirmOnPage(Layout())) return false;
  if (PageOf(*printer_).width <= 0 || QPrinterInfo::availablePrinters().isEmpty()) {
    ShowMessage(Tr(TextId::NoPrinterFound));
    if (printer_->outputFormat() == QPrinter::NativeFormat) return false;
  }
  const PrintOutcome outcome = PrintPicture(*printer_, picture_, Request());
  if (!outcome.printed) {
    ShowMessage(Tr(TextId::PrintFailed) + QLatin1Char(' ') + QString::fromStdString(outcome.message));
    return false;
  }
  return true;
}

bool PrintPreviewWindow::ExportPdf(const QString& path) {
  PrintRequest request = Request();
  request.fullPage = radioButton1_->isChecked();
  const PrintOutcome plan = PlanPrint(picture_, DefaultPage(orientation_), request);
  if (!ConfirmOnPage(plan.rect)) return false;
  const PrintOutcome outcome = PrintToPdf(picture_, path.toStdString(), request);
  if (!outcome.printed) {
    ShowMessage(Tr(TextId::PrintFailed) + QLatin1Char(' ') + QString::fromStdString(outcome.message));
    return false;
  }
  return true;
}

void PrintPreviewWindow::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  const PrinterPage page = Page();
  const PreviewPage preview = Preview();
  const PreviewRect at = PreviewPagePlace(preview, width(), height());
  QPainter p(this);
  p.fillRect(at.left + kPreviewShadowOffset, at.top + kPreviewShadowOffset, at.width, at.height, kShadowColour);
  p.fillRect(at.left, at.top, at.width, at.height, Qt::white);
  if (picture_.Empty()) return;
  const PrintRect r = Layout();
  const double sx = static_cast<double>(at.width) / page.width;
  const double sy = static_cast<double>(at.height) / page.height;
  const QRectF target(at.left + r.left * sx, at.top + r.top * sy, r.width * sx, r.height * sy);
  p.setClipRect(at.left, at.top, at.width, at.height);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(target, WrapBitmap(picture_));
}

}  // namespace brumeleaf
