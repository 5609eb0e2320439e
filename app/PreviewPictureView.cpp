#include "app/PreviewPictureView.h"

#include <QMouseEvent>
#include <QPainter>

#include "effects/PreviewEffect.h"

namespace brumeleaf {

PreviewPictureView::PreviewPictureView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Image2"));
  setFixedSize(kPreviewSize, kPreviewSize);
  setCursor(Qt::OpenHandCursor);
}

void PreviewPictureView::SetImage(QImage image) {
  image_ = std::move(image);
  update();
}

void PreviewPictureView::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  if (image_.isNull()) {
    p.fillRect(rect(), Qt::white);
  } else {
    p.drawImage(0, 0, image_);
  }
}

void PreviewPictureView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setCursor(Qt::ClosedHandCursor);
  if (pressed) pressed(event->position().toPoint());
}

void PreviewPictureView::mouseMoveEvent(QMouseEvent* event) {
  if (moved) moved(event->position().toPoint());
}

void PreviewPictureView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setCursor(Qt::OpenHandCursor);
  if (released) released();
}

}  // namespace brumeleaf
