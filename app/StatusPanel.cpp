#include "app/StatusPanel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>

#include "app/UiText.h"
#include "app/ViewMath.h"
#include "imaging/Progress.h"

namespace brumeleaf {

// The draggable marker: a small pointer drawn at the top edge of the status bar.
class StopMarker : public QWidget {
 public:
  explicit StopMarker(StatusPanel& panel) : QWidget(&panel), panel_(panel) {
    setObjectName(QStringLiteral("StopCursor"));
    setFixedSize(20, 12);
    setCursor(Qt::SizeHorCursor);
    SetTip(this, TextId::StopMarkerHint);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(2, 1);
    arrow.lineTo(18, 1);
    arrow.lineTo(10, 11);
    arrow.closeSubpath();
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.setBrush(palette().color(QPalette::Highlight));
    p.drawPath(arrow);
  }
  void mousePressEvent(QMouseEvent* event) override {
    dragging_ = event->button() == Qt::LeftButton;
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (dragging_) panel_.DragMarkerTo(mapToParent(event->position().toPoint()).x());
  }
  void mouseReleaseEvent(QMouseEvent* /*event*/) override { dragging_ = false; }

 private:
  StatusPanel& panel_;
  bool dragging_ = false;
};

StatusPanel::StatusPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Panel2"));
  setFixedHeight(kHeight);
  progressBar1_ = new QProgressBar(this);
  progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
  progressBar1_->setRange(0, 100);
  progressBar1_->setTextVisible(false);
  progressBar1_->hide();
  label1_ = new QLabel(this);
  label1_->setObjectName(QStringLiteral("Label1"));
  label3_ = new QLabel(this);
  label3_->setObjectName(QStringLiteral("Label3"));
  label3_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label3_->hide();
  label4_ = new QLabel(this);
  label4_->setObjectName(QStringLiteral("Label4"));
  label4_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  stopCursor_ = new StopMarker(*this);
  stopPercentEdit_ = new QLabel(QStringLiteral("100"), this);
  stopPercentEdit_->setObjectName(QStringLiteral("StopPercentEdit"));
  stopPercentEdit_->setFixedWidth(34);
  QFont small = stopPercentEdit_->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  stopPercentEdit_->setFont(small);
}

void StatusPanel::ShowRunning(bool running) {
  running_ = running;
  progressBar1_->setVisible(running);
  label3_->setVisible(running);
  label1_->setVisible(!running);
  label4_->setVisible(!running);
  stopCursor_->setVisible(!running && markerShown_);
  stopPercentEdit_->setVisible(!running && markerShown_);
  if (running) SetPosition(0);
}

void StatusPanel::SetPosition(int percent) {
  progressBar1_->setValue(percent);
  label3_->setText(QString::number(progressBar1_->value()) + QStringLiteral("%"));
}

int StatusPanel::Position() const { return progressBar1_->value(); }
QString StatusPanel::PercentText() const { return label3_->text(); }
void StatusPanel::SetTitle(const QString& text) { label1_->setText(text); }
void StatusPanel::SetStatus(const QString& text) { label4_->setText(text); }
QString StatusPanel::Title() const { return label1_->text(); }
QString StatusPanel::Status() const { return label4_->text(); }

void StatusPanel::SetStopPercent(int percent) {
  stopPercent_ = percent;
  stopPercentEdit_->setText(QString::number(percent));
  PlaceMarker(view::StopMarkerLeft(percent, width(), kPanelLeft));
}

void StatusPanel::SetMarkerShown(bool shown) {
  if (shown == markerShown_) return;
  markerShown_ = shown;
  stopCursor_->setVisible(shown && !running_);
  stopPercentEdit_->setVisible(shown && !running_);
}

bool StatusPanel::MarkerShown() const { return stopCursor_->isVisible(); }
int StatusPanel::MarkerLeft() const { return stopCursor_->x(); }

void StatusPanel::DragMarkerTo(int x) {
  const int left = view::StopMarkerDragLeft(x, width(), kPanelLeft);
  stopPercent_ = StopPercentForMarker(left, width());
  stopPercentEdit_->setText(QString::number(stopPercent_));
  PlaceMarker(left);
}

void StatusPanel::PlaceMarker(int left) {
  stopCursor_->move(left, 0);
  stopCursor_->raise();
  // The percentage sits right of the marker, or left of it where the panel would cut it off.
  const int labelLeft = left + 20 + 34 > width() ? left - 36 : left + 20;
  stopPercentEdit_->setGeometry(labelLeft, 0, 34, 14);
  stopPercentEdit_->setAlignment(labelLeft < left ? Qt::AlignRight : Qt::AlignLeft);
  stopPercentEdit_->raise();
}

void StatusPanel::resizeEvent(QResizeEvent* /*event*/) {
  PlaceLabels();
  PlaceMarker(view::StopMarkerLeft(stopPercent_, width(), kPanelLeft));
}

void StatusPanel::PlaceLabels() {
  const int w = width();
  const int h = height();
  label1_->setGeometry(10, 8, w * 2 / 3 - 10, h - 8);
  label4_->setGeometry(w / 3, 8, w * 2 / 3 - 10, h - 8);
  progressBar1_->setGeometry(10, 11, w - 80, 12);
  label3_->setGeometry(w - 66, 6, 56, h - 6);
}

void StatusPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  const QColor base = palette().color(QPalette::Button);
  QLinearGradient shade(0, 0, 0, height());
  shade.setColorAt(0, base.lighter(108));
  shade.setColorAt(1, base.darker(106));
  p.fillRect(rect(), shade);
}

}  // namespace brumeleaf
