#include "app/FullScreenView.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "app/PanelView.h"
#include "app/ViewMath.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"

namespace brumeleaf {

FullScreenView::FullScreenView(const Bitmap& picture, QSize shown, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("Form7"));
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  setGeometry(area);
  setWindowState(Qt::WindowFullScreen);
  const view::Rect r = view::FullScreenRect(area.width(), area.height(), shown.width(), shown.height());
  target_ = QRect(r.left, r.top, r.width, r.height);
  if (!picture.Empty() && r.width > 0 && r.height > 0) {
    fitted_.SetSize(r.width, r.height);
    StretchBilinear(picture, fitted_);
    Sharpen(fitted_);
  }
}

void FullScreenView::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (!fitted_.Empty()) p.drawImage(target_.topLeft(), WrapBitmap(fitted_));
}

void FullScreenView::mousePressEvent(QMouseEvent* /*event*/) { accept(); }

void FullScreenView::keyPressEvent(QKeyEvent* /*event*/) { accept(); }

}  // namespace brumeleaf
