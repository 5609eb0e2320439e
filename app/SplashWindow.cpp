#include "app/SplashWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>
#include <QThread>

#include <cmath>

#include "imaging/Random.h"

namespace brumeleaf {
namespace {

void PaintWash(QPainter& p, const QRect& area) {
  QLinearGradient sky(area.topLeft(), area.bottomRight());
  sky.setColorAt(0, QColor(246, 242, 232));
  sky.setColorAt(1, QColor(226, 232, 222));
  p.fillRect(area, sky);
  // Soft watercolour blots, always the same: the splash is drawn from a fixed seed.
  Random random(1969);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 18; ++i) {
    const QPointF c(random.Next(static_cast<std::uint32_t>(area.width())), random.Next(static_cast<std::uint32_t>(area.height())));
    const double r = 30 + random.Next(70);
    QRadialGradient blot(c, r);
    const QColor tint = i % 3 == 0 ? QColor(120, 160, 110, 60) : (i % 3 == 1 ? QColor(200, 170, 110, 45) : QColor(110, 140, 170, 40));
    blot.setColorAt(0, tint);
    blot.setColorAt(1, QColor(tint.red(), tint.green(), tint.blue(), 0));
    p.setBrush(blot);
    p.drawEllipse(c, r, r);
  }
}

void PaintLeaf(QPainter& p, const QPointF& base, double size) {
  QPainterPath leaf;
  leaf.moveTo(base);
  leaf.cubicTo(base + QPointF(-size * 0.55, -size * 0.35), base + QPointF(-size * 0.35, -size * 0.95),
               base + QPointF(size * 0.1, -size * 1.1));
  leaf.cubicTo(base + QPointF(size * 0.45, -size * 0.8), base + QPointF(size * 0.5, -size * 0.3), base);
  p.setBrush(QColor(96, 140, 88, 90));
  p.setPen(QPen(QColor(52, 62, 48), 1.6));
  p.drawPath(leaf);
  // Pencil hatching across the leaf, clipped to its outline.
  p.save();
  p.setClipPath(leaf);
  p.setPen(QPen(QColor(50, 58, 46, 120), 0.8));
  for (double x = -size; x < size; x += 5) {
    p.drawLine(base + QPointF(x, 0), base + QPointF(x + size * 0.6, -size * 1.2));
  }
  p.restore();
  p.setPen(QPen(QColor(52, 62, 48), 1.4));
  p.drawLine(base + QPointF(0, size * 0.18), base + QPointF(size * 0.08, -size * 1.0));
}

}  // namespace

SplashWindow::SplashWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("SplashForm"));
  setFixedSize(520, 300);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

void SplashWindow::SetPercent(int percent) {
  percent_ = percent;
  repaint();
  QApplication::processEvents();
}

void SplashWindow::SetMessage(const QString& message) {
  message_ = message;
  repaint();
}

void SplashWindow::FadeOut() {
  for (int opacity = 250; opacity >= 10; opacity -= 10) {
    setWindowOpacity(opacity / 255.0);
    QApplication::processEvents();
    QThread::msleep(static_cast<unsigned long>(15 + opacity / 10));
  }
  hide();
}

void SplashWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  PaintWash(p, rect());
  PaintLeaf(p, QPointF(110, 230), 150);
  QFont title = font();
  title.setPointSize(30);
  title.setWeight(QFont::Light);
  p.setFont(title);
  p.setPen(QColor(44, 52, 42));
  p.drawText(QRect(200, 80, 300, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Brumeleaf"));
  QFont small = font();
  small.setPointSize(10);
  p.setFont(small);
  p.setPen(QColor(90, 96, 88));
  p.drawText(QRect(202, 136, 300, 24), Qt::AlignLeft, QStringLiteral("photographs into drawings and paintings"));
  p.drawText(QRect(202, 250, 300, 24), Qt::AlignLeft,
             message_.isEmpty() ? QString::number(percent_) + QStringLiteral(" %") : message_);
  p.setPen(QPen(QColor(70, 80, 66), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace brumeleaf
