#include "app/ToolIcons.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QString>

#include <array>

namespace brumeleaf {
namespace {

// Theme names, where the freedesktop naming has a fitting picture (empty: ours only).
constexpr std::array<const char*, kToolIconCount> kThemeNames = {
    "document-open-symbolic", "document-save-symbolic", "edit-copy-symbolic",
    "edit-paste-symbolic",    "edit-undo-symbolic",     "edit-redo-symbolic",
    "",                       "",                       "",
    "insert-text-symbolic",   "document-print-symbolic", "help-about-symbolic",
    "",                       "",                       "zoom-out-symbolic",
    "zoom-original-symbolic", "zoom-in-symbolic"};

QPixmap Tinted(const QPixmap& source, const QColor& colour) {
  QPixmap out(source.size());
  out.fill(Qt::transparent);
  QPainter p(&out);
  p.drawPixmap(0, 0, source);
  p.setCompositionMode(QPainter::CompositionMode_SourceIn);
  p.fillRect(out.rect(), colour);
  return out;
}

void Magnifier(QPainter& p) {
  p.drawEllipse(QRectF(5, 5, 17, 17));
  p.drawLine(QPointF(20, 20), QPointF(28, 28));
}

void DrawGlyph(QPainter& p, int icon) {
  switch (icon) {
    case 1:  // open: a folder
      p.drawPolyline(QPolygonF({{3, 26}, {3, 7}, {12, 7}, {15, 10}, {27, 10}, {27, 14}}));
      p.drawPolygon(QPolygonF({{3, 26}, {8, 14}, {30, 14}, {25, 26}}));
      break;
    case 2:  // save: a floppy disc
      p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
      p.drawRect(QRectF(10, 5, 12, 7));
      p.drawRect(QRectF(9, 17, 14, 10));
      break;
    case 3:  // copy: two sheets
      p.drawRoundedRect(QRectF(5, 4, 15, 19), 2, 2);
      p.drawRoundedRect(QRectF(12, 10, 15, 19), 2, 2);
      break;
    case 4:  // paste: clipboard
      p.drawRoundedRect(QRectF(6, 6, 20, 23), 2, 2);
      p.drawRoundedRect(QRectF(11, 3, 10, 6), 2, 2);
      p.drawLine(QPointF(11, 16), QPointF(21, 16));
      p.drawLine(QPointF(11, 21), QPointF(21, 21));
      break;
    case 5:  // undo: arrow turning back
    case 6: {  // redo
      QPainterPath path;
      path.moveTo(8, 13);
      path.lineTo(20, 13);
      path.cubicTo(30, 13, 30, 27, 20, 27);
      path.lineTo(12, 27);
      if (icon == 6) p.translate(32, 0), p.scale(-1, 1);
      p.drawPath(path);
      p.drawPolyline(QPolygonF({{13, 7}, {7, 13}, {13, 19}}));
      break;
    }
    case 7:  // crop: two crossing corners
      p.drawPolyline(QPolygonF({{9, 3}, {9, 23}, {29, 23}}));
      p.drawPolyline(QPolygonF({{3, 9}, {23, 9}, {23, 29}}));
      break;
    case 8:  // modify source: three sliders
      for (int i = 0; i < 3; ++i) {
        const double y = 8 + 8 * i;
        p.drawLine(QPointF(4, y), QPointF(28, y));
        p.setBrush(p.pen().color());
        p.drawEllipse(QPointF(i == 1 ? 20 : (i == 0 ? 10 : 14), y), 3, 3);
        p.setBrush(Qt::NoBrush);
      }
      break;
    case 9:  // drawing parameters: a pencil
      p.drawPolygon(QPolygonF({{6, 26}, {8, 19}, {23, 4}, {28, 9}, {13, 24}}));
      p.drawLine(QPointF(8, 19), QPointF(13, 24));
      p.drawLine(QPointF(20, 7), QPointF(25, 12));
      break;
    case 10:  // add text
      p.drawLine(QPointF(7, 7), QPointF(25, 7));
      p.drawLine(QPointF(16, 7), QPointF(16, 27));
      p.drawLine(QPointF(12, 27), QPointF(20, 27));
      break;
    case 11:  // print
      p.drawRect(QRectF(9, 4, 14, 8));
      p.drawRoundedRect(QRectF(4, 12, 24, 11), 2, 2);
      p.drawRect(QRectF(9, 19, 14, 9));
      break;
    case 12:  // about: an "i" in a circle
      p.drawEllipse(QRectF(4, 4, 24, 24));
      p.drawLine(QPointF(16, 14), QPointF(16, 23));
      p.drawPoint(QPointF(16, 9.5));
      break;
    case 13: {  // help: a question mark in a circle
      p.drawEllipse(QRectF(4, 4, 24, 24));
      QPainterPath q;
      q.moveTo(12, 12.5);
      q.cubicTo(12, 7, 21, 7, 20.5, 12.5);
      q.cubicTo(20, 16, 16, 15.5, 16, 19.5);
      p.drawPath(q);
      p.drawPoint(QPointF(16, 23.5));
      break;
    }
    case 14: {  // coffee: a cup with steam
      p.drawPolyline(QPolygonF({{6, 14}, {8, 27}, {21, 27}, {23, 14}, {6, 14}}));
      p.drawArc(QRectF(19, 15, 8, 7), -90 * 16, 180 * 16);
      p.drawLine(QPointF(12, 5), QPointF(11, 10));
      p.drawLine(QPointF(17, 5), QPointF(16, 10));
      break;
    }
    case 15:
      Magnifier(p);
      p.drawLine(QPointF(9, 13.5), QPointF(18, 13.5));
      break;
    case 16:
      Magnifier(p);
      p.drawLine(QPointF(13.5, 9), QPointF(13.5, 18));
      p.drawLine(QPointF(11.5, 10.5), QPointF(13.5, 9));
      break;
    case 17:
      Magnifier(p);
      p.drawLine(QPointF(9, 13.5), QPointF(18, 13.5));
      p.drawLine(QPointF(13.5, 9), QPointF(13.5, 18));
      break;
    default: break;
  }
}

}  // namespace

QPixmap DrawnToolIcon(int icon, const QColor& colour) {
  QPixmap pixmap(kToolIconSize, kToolIconSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  DrawGlyph(p, icon);
  return pixmap;
}

QPixmap ToolIconPixmap(int icon, const QColor& colour) {
  if (icon < 1 || icon > kToolIconCount) return {};
  const char* name = kThemeNames[static_cast<std::size_t>(icon - 1)];
  if (*name != '\0' && QIcon::hasThemeIcon(QString::fromLatin1(name))) {
    const QPixmap themed = QIcon::fromTheme(QString::fromLatin1(name)).pixmap(24, 24);
    if (!themed.isNull()) {
      QPixmap framed(kToolIconSize, kToolIconSize);
      framed.fill(Qt::transparent);
      QPainter p(&framed);
      p.drawPixmap((kToolIconSize - themed.width()) / 2, (kToolIconSize - themed.height()) / 2,
                   Tinted(themed, colour));
      return framed;
    }
  }
  return DrawnToolIcon(icon, colour);
}

}  // namespace brumeleaf
