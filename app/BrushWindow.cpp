#include "app/BrushWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QWheelEvent>

#include <algorithm>
#include <memory>

#include "app/Computation.h"
#include "app/MainWindow.h"
#include "app/PanelView.h"
#include "app/ParametersWindow.h"
#include "app/StatusPanel.h"
#include "app/UiText.h"
#include "effects/Catalogue.h"
#include "history/History.h"
#include "io/PictureFile.h"

namespace brumeleaf {

// The brush's outline drawn over the result panel at the pointer; it takes no mouse input.
class BrushOutline : public QWidget {
 public:
  explicit BrushOutline(QWidget* panel) : QWidget(panel) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(panel->size());
  }
  void Place(std::optional<QPointF> centre, double diameter) {
    centre_ = centre;
    diameter_ = diameter;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!centre_) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(centre_->x() - diameter_ / 2, centre_->y() - diameter_ / 2, diameter_, diameter_);
    // Black and white together stay visible on any picture.
    p.setPen(QPen(Qt::white, 3));
    p.drawEllipse(circle);
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(circle);
  }

 private:
  std::optional<QPointF> centre_;
  double diameter_ = 0;
};

BrushWindow::BrushWindow(MainWindow& main, ParametersWindow& parameters)
    : QWidget(&main, Qt::Tool | Qt::WindowStaysOnTopHint), main_(main), parameters_(parameters) {
  setObjectName(QStringLiteral("Form13"));
  setWindowTitle(Tr(TextId::RetouchBrushTitle));
  auto* layout = new QGridLayout(this);
  auto slider = [this](const char* name, int low, int high, int value) {
    auto* s = new QSlider(Qt::Horizontal, this);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(low, high);
    s->setValue(value);
    s->setTickInterval(10);
    s->setTickPosition(QSlider::TicksBelow);
    connect(s, &QSlider::valueChanged, this, &BrushWindow::TrackBar1Change);
    return s;
  };
  trackBar1_ = slider("TrackBar1", kBrushSizeMin, kBrushSizeMax, kBrushSizeDefault);
  trackBar2_ = slider("TrackBar2", kBrushStrengthMin, kBrushStrengthMax, kBrushStrengthMax);
  checkBox1_ = new QCheckBox(Tr(TextId::DoubleBrush), this);
  checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
  connect(checkBox1_, &QCheckBox::toggled, this, &BrushWindow::TrackBar1Change);
  image1_ = new QLabel(this);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setFixedSize(kBrushPreviewSide, kBrushPreviewSide);
  auto* load = new QPushButton(Tr(TextId::LoadBrushPicture), this);
  auto* standard = new QPushButton(Tr(TextId::StandardBrush), this);
  connect(load, &QPushButton::clicked, this, &BrushWindow::LoadBrushClicked);
  connect(standard, &QPushButton::clicked, this, [this] { SetBrushPicture(Bitmap()); });
  layout->addWidget(new QLabel(Tr(TextId::BrushSize), this), 0, 0);
  layout->addWidget(trackBar1_, 0, 1);
  layout->addWidget(checkBox1_, 0, 2);
  layout->addWidget(new QLabel(Tr(TextId::BrushStrength), this), 1, 0);
  layout->addWidget(trackBar2_, 1, 1, 1, 2);
  layout->addWidget(image1_, 2, 0, 1, 3, Qt::AlignCenter);
  layout->addWidget(load, 3, 0, 1, 2);
  layout->addWidget(standard, 3, 2);
  TrackBar1Change();
}

// Qt drops the panel's event filter by itself when this window goes.
BrushWindow::~BrushWindow() = default;

BrushSettings BrushWindow::Settings() const {
  return BrushSettings{trackBar1_->value(), trackBar2_->value(), checkBox1_->isChecked()};
}

void BrushWindow::SetSettings(const BrushSettings& settings) {
  const BrushSettings s = Clamped(settings);
  trackBar1_->setValue(s.size);
  trackBar2_->setValue(s.strength);
  checkBox1_->setChecked(s.doubled);
}

void BrushWindow::SetBrushPicture(const Bitmap& picture) {
  brushPicture_ = picture;
  TrackBar1Change();
}

void BrushWindow::TrackBar1Change() {
  preview_ = BrushPreview(brushPicture_, Settings());
  image1_->setPixmap(QPixmap::fromImage(WrapBitmap(preview_).copy()));
  UpdateOutline(std::nullopt);
}

void BrushWindow::LoadBrushClicked() {
  const QString path = QFileDialog::getOpenFileName(this, Tr(TextId::LoadBrushPicture), QString(),
                                                    Tr(TextId::PictureFilesFilter));
  if (path.isEmpty()) return;
  try {
    SetBrushPicture(LoadPicture(path.toStdString()));
  } catch (const std::exception& e) {
    main_.ShowMessage(QString::fromStdString(e.what()));
  }
}

void BrushWindow::Button4Click() {
  if (active_) {
    SwitchOff();
    hide();
    return;
  }
  show();
  raise();
  active_ = true;
  PanelView& panel = main_.Panel(2);
  panel.installEventFilter(this);
  panel.setMouseTracking(true);
  panel.setCursor(Qt::CrossCursor);
  if (!outline_) outline_ = new BrushOutline(&panel);
  outline_->resize(panel.size());
  outline_->show();
  outline_->raise();
  // The state before the first stroke, so that undo goes back to it.
  main_.SaveToHistory(kResultPanel);
}

void BrushWindow::SwitchOff() {
  if (!active_) return;
  active_ = false;
  pressed_ = false;
  brush_.Release();
  PanelView& panel = main_.Panel(2);
  panel.removeEventFilter(this);
  panel.unsetCursor();
  if (outline_) outline_->hide();
  ShowResultAgain();
}

void BrushWindow::showEvent(QShowEvent* event) {
  if (firstRun_) {
    firstRun_ = false;
    move(main_.geometry().topLeft() + QPoint(25, 140));
  }
  QWidget::showEvent(event);
}

void BrushWindow::closeEvent(QCloseEvent* event) {
  SwitchOff();
  main_.Flags().StopRequested.store(true);
  parameters_.ShowWindow();
  QWidget::closeEvent(event);
}

void BrushWindow::wheelEvent(QWheelEvent* event) {
  trackBar1_->setValue(BrushSizeAfterWheel(trackBar1_->value(), event->angleDelta().y()));
  event->accept();
}

QPoint BrushWindow::ImagePoint(QPointF panelPosition) const {
  const QRect rect = main_.Panel(2).PictureRect();
  const int zoom = std::max(1, main_.Zoom());
  const QPoint at = panelPosition.toPoint() - rect.topLeft();
  return {at.x() * 100 / zoom, at.y() * 100 / zoom};
}

void BrushWindow::UpdateOutline(std::optional<QPointF> panelPosition) {
  if (!outline_ || !active_) return;
  outline_->resize(main_.Panel(2).size());
  outline_->Place(panelPosition, StampSide(Settings()) * main_.Zoom() / 100.0);
}

void BrushWindow::ShowResultAgain() {
  display_ = Bitmap();
  main_.Panel(2).SetPicture(&main_.Result());
  main_.Panel(2).update();
}

bool BrushWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!active_ || watched != &main_.Panel(2)) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() == Qt::LeftButton) StrokePress();
      return true;  // no panning or context menu while the brush is on
    }
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      UpdateOutline(e->position());
      if (pressed_ && (e->buttons() & Qt::LeftButton)) StrokeMove(ImagePoint(e->position()));
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() == Qt::LeftButton) StrokeRelease(ImagePoint(e->position()));
      return true;
    }
    case QEvent::MouseButtonDblClick:
      return true;
    case QEvent::Wheel: {
      auto* e = static_cast<QWheelEvent*>(event);
      trackBar1_->setValue(BrushSizeAfterWheel(trackBar1_->value(), e->angleDelta().y()));
      UpdateOutline(e->position());
      return true;
    }
    case QEvent::Leave:
      UpdateOutline(std::nullopt);
      return false;
    case QEvent::Resize:
      UpdateOutline(std::nullopt);
      return false;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

void BrushWindow::StrokePress() {
  if (!active_ || pendingStroke_ || main_.Flags().Processing || main_.Runner().Busy()) return;
  if (main_.Result().Empty()) return;
  brush_.Begin(main_.Result(), brushPicture_, Settings());
  display_ = main_.Result();
  main_.Panel(2).SetPicture(&display_);
  pressed_ = true;
}

void BrushWindow::StrokeMove(QPoint image) {
  if (!pressed_) return;
  brush_.Stamp(image.x(), image.y(), &display_);
  main_.Panel(2).update();
}

void BrushWindow::StrokeRelease(QPoint image) {
  if (!pressed_) return;
  pressed_ = false;
  brush_.Stamp(image.x(), image.y(), &display_);
  ParameterSnapshot params = parameters_.Model().Snapshot();
  const int code = params.code;
  if (!BrushCanPaint(code)) {
    brush_.Cancel();
    ShowResultAgain();
    main_.ShowMessage(Tr(TextId::BrushCannotPaint));
    return;
  }
  // The worker keeps its own copy of a custom brush, so that loading another cannot change it.
  auto customBrush = parameters_.CustomBrush() ? std::make_shared<Bitmap>(*parameters_.CustomBrush()) : nullptr;
  params.customBrushPicture = customBrush.get();
  std::optional<StrokeJob> made =
      brush_.Finish(code, params, std::make_shared<const Bitmap>(main_.Source()), main_.Mean());
  if (!made) {  // nothing landed on the picture
    ShowResultAgain();
    return;
  }
  auto job = std::make_shared<StrokeJob>(std::move(*made));
  auto outcome = std::make_shared<JobOutcome>();
  // No computation runs (the press checked): a stop raised by an earlier change of the
  // parameters is stale and must not end this stroke before it begins.
  main_.Flags().StopRequested.store(false);
  pendingStroke_ = code;
  main_.Flags().Processing = true;
  parameters_.hide();
  main_.Status().SetStatus(QString::fromStdString(EffectNameForCode(code)) + QStringLiteral("   "));
  const bool started = main_.Runner().Start(
      params, false,
      [job, outcome, customBrush](RunContext& ctx) { *outcome = job->Run(ctx.Rand(), nullptr, ctx.StopFlag()); },
      [this, job, outcome](std::exception_ptr failure) {
        if (failure) *outcome = {JobOutcome::Kind::Failed, "The brush stroke failed."};
        main_.Flags().Processing = false;
        pendingStroke_.reset();
        if (outcome->Completed()) {
          display_ = Bitmap();
          main_.SetResult(job->TakeResult(), EffectNameForCode(job->Code()));
        } else {
          ShowResultAgain();
          if (outcome->Failed()) main_.ShowMessage(QString::fromStdString(outcome->message));
        }
        if (isVisible()) activateWindow();
      });
  if (!started) {
    main_.Flags().Processing = false;
    pendingStroke_.reset();
    ShowResultAgain();
  }
}

}  // namespace brumeleaf
