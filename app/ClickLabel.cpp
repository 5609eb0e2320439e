#include "app/ClickLabel.h"

#include <QMouseEvent>

namespace brumeleaf {

ClickLabel::ClickLabel(const QString& objectName, QWidget* parent) : QLabel(parent) {
  setObjectName(objectName);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked();
  QLabel::mouseDoubleClickEvent(event);
}

void ClickLabel::enterEvent(QEnterEvent* event) {
  emit entered();
  QLabel::enterEvent(event);
}

}  // namespace brumeleaf
