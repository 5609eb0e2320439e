#include "app/PanelView.h"

#include <QColor>
#include <QEnterEvent>
#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QWheelEvent>

#include <algorithm>

#include "imaging/Filters.h"

namespace brumeleaf {
namespace {

// Copies a region of an RGB32 image into a Bitmap (outside the image: black, never shown).
Bitmap BitmapOfRegion(const QImage& image, const QRect& region) {
  const QImage part = image.copy(region);
  Bitmap bitmap(part.width(), part.height());
  for (int y = 0; y < part.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(part.constScanLine(y));
    std::uint8_t* out = bitmap.ScanLine(y);
    for (int x = 0; x < part.width(); ++x, out += 3) {
      out[0] = static_cast<std::uint8_t>(qBlue(in[x]));
      out[1] = static_cast<std::uint8_t>(qGreen(in[x]));
      out[2] = static_cast<std::uint8_t>(qRed(in[x]));
    }
  }
  return bitmap;
}

void StoreBitmap(const Bitmap& bitmap, QImage& image, int left, int top) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* in = bitmap.ScanLine(y);
    QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(top + y));
    for (int x = 0; x < bitmap.Width(); ++x, in += 3) out[left + x] = qRgb(in[2], in[1], in[0]);
  }
}

// The brightness rule for a non-positive percentage: c + p*c div 100, channel by channel.
void DarkenPixel(QRgb& pixel, int percent) {
  auto level = [percent](int c) { return std::clamp(c + percent * c / 100, 0, 255); };
  pixel = qRgb(level(qRed(pixel)), level(qGreen(pixel)), level(qBlue(pixel)));
}

}  // namespace

QImage WrapBitmap(const Bitmap& bitmap) {
  if (bitmap.Empty()) return {};
  return QImage(bitmap.Data(), bitmap.Width(), bitmap.Height(),
                static_cast<qsizetype>(bitmap.RowDistance()), QImage::Format_BGR888);
}

PanelView::PanelView(int number, PanelListener& listener, QWidget* parent)
    : QWidget(parent), number_(number), listener_(listener) {
  setObjectName(number == 1 ? QStringLiteral("ScrollBox1") : QStringLiteral("ScrollBox2"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::OpenHandCursor);
}

void PanelView::SetPicture(const Bitmap* picture) {
  picture_ = picture ? WrapBitmap(*picture) : QImage();
  update();
}

void PanelView::SetPictureRect(const QRect& rect) {
  if (rect == pictureRect_) return;
  pictureRect_ = rect;
  update();
}

void PanelView::SetPictureVisible(bool visible) {
  pictureVisible_ = visible;
  update();
}

void PanelView::SetBackground(view::WindowStyle style, int mainWindowWidth) {
  if (style == style_ && mainWindowWidth == mainWindowWidth_ && !background_.isNull()) return;
  style_ = style;
  mainWindowWidth_ = mainWindowWidth;
  RebuildBackground();
  update();
}

void PanelView::SetShadowAllowed(bool allowed) {
  if (allowed == shadowAllowed_) return;
  shadowAllowed_ = allowed;
  update();
}

void PanelView::SetWelcome(const QString& title, const QString& text) {
  if (title == welcomeTitle_ && text == welcomeText_) return;
  welcomeTitle_ = title;
  welcomeText_ = text;
  update();
}

void PanelView::PaintWelcome(QPainter& painter) const {
  const bool dark = style_ != view::WindowStyle::Slate;
  const QColor ink = dark ? QColor(226, 226, 230) : QColor(40, 44, 52);
  const QColor faint = dark ? QColor(255, 255, 255, 40) : QColor(0, 0, 0, 40);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  QRect card(0, 0, std::min(width() - 24, 420), std::min(height() - 24, 260));
  card.moveCenter(rect().center());
  painter.setBrush(dark ? QColor(0, 0, 0, 90) : QColor(255, 255, 255, 150));
  painter.setPen(QPen(ink, 1.5, Qt::DashLine));
  painter.drawRoundedRect(card, 14, 14);
  // A small landscape photograph: frame, hills and sun.
  const QRect photo(card.center().x() - 34, card.top() + 28, 68, 50);
  painter.setPen(QPen(ink, 2));
  painter.setBrush(faint);
  painter.drawRoundedRect(photo, 5, 5);
  QPolygon hills;
  hills << QPoint(photo.left() + 4, photo.bottom() - 4) << QPoint(photo.left() + 24, photo.top() + 22)
        << QPoint(photo.left() + 36, photo.top() + 34) << QPoint(photo.left() + 46, photo.top() + 26)
        << QPoint(photo.right() - 4, photo.bottom() - 4);
  painter.setBrush(ink);
  painter.setPen(Qt::NoPen);
  painter.drawPolygon(hills);
  painter.drawEllipse(QPoint(photo.right() - 16, photo.top() + 14), 6, 6);
  QFont font = painter.font();
  font.setPointSizeF(std::max(9.0, font.pointSizeF()) * 1.5);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(ink);
  const QRect title(card.left() + 12, photo.bottom() + 18, card.width() - 24, painter.fontMetrics().height() + 4);
  painter.drawText(title, Qt::AlignCenter, welcomeTitle_);
  font.setBold(false);
  font.setPointSizeF(font.pointSizeF() / 1.5);
  painter.setFont(font);
  painter.drawText(QRect(card.left() + 16, title.bottom() + 8, card.width() - 32, card.bottom() - title.bottom() - 16),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, welcomeText_);
  painter.restore();
}

void PanelView::SetBlank(bool blank) {
  if (blank == blank_) return;
  blank_ = blank;
  update();
}

void PanelView::SetHint(const QString& text) {
  if (text == hint_) return;
  hint_ = text;
  update();
}

void PanelView::SetSelection(const Bitmap* lightened, std::optional<QRect> pictureRect) {
  lightened_ = lightened ? WrapBitmap(*lightened) : QImage();
  selection_ = pictureRect;
  update();
}

void PanelView::SetOverlay(const Bitmap* patch, QPoint at) {
  overlay_ = patch && !patch->Empty() ? WrapBitmap(*patch).copy() : QImage();
  overlayAt_ = at;
  update();
}

void PanelView::SetGuideLine(std::optional<int> x) {
  guideLine_ = x;
  update();
}

void PanelView::resizeEvent(QResizeEvent* /*event*/) { RebuildBackground(); }

void PanelView::RebuildBackground() {
  const int w = std::max(1, width());
  const int h = std::max(1, height());
  background_ = QImage(w, h, QImage::Format_RGB32);
  const bool dark = view::IsDarkStyle(style_);
  background_.fill(dark ? QColor(44, 44, 44) : QColor(171, 171, 173));
  QPainter painter(&background_);
  const int half = mainWindowWidth_ / 2;
  const int lines = w / 8 + mainWindowWidth_ / 16;
  for (int i = 0; i <= lines; ++i) {
    if (dark) {
      painter.setPen(QColor(50, 50, 50));
    } else {
      painter.setPen(i % 2 == 0 ? QColor(154, 154, 154) : QColor(156, 156, 156));
    }
    painter.drawLine(8 * i, 0, 8 * i - half, h);
  }
}

void PanelView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  if (background_.size() != size()) RebuildBackground();
  painter.drawImage(0, 0, background_);
  const bool hasPicture =
      welcomeTitle_.isEmpty() && !blank_ && pictureVisible_ && !picture_.isNull() && !pictureRect_.isEmpty();
  if (hasPicture) {
    const bool reachesBoth = pictureRect_.left() + pictureRect_.width() >= width() &&
                             pictureRect_.top() + pictureRect_.height() >= height();
    if (shadowAllowed_ && !reachesBoth) PaintShadow(painter);
    PaintPicture(painter, picture_);
    if (!overlay_.isNull() && picture_.width() > 0 && picture_.height() > 0) {
      const double sx = static_cast<double>(pictureRect_.width()) / picture_.width();
      const double sy = static_cast<double>(pictureRect_.height()) / picture_.height();
      painter.save();
      painter.setClipRect(pictureRect_);
      painter.setRenderHint(QPainter::SmoothPixmapTransform, sx < 1.0);
      painter.drawImage(QRectF(pictureRect_.left() + overlayAt_.x() * sx, pictureRect_.top() + overlayAt_.y() * sy,
                               overlay_.width() * sx, overlay_.height() * sy),
                        overlay_);
      painter.restore();
    }
    if (selection_) PaintSelection(painter);
    if (!hint_.isEmpty()) PaintHint(painter);
  }
  if (!welcomeTitle_.isEmpty()) PaintWelcome(painter);
  if (guideLine_) {
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
    painter.drawLine(*guideLine_, 0, *guideLine_, height());
  }
}

void PanelView::PaintShadow(QPainter& painter) const {
  const int l = pictureRect_.left();
  const int t = pictureRect_.top();
  const int w = pictureRect_.width();
  const int h = pictureRect_.height();
  const int n = view::ShadowDepth(h);
  if (n <= 0) return;
  // Work only on the visible part: a zoomed photograph can be far larger than the panel.
  const QRect area = QRect(l, t, w + n + 1, h + n + 1).intersected(rect());
  if (area.isEmpty()) return;
  QImage patch = background_.copy(area);
  auto pixel = [&patch, &area](int x, int y) -> QRgb& {
    return reinterpret_cast<QRgb*>(patch.scanLine(y - area.top()))[x - area.left()];
  };
  for (int k = 0; k <= n; ++k) {
    const int percent = 5 * k - 35;
    const int row = t + h + k;
    if (row >= area.top() && row <= area.bottom()) {
      const int last = std::min(l + w + k, area.right());
      for (int x = std::max(l + 2 * n + k / 2, area.left()); x <= last; ++x) DarkenPixel(pixel(x, row), percent);
    }
    const int column = l + w + k;
    if (column >= area.left() && column <= area.right()) {
      const int last = std::min(t + h + k - 1, area.bottom());
      for (int y = std::max(t + 2 * n + k / 2, area.top()); y <= last; ++y) DarkenPixel(pixel(column, y), percent);
    }
  }
  // Soften both bands so that the shadow fades instead of showing its steps.
  for (const QRect& band : {QRect(l, t + h, w, n), QRect(l + w, t, n, h)}) {
    const QRect part = band.intersected(area);
    if (part.isEmpty()) continue;
    Bitmap soft = BitmapOfRegion(patch, part.translated(-area.topLeft()));
    BoxBlur3(soft);
    BoxBlur3(soft);
    StoreBitmap(soft, patch, part.left() - area.left(), part.top() - area.top());
  }
  for (const QRect& shown : {QRect(l, t + h, w + n + 1, n + 1), QRect(l + w, t, n + 1, h)}) {
    const QRect part = shown.intersected(area);
    if (!part.isEmpty()) painter.drawImage(part.topLeft(), patch, part.translated(-area.topLeft()));
  }
}

void PanelView::PaintPicture(QPainter& painter, const QImage& image) const {
  const QRect visible = pictureRect_.intersected(rect());
  if (visible.isEmpty()) return;
  if (pictureRect_.size() == image.size()) {
    painter.drawImage(visible.topLeft(), image, visible.translated(-pictureRect_.topLeft()));
    return;
  }
  // Only the visible part is resampled: a large picture at a high zoom stays cheap to paint.
  const double sx = static_cast<double>(image.width()) / pictureRect_.width();
  const double sy = static_cast<double>(image.height()) / pictureRect_.height();
  const QRectF source((visible.left() - pictureRect_.left()) * sx,
                      (visible.top() - pictureRect_.top()) * sy, visible.width() * sx,
                      visible.height() * sy);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, pictureRect_.width() < image.width());
  painter.drawImage(QRectF(visible), image, source);
}

void PanelView::PaintSelection(QPainter& painter) const {
  if (picture_.isNull() || picture_.width() == 0) return;
  const QRect& s = *selection_;
  const double scale = static_cast<double>(pictureRect_.width()) / picture_.width();
  const QRectF shown(pictureRect_.left() + s.left() * scale, pictureRect_.top() + s.top() * scale,
                     (s.width()) * scale, (s.height()) * scale);
  if (!lightened_.isNull()) painter.drawImage(shown, lightened_, QRectF(s));
  // A dotted black outline on white, as a drawing program marks a selection.
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::white);
  painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(shown.toAlignedRect().adjusted(0, 0, -1, -1));
  painter.setBackgroundMode(Qt::TransparentMode);
}

void PanelView::PaintHint(QPainter& painter) const {
  QFont font = painter.font();
  font.setPointSizeF(std::max(8.0, font.pointSizeF()));
  painter.setFont(font);
  const QRect area = pictureRect_.intersected(rect());
  const QRect text = painter.fontMetrics().boundingRect(hint_).adjusted(-12, -6, 12, 6);
  QRect box(0, 0, text.width(), text.height());
  box.moveCenter(QPoint(area.center().x(), area.bottom() - text.height()));
  if (!area.contains(box)) return;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 140));
  painter.drawRoundedRect(box, 8, 8);
  painter.setPen(QColor(255, 255, 255, 230));
  painter.drawText(box, Qt::AlignCenter, hint_);
}

PanelMouse PanelView::MouseOf(QMouseEvent* event) const {
  PanelMouse m;
  m.panel = number_;
  const QPoint p = event->position().toPoint();
  m.picture = p - pictureRect_.topLeft();
  m.global = event->globalPosition().toPoint();
  m.button = event->button();
  m.buttons = event->buttons();
  m.onPicture = pictureVisible_ && pictureRect_.contains(p);
  return m;
}

void PanelView::mousePressEvent(QMouseEvent* event) { listener_.PanelPress(MouseOf(event)); }
void PanelView::mouseMoveEvent(QMouseEvent* event) { listener_.PanelMove(MouseOf(event)); }
void PanelView::mouseReleaseEvent(QMouseEvent* event) { listener_.PanelRelease(MouseOf(event)); }
void PanelView::mouseDoubleClickEvent(QMouseEvent* event) {
  listener_.PanelDoubleClick(MouseOf(event));
}

void PanelView::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches != 0) listener_.PanelWheelAt(number_, notches, event->position().toPoint());
  event->accept();
}

void PanelView::enterEvent(QEnterEvent* /*event*/) { listener_.PanelEntered(number_); }

}  // namespace brumeleaf
