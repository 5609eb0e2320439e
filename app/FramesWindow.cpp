#include "app/FramesWindow.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/UiText.h"
#include "imaging/Random.h"
#include "imaging/RunContext.h"
#include "pipeline/PictureFrame.h"

namespace brumeleaf {
namespace {

QColor ToQColor(int packed) {
  const Colour c = static_cast<Colour>(packed) & 0xFFFFFF;
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

int FromQColor(const QColor& c) { return static_cast<int>(MakeColour(c.red(), c.green(), c.blue())); }

void PaintSwatch(QPushButton* b, int packed) {
  b->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #808080;").arg(ToQColor(packed).name()));
}

}  // namespace

FramesWindow::FramesWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(Tr(TextId::FrameParametersTitle));
  Build();
}

void FramesWindow::Build() {
  auto* grid = new QGridLayout;
  comboBox1_ = new QComboBox(this);
  comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
  for (TextId id : {TextId::SimpleFrame, TextId::LinedFrame, TextId::RealisticFrame, TextId::ColoredFrame,
                    TextId::HorizontalTriptych, TextId::BrushstrokesFrame}) {
    comboBox1_->addItem(Tr(id).trimmed());
  }
  grid->addWidget(new QLabel(Tr(TextId::FrameStyle), this), 0, 0);
  grid->addWidget(comboBox1_, 0, 1, 1, 3);

  upDown1_ = new QSpinBox(this);
  upDown1_->setObjectName(QStringLiteral("UpDown1"));
  upDown1_->setRange(0, 1000);
  grid->addWidget(new QLabel(Tr(TextId::MarginSize), this), 1, 0);
  grid->addWidget(upDown1_, 1, 1);

  fillLabel_ = new QLabel(Tr(TextId::FillColor), this);
  shape1_ = new QPushButton(this);
  shape1_->setObjectName(QStringLiteral("Shape1"));
  shape1_->setFixedSize(40, 20);
  grid->addWidget(fillLabel_, 2, 0);
  grid->addWidget(shape1_, 2, 1);
  lineLabel_ = new QLabel(Tr(TextId::LineColor), this);
  shape2_ = new QPushButton(this);
  shape2_->setObjectName(QStringLiteral("Shape2"));
  shape2_->setFixedSize(40, 20);
  image2_ = new QToolButton(this);
  image2_->setObjectName(QStringLiteral("Image2"));
  image2_->setText(QStringLiteral("\u21C5"));
  grid->addWidget(lineLabel_, 3, 0);
  grid->addWidget(shape2_, 3, 1);
  grid->addWidget(image2_, 3, 2);

  upDown2_ = new QSpinBox(this);
  upDown2_->setObjectName(QStringLiteral("UpDown2"));
  upDown2_->setRange(1, 12);
  upDown3_ = new QSpinBox(this);
  upDown3_->setObjectName(QStringLiteral("UpDown3"));
  upDown3_->setRange(1, 5);
  grid->addWidget(upDown2_, 4, 1);
  grid->addWidget(upDown3_, 4, 2);

  static const char* const kShapes[3] = {"#ff0000", "#00a000", "#0000ff"};
  for (int i = 0; i < 3; ++i) {
    shapes_[i] = new QLabel(this);
    shapes_[i]->setFixedSize(12, 12);
    shapes_[i]->setStyleSheet(QStringLiteral("background-color: %1;").arg(QLatin1String(kShapes[i])));
    trackBars_[i] = new QSlider(Qt::Horizontal, this);
    trackBars_[i]->setObjectName(QStringLiteral("TrackBar%1").arg(i + 1));
    trackBars_[i]->setRange(-255, 255);
    grid->addWidget(shapes_[i], 5 + i, 0, Qt::AlignRight);
    grid->addWidget(trackBars_[i], 5 + i, 1, 1, 3);
  }

  label5_ = new QLabel(Tr(TextId::PanelSpacing), this);
  upDown5_ = new QSpinBox(this);
  upDown5_->setObjectName(QStringLiteral("UpDown5"));
  upDown5_->setRange(0, 500);
  grid->addWidget(label5_, 8, 0);
  grid->addWidget(upDown5_, 8, 1);

  image1_ = new QLabel(this);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setFixedSize(kFramePreviewSize, kFramePreviewSize);
  button1_ = new QPushButton(QString::fromStdString(CurrentLanguage().ConfirmCaption()), this);
  button1_->setObjectName(QStringLiteral("Button1"));

  auto* right = new QVBoxLayout;
  right->addWidget(image1_);
  right->addStretch();
  right->addWidget(button1_, 0, Qt::AlignRight);
  auto* all = new QHBoxLayout(this);
  all->addLayout(grid);
  all->addLayout(right);

  timer1_ = new QTimer(this);
  timer1_->setSingleShot(true);
  timer1_->setTimerType(Qt::PreciseTimer);
  connect(timer1_, &QTimer::timeout, this, &FramesWindow::Timer1Timer);

  connect(comboBox1_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!syncing_) StyleChanged(i);
  });
  connect(upDown1_, &QSpinBox::valueChanged, this, [this](int v) {
    if (syncing_) return;
    options_.marginText = std::to_string(v);
    ArmPreview(options_.style == 5 ? 100 : 300);
  });
  connect(upDown5_, &QSpinBox::valueChanged, this, [this](int v) {
    if (syncing_) return;
    options_.spacingText = std::to_string(v);
    ArmPreview(300);
  });
  connect(upDown2_, &QSpinBox::valueChanged, this, [this](int v) {
    if (syncing_) return;
    options_.realisticFrame = v;
    ShowFrameNumberInList();
    ArmPreview(300);
  });
  connect(upDown3_, &QSpinBox::valueChanged, this, [this](int v) {
    if (syncing_) return;
    options_.colouredFrame = v;
    ShowFrameNumberInList();
    ArmPreview(300);
  });
  for (int i = 0; i < 3; ++i) {
    connect(trackBars_[i], &QSlider::valueChanged, this, [this, i](int v) {
      if (syncing_) return;
      (i == 0 ? options_.tintRed : i == 1 ? options_.tintGreen : options_.tintBlue) = v;
      QToolTip::showText(QCursor::pos(), QString::number(v), trackBars_[i]);
      ArmPreview(200);
    });
  }
  connect(shape1_, &QPushButton::clicked, this, [this] { PickColour(true); });
  connect(shape2_, &QPushButton::clicked, this, [this] { PickColour(false); });
  connect(image2_, &QToolButton::clicked, this, &FramesWindow::SwapColours);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
}

PictureFrameOptions FramesWindow::Edit(const PictureFrameOptions& options, const Bitmap& source) {
  options_ = options;
  source_ = &source;
  SyncControls();
  ApplyVisibility();
  ArmPreview(200);
  exec();
  timer1_->stop();
  source_ = nullptr;
  return options_;
}

void FramesWindow::SyncControls() {
  syncing_ = true;
  comboBox1_->setCurrentIndex(std::clamp(options_.style, 0, 5));
  upDown1_->setValue(options_.Margin());
  upDown5_->setValue(options_.Spacing());
  upDown2_->setValue(std::clamp(options_.realisticFrame, 1, 12));
  upDown3_->setValue(std::clamp(options_.colouredFrame, 1, 5));
  trackBars_[0]->setValue(options_.tintRed);
  trackBars_[1]->setValue(options_.tintGreen);
  trackBars_[2]->setValue(options_.tintBlue);
  PaintSwatches();
  syncing_ = false;
}

void FramesWindow::StyleChanged(int style) {
  options_.style = style;
  ApplyVisibility();
  ArmPreview(200);
}

void FramesWindow::ApplyVisibility() {
  const int s = options_.style;
  for (QWidget* w : {static_cast<QWidget*>(lineLabel_), static_cast<QWidget*>(shape2_), static_cast<QWidget*>(image2_)})
    w->setVisible(s == 1);
  upDown2_->setVisible(s == 2);
  upDown3_->setVisible(s == 3);
  for (int i = 0; i < 3; ++i) {
    trackBars_[i]->setVisible(s == 3);
    shapes_[i]->setVisible(s == 3);
  }
  label5_->setVisible(s == 4);
  upDown5_->setVisible(s == 4);
}

void FramesWindow::ShowFrameNumberInList() {
  const int s = options_.style;
  if (s != 2 && s != 3) return;
  const QString name = Tr(s == 2 ? TextId::RealisticFrame : TextId::ColoredFrame).trimmed();
  const int number = s == 2 ? options_.realisticFrame : options_.colouredFrame;
  syncing_ = true;
  comboBox1_->setItemText(s, name + QLatin1Char(' ') + QString::number(number));
  comboBox1_->setCurrentIndex(s);
  syncing_ = false;
}

void FramesWindow::PaintSwatches() {
  PaintSwatch(shape1_, options_.fillColour);
  PaintSwatch(shape2_, options_.lineColour);
}

void FramesWindow::PickColour(bool fill) {
  int& stored = fill ? options_.fillColour : options_.lineColour;
  const QColor chosen = QColorDialog::getColor(ToQColor(stored), this);
  if (!chosen.isValid()) return;
  stored = FromQColor(chosen);
  PaintSwatches();
  ArmPreview(200);
}

void FramesWindow::SwapColours() {
  std::swap(options_.fillColour, options_.lineColour);
  PaintSwatches();
  ArmPreview(50);
}

void FramesWindow::ArmPreview(int milliseconds) { timer1_->start(milliseconds); }

void FramesWindow::Timer1Timer() {
  timer1_->stop();
  PaintSwatches();
  if (!source_ || source_->Empty()) return;
  try {
    Random random(1);
    ParameterSnapshot params;
    RunContext ctx(params, random);
    ctx.silent = true;
    preview_ = FramePreview(*source_, options_, ctx);
  } catch (const std::exception&) {
    return;  // a preview that cannot be drawn leaves the last one
  }
  const QImage image(preview_.Data(), preview_.Width(), preview_.Height(),
                     static_cast<qsizetype>(preview_.RowDistance()), QImage::Format_BGR888);
  image1_->setPixmap(QPixmap::fromImage(image.copy()));
}

}  // namespace brumeleaf
