#include "pipeline/Caption.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextOption>

#include <algorithm>
#include <cstdint>

namespace brumeleaf {
namespace {

void RequireGui() {
  if (!qGuiApp) throw ImageError("Text can only be drawn once the program's display is set up.");
}

QFont CaptionFont(const CaptionOptions& o, int pixelSize) {
  QFont font(QString::fromStdString(o.fontName));
  font.setPixelSize(std::max(1, pixelSize));
  font.setBold(o.bold);
  font.setItalic(o.italic);
  font.setUnderline(o.underline);
  font.setStrikeOut(o.strikeout);
  // The doubling smooths the text; Qt's own smoothing would blur it twice and differ between
  // machines.
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

QTextOption LeftToRight() {
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setTextDirection(Qt::LeftToRight);
  option.setWrapMode(QTextOption::NoWrap);
  return option;
}

}  // namespace

CaptionRange CaptionRanges(TextSize text, int resultWidth, int resultHeight) {
  return {static_cast<int>(static_cast<long long>(text.width) * -150 / 100), resultWidth,
          static_cast<int>(static_cast<long long>(text.height) * -150 / 100), resultHeight};
}

CaptionPoint ClampToRange(CaptionPoint p, const CaptionRange& r) {
  p.x = std::clamp(p.x, std::min(r.minX, r.maxX), r.maxX);
  p.y = std::clamp(p.y, std::min(r.minY, r.maxY), r.maxY);
  return p;
}

CaptionPoint SetPos(int anchor, int width, int height, int fx, int fy, TextSize text, int rightWidth,
                    CaptionPoint current) {
  CaptionPoint p = current;
  const int column = anchor == 0 ? -1 : (anchor - 1) % 3;  // 0 left, 1 middle, 2 right
  const int row = anchor == 0 ? -1 : (anchor - 1) / 3;     // 0 top, 1 middle, 2 bottom
  if (anchor >= 1 && anchor <= 9) {
    p.x = column == 0 ? fx + 3 : column == 1 ? (width - text.width) / 2 : width - fx - 3 - rightWidth;
    p.y = row == 0 ? fy + 3 : row == 1 ? (height - text.height) / 2 : height - fy - text.height + 3;
  }
  return ClampToRange(p, CaptionRanges(text, width, height));
}

int CaptionPixelSize(int points) {
  const long long px = (static_cast<long long>(points) * 96 * 2 + 72) / (72 * 2);
  return static_cast<int>(std::clamp<long long>(px, 1, 100000));
}

TextSize MeasureCaptionText(const CaptionOptions& font, const std::string& text) {
  RequireGui();
  const QFontMetrics metrics(CaptionFont(font, CaptionPixelSize(font.FontSize())));
  return {metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

std::string MissingFontNotice(const std::string& family) {
  RequireGui();
  if (QFontDatabase::hasFamily(QString::fromStdString(family))) return {};
  return "The font \"" + family + "\" is not installed; the text is drawn with a similar font.";
}

void WriteAntiAlias(Bitmap& canvas, int x, int y, const std::string& text, const CaptionOptions& font,
                    Colour colour) {
  RequireGui();
  const TextSize size = MeasureCaptionText(font, text);
  const long long w = static_cast<long long>(size.width) + 10, h = size.height;
  // Only the part of the rectangle (x, y)-(x + w, y + h) inside the picture is processed.
  const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
  const long long x1 = std::min<long long>(x + w, canvas.Width()), y1 = std::min<long long>(y + h, canvas.Height());
  if (x1 <= x0 || y1 <= y0) return;
  const int sw = static_cast<int>(x1 - x0), sh = static_cast<int>(y1 - y0);

  // The pixels under the text doubled by replication, in a picture Qt can paint on.
  QImage large(2 * sw, 2 * sh, QImage::Format_RGB32);
  if (large.isNull()) throw ImageError("Sorry, not enough memory to proceed. Try decreasing the size of the source image.");
  for (int j = 0; j < sh; ++j) {
    const std::uint8_t* from = canvas.ScanLine(static_cast<int>(y0) + j) + 3 * x0;
    auto* top = reinterpret_cast<QRgb*>(large.scanLine(2 * j));
    auto* bottom = reinterpret_cast<QRgb*>(large.scanLine(2 * j + 1));
    for (int i = 0; i < sw; ++i) {
      const QRgb c = qRgb(from[3 * i + 2], from[3 * i + 1], from[3 * i]);
      top[2 * i] = top[2 * i + 1] = bottom[2 * i] = bottom[2 * i + 1] = c;
    }
  }
  {
    QPainter painter(&large);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setLayoutDirection(Qt::LeftToRight);
    painter.setFont(CaptionFont(font, CaptionPixelSize(2 * font.FontSize())));
    painter.setPen(QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
    painter.setBrush(Qt::NoBrush);
    // Written at (-2, 0) of the doubled rectangle, shifted by the part cut off the picture.
    const qreal ox = -2.0 - 2.0 * static_cast<qreal>(x0 - x);
    const qreal oy = -2.0 * static_cast<qreal>(y0 - y);
    painter.drawText(QRectF(ox, oy, 4.0 * static_cast<qreal>(w) + 64, 4.0 * static_cast<qreal>(h) + 64),
                     QString::fromStdString(text), LeftToRight());
  }
  for (int j = 0; j < sh; ++j) {
    std::uint8_t* to = canvas.ScanLine(static_cast<int>(y0) + j) + 3 * x0;
    const auto* top = reinterpret_cast<const QRgb*>(large.constScanLine(2 * j));
    const auto* bottom = reinterpret_cast<const QRgb*>(large.constScanLine(2 * j + 1));
    for (int i = 0; i < sw; ++i) {
      const QRgb a = top[2 * i], b = top[2 * i + 1], c = bottom[2 * i], d = bottom[2 * i + 1];
      to[3 * i] = static_cast<std::uint8_t>((qBlue(a) + qBlue(b) + qBlue(c) + qBlue(d)) >> 2);
      to[3 * i + 1] = static_cast<std::uint8_t>((qGreen(a) + qGreen(b) + qGreen(c) + qGreen(d)) >> 2);
      to[3 * i + 2] = static_cast<std::uint8_t>((qRed(a) + qRed(b) + qRed(c) + qRed(d)) >> 2);
    }
  }
}

CaptionPoint CaptionPosition(const Bitmap& result, const CaptionOptions& options, int fx, int fy) {
  const TextSize text = MeasureCaptionText(options, options.text);
  const bool italicOnly = options.italic && !options.bold && !options.underline && !options.strikeout;
  const int rightWidth = italicOnly ? MeasureCaptionText(options, options.text + " ").width : text.width;
  // A user-defined position never stored starts at the top left corner.
  const CaptionPoint stored{std::max(options.x, 0), std::max(options.y, 0)};
  return SetPos(options.Position(), result.Width(), result.Height(), fx, fy, text, rightWidth, stored);
}

std::string DrawCaption(Bitmap& result, const CaptionOptions& options, int fx, int fy) {
  RequireGui();
  if (result.Empty()) return {};
  const std::string notice = MissingFontNotice(options.fontName);
  const CaptionPoint origin = CaptionOrigin(CaptionPosition(result, options, fx, fy));
  const std::string text = options.text + " ";
  if (options.shadow) WriteAntiAlias(result, origin.x + 1, origin.y + 1, text, options, kBlack);
  WriteAntiAlias(result, origin.x, origin.y, text, options, static_cast<Colour>(options.Colour()));
  return notice;
}

CaptionPatch MakeCaptionPatch(const Bitmap& result, const CaptionOptions& options, int fx, int fy) {
  RequireGui();
  CaptionPatch patch;
  if (result.Empty()) return patch;
  const CaptionPoint origin = CaptionOrigin(CaptionPosition(result, options, fx, fy));
  const std::string text = options.text + " ";
  const TextSize size = MeasureCaptionText(options, text);
  const long long x0 = std::max<long long>(origin.x, 0), y0 = std::max<long long>(origin.y, 0);
  const long long x1 = std::min<long long>(static_cast<long long>(origin.x) + size.width + 11, result.Width());
  const long long y1 = std::min<long long>(static_cast<long long>(origin.y) + size.height + 1, result.Height());
  if (x1 <= x0 || y1 <= y0) return patch;
  patch.x = static_cast<int>(x0);
  patch.y = static_cast<int>(y0);
  patch.pixels.SetSize(static_cast<int>(x1 - x0), static_cast<int>(y1 - y0));
  for (int j = 0; j < patch.pixels.Height(); ++j) {
    std::copy_n(result.ScanLine(patch.y + j) + 3 * static_cast<std::size_t>(patch.x),
                3 * static_cast<std::size_t>(patch.pixels.Width()), patch.pixels.ScanLine(j));
  }
  const int ox = origin.x - patch.x, oy = origin.y - patch.y;
  if (options.shadow) WriteAntiAlias(patch.pixels, ox + 1, oy + 1, text, options, kBlack);
  WriteAntiAlias(patch.pixels, ox, oy, text, options, static_cast<Colour>(options.Colour()));
  return patch;
}

}  // namespace brumeleaf
