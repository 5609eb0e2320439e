#include "app/ModifyWindow.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "app/PanelView.h"
#include "app/UiText.h"

namespace brumeleaf {

namespace {

constexpr int kPreviewMs = 200;
constexpr int kBorder = 2;

struct SliderRow {
  TextId caption;
  int low;
  int high;
};
constexpr SliderRow kRows[5] = {{TextId::Luminosity, -100, 100},
                                {TextId::ContrastLabel, -100, 100},
                                {TextId::Saturation, -100, 100},
                                {TextId::BlurSharpen, -5, 5},
                                {TextId::Simplification, 0, 9}};

}  // namespace

// The 150 x 150 preview inside its 2-pixel black border; a held left button pans it.
class ModifyPreviewBox : public QWidget {
 public:
  ModifyPreviewBox(ModifyWindow& window, const Bitmap& image) : QWidget(&window), window_(window), image_(image) {
    setObjectName(QStringLiteral("Image1"));
    setFixedSize(kModifyPreviewSize + 2 * kBorder, kModifyPreviewSize + 2 * kBorder);
    setCursor(Qt::OpenHandCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!image_.Empty()) p.drawImage(kBorder, kBorder, WrapBitmap(image_));
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    dragging_ = true;
    last_ = e->position().toPoint();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!dragging_) return;
    const QPoint at = e->position().toPoint();
    window_.PreviewDragged(at.x() - last_.x(), at.y() - last_.y());
    last_ = at;
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    window_.PreviewReleased();
  }

 private:
  ModifyWindow& window_;
  const Bitmap& image_;
  bool dragging_ = false;
  QPoint last_;
};

ModifyWindow::ModifyWindow(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("Form11"));
  Build();
  Retranslate();
}

void ModifyWindow::Build() {
  auto* grid = new QGridLayout(this);
  for (int row = 1; row <= 5; ++row) {
    const SliderRow& r = kRows[row - 1];
    auto* caption = new QLabel(this);
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QStringLiteral("TrackBar%1").arg(row));
    slider->setRange(r.low, r.high);
    slider->setMinimumWidth(200);
    auto* value = new QLabel(QStringLiteral("0"), this);
    value->setObjectName(QStringLiteral("Label%1").arg(row));
    value->setMinimumWidth(32);
    grid->addWidget(caption, 2 * (row - 1), 0, 1, 2);
    grid->addWidget(slider, 2 * (row - 1) + 1, 0);
    grid->addWidget(value, 2 * (row - 1) + 1, 1);
    captions_[static_cast<std::size_t>(row - 1)] = caption;
    trackBars_[static_cast<std::size_t>(row - 1)] = slider;
    labels_[static_cast<std::size_t>(row - 1)] = value;
    connect(slider, &QSlider::valueChanged, this, [this, row] { SliderChanged(row); });
    connect(slider, &QSlider::sliderReleased, this, &ModifyWindow::SliderReleased);
  }
  preview_ = new ModifyPreviewBox(*this, image1_);
  grid->addWidget(preview_, 0, 2, 10, 1, Qt::AlignCenter);
  button3_ = new QPushButton(this);
  button3_->setObjectName(QStringLiteral("Button3"));
  button2_ = new QPushButton(this);
  button2_->setObjectName(QStringLiteral("Button2"));
  button1_ = new QPushButton(this);
  button1_->setObjectName(QStringLiteral("Button1"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button3_);
  buttons->addStretch();
  buttons->addWidget(button2_);
  buttons->addWidget(button1_);
  grid->addLayout(buttons, 10, 0, 1, 3);
  connect(button3_, &QPushButton::clicked, this, &ModifyWindow::Button3Click);
  connect(button2_, &QPushButton::clicked, this, &ModifyWindow::Button2Click);
  connect(button1_, &QPushButton::clicked, this, &ModifyWindow::Button1Click);
  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setSingleShot(true);
  connect(timer1_, &QTimer::timeout, this, &ModifyWindow::Timer1Timer);
}

void ModifyWindow::Retranslate() {
  setWindowTitle(Tr(TextId::ModifyTitle));
  for (int row = 0; row < 5; ++row) captions_[static_cast<std::size_t>(row)]->setText(Tr(kRows[row].caption));
  button3_->setText(Tr(TextId::ResetValues));
  button2_->setText(Tr(TextId::ApplyChanges));
  button1_->setText(Tr(TextId::DonationCancel));
  setLayoutDirection(CurrentLanguage().RightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
}

ModifySettings ModifyWindow::Settings() const {
  return ModifySettings{trackBars_[0]->value(), trackBars_[1]->value(), trackBars_[2]->value(),
                        trackBars_[3]->value(), trackBars_[4]->value()};
}

void ModifyWindow::SetSlider(int row, int value) { Slider(row)->setValue(value); }

void ModifyWindow::Open() {
  Retranslate();
  timer1_->stop();
  pending_ = false;
  offset_ = QPoint(110, 0);
  resetting_ = true;
  Button3Click();
  resetting_ = false;
  DrawRawRegion();
  show();
  raise();
  activateWindow();
}

void ModifyWindow::DrawRawRegion() {
  // Only the clamped offset is ever kept, so a drag back from beyond an edge moves at once.
  const Bitmap& s = source();
  offset_ = QPoint(ClampPreviewOffset(offset_.x(), s.Width()), ClampPreviewOffset(offset_.y(), s.Height()));
  image1_ = ModifyPreview(s, offset_.x(), offset_.y(), ModifySettings{}, SourceMean{});
  preview_->update();
}

void ModifyWindow::ArmTimer() { timer1_->start(kPreviewMs); }

void ModifyWindow::SliderChanged(int row) {
  labels_[static_cast<std::size_t>(row - 1)]->setText(QString::number(Slider(row)->value()));
  if (resetting_) return;
  // While the mouse drags a slider the preview waits for the release.
  if (QGuiApplication::mouseButtons() & Qt::LeftButton) return;
  pending_ = true;
  ArmTimer();
}

void ModifyWindow::SliderReleased() {
  // A drag ends here: the change counts even though no change was marked while it lasted.
  pending_ = true;
  ArmTimer();
  button2_->setFocus();
}

void ModifyWindow::PreviewDragged(int dx, int dy) {
  offset_ -= QPoint(dx, dy);
  DrawRawRegion();
}

void ModifyWindow::PreviewReleased() { ArmTimer(); }

void ModifyWindow::Timer1Timer() {
  timer1_->stop();
  if (applying_) return;
  Proceed();
}

void ModifyWindow::Proceed() {
  const Bitmap& s = source();
  offset_ = QPoint(ClampPreviewOffset(offset_.x(), s.Width()), ClampPreviewOffset(offset_.y(), s.Height()));
  image1_ = ModifyPreview(s, offset_.x(), offset_.y(), Settings(), mean());
  preview_->update();
}

void ModifyWindow::Button3Click() {
  for (QSlider* slider : trackBars_) slider->setValue(0);
}

void ModifyWindow::Button2Click() {
  if (applying_) return;
  timer1_->stop();
  applying_ = true;
  for (QPushButton* b : {button1_, button2_, button3_}) b->setEnabled(false);
  apply(Settings(), [this](bool applied) {
    applying_ = false;
    for (QPushButton* b : {button1_, button2_, button3_}) b->setEnabled(true);
    if (!applied) return;  // stopped or refused: the source and the history are as they were
    pending_ = false;
    Proceed();
    close();
  });
}

void ModifyWindow::Button1Click() { close(); }

void ModifyWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    if (activated) activated();
    button3_->setFocus();
  }
}

void ModifyWindow::keyPressEvent(QKeyEvent* event) {
  // ESC during "Apply changes" asks to stop it, as it does during a run; otherwise it closes.
  if (event->key() == Qt::Key_Escape) {
    if (applying_) {
      if (stop) stop();
    } else {
      close();
    }
    return;
  }
  QWidget::keyPressEvent(event);
}

void ModifyWindow::closeEvent(QCloseEvent* event) {
  // The source must not change under a running apply; the window closes when it ends.
  if (applying_) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void ModifyWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  timer1_->stop();
  if (closed) closed();
}

}  // namespace brumeleaf
