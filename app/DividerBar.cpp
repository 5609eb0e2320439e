#include "app/DividerBar.h"

#include <QMouseEvent>
#include <QPainter>

namespace brumeleaf {

DividerBar::DividerBar(DividerListener& listener, QWidget* parent)
    : QWidget(parent), listener_(listener) {
  setObjectName(QStringLiteral("ResizeImage"));
  setCursor(Qt::SplitHCursor);
  setFixedWidth(8);
}

void DividerBar::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

void DividerBar::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.fillRect(rect(), colour_);
  // A grip in the middle, so the divider reads as something to take hold of.
  p.setPen(colour_.lightness() > 128 ? colour_.darker(130) : colour_.lighter(160));
  const int mid = height() / 2;
  for (int dy = -12; dy <= 12; dy += 6) p.drawLine(3, mid + dy, 4, mid + dy);
}

void DividerBar::mousePressEvent(QMouseEvent* event) {
  held_ = event->button() == Qt::LeftButton;
}

void DividerBar::mouseMoveEvent(QMouseEvent* event) {
  if (held_) listener_.DividerDragged(event->position().toPoint().x());
}

void DividerBar::mouseReleaseEvent(QMouseEvent* event) {
  if (!held_) return;
  held_ = false;
  listener_.DividerReleased(event->position().toPoint().x());
}

void DividerBar::mouseDoubleClickEvent(QMouseEvent* /*event*/) {
  held_ = true;
  listener_.DividerDoubleClicked();
}

}  // namespace brumeleaf
