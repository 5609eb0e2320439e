#include "resources/AppIcon.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <optional>
#include <vector>

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace brumeleaf {

namespace {

constexpr double kUnits = 256.0;  // the drawing's own square

struct Stop {
  double at;
  QColor colour;
};

// One shape of the drawing: a filled and/or stroked path, optionally clipped to another path.
struct Layer {
  QPainterPath path;
  std::vector<Stop> fill;  // one stop: a plain colour; several: a gradient from fillFrom to fillTo
  QPointF fillFrom, fillTo;
  QColor stroke;           // invalid: no stroke
  double strokeWidth = 0;  // in units
  double minStrokePixels = 0;  // a line never gets thinner than this on screen
  std::optional<QPainterPath> clip;
};

// The leaf in its own frame (tip up, base down, midrib on x = 0), then turned to lean right.
constexpr double kLeafHalfLength = 90;
constexpr double kLeafHalfWidth = 64;

QPainterPath HalfLeaf(double side) {
  const double l = kLeafHalfLength, w = kLeafHalfWidth * side;
  QPainterPath p(QPointF(0, l));
  p.cubicTo(w * 1.15, l * 0.55, w * 1.05, -l * 0.45, 0, -l);
  p.closeSubpath();
  return p;
}

QPainterPath WholeLeaf() {
  const double l = kLeafHalfLength, w = kLeafHalfWidth;
  QPainterPath p(QPointF(0, l));
  p.cubicTo(w * 1.15, l * 0.55, w * 1.05, -l * 0.45, 0, -l);
  p.cubicTo(-w * 1.05, -l * 0.45, -w * 1.15, l * 0.55, 0, l);
  p.closeSubpath();
  return p;
}

QTransform LeafPlacement() {
  QTransform t;
  t.translate(130, 120);
  t.rotate(42);
  return t;
}

struct Drawing {
  QPainterPath tile, leaf, left, right, hatching, veins, midrib, shadow;
  std::vector<Layer> layers;
};

// How much the drawing shows: small icons keep the leaf and its two halves, middle sizes a
// coarser hatching, large ones every detail.
enum class Detail { Small, Middle, Full };

// The tile's edge placed on whole pixels at `pixels` (0 for the scalable drawing), so its
// border stays one crisp line at small sizes.
QRectF TileRect(int pixels, double borderUnits) {
  if (pixels <= 0) return QRectF(14, 14, 228, 228);
  const double unit = kUnits / pixels;
  const double border = std::max(borderUnits, unit);
  const double edge = std::floor(14.0 / unit) * unit + border / 2;
  return QRectF(edge, edge, kUnits - 2 * edge, kUnits - 2 * edge);
}

Drawing MakeDrawing(int pixels) {
  Drawing d;
  const Detail detail = pixels <= 0 || pixels >= 64 ? Detail::Full : pixels >= 32 ? Detail::Middle : Detail::Small;
  const bool detailed = detail != Detail::Small;
  const QTransform place = LeafPlacement();
  d.tile.addRoundedRect(TileRect(pixels, 3), 46, 46);
  d.left = place.map(HalfLeaf(-1));
  d.right = place.map(HalfLeaf(1));
  d.leaf = place.map(WholeLeaf());
  d.shadow = QTransform::fromTranslate(5, 7).map(d.leaf);

  // Pencil hatching over the drawn half: parallel strokes slanting across the midrib's line.
  QPainterPath hatch;
  const double spacing = detail == Detail::Full ? 11 : 20;
  for (double y = -kLeafHalfLength + 8; y < kLeafHalfLength; y += spacing) {
    hatch.moveTo(-2, y);
    hatch.lineTo(kLeafHalfWidth * 1.2, y - 26);
  }
  d.hatching = place.map(hatch);

  // Side veins of the painted half.
  QPainterPath veins;
  for (double y : {40.0, 5.0, -30.0}) {
    veins.moveTo(0, y);
    veins.quadTo(-kLeafHalfWidth * 0.45, y - 12, -kLeafHalfWidth * 0.78, y - 34);
  }
  d.veins = place.map(veins);

  // The midrib runs on past the base as the stalk.
  QPainterPath midrib(QPointF(0, -kLeafHalfLength + 6));
  midrib.lineTo(0, kLeafHalfLength);
  midrib.quadTo(1, kLeafHalfLength + 18, 10, kLeafHalfLength + 32);
  d.midrib = place.map(midrib);

  const QColor ink(0x24, 0x33, 0x2b);
  Layer tile{d.tile, {{0, QColor(0xd9, 0xe4, 0xec)}, {0.55, QColor(0xf1, 0xf1, 0xea)}, {1, QColor(0xfb, 0xf5, 0xe6)}},
             QPointF(0, 14), QPointF(0, 242), QColor(0x7d, 0x8e, 0x98), 3, 1, std::nullopt};
  d.layers.push_back(tile);
  if (detailed) d.layers.push_back({d.shadow, {{0, QColor(0x30, 0x40, 0x50, 46)}}, {}, {}, QColor(), 0, 0, std::nullopt});
  d.layers.push_back({d.right, {{0, detailed ? QColor(0xff, 0xfd, 0xf7) : QColor(0xc9, 0xe4, 0xb6)}}, {}, {},
                      QColor(), 0, 0, std::nullopt});
  if (detailed)
    d.layers.push_back({d.hatching, {}, {}, {}, QColor(0x5d, 0x64, 0x6c), detail == Detail::Full ? 3.2 : 7, 0, d.right});
  d.layers.push_back({d.left, {{0, QColor(0x9b, 0xd4, 0x6a)}, {1, QColor(0x2c, 0x7a, 0x3c)}},
                      place.map(QPointF(-kLeafHalfWidth, -kLeafHalfLength)), place.map(QPointF(0, kLeafHalfLength)),
                      QColor(), 0, 0, std::nullopt});
  if (detail == Detail::Full) d.layers.push_back({d.veins, {}, {}, {}, QColor(0xc4, 0xe8, 0xa4), 3, 0, d.left});
  d.layers.push_back({d.leaf, {}, {}, {}, ink, 6, 1.1, std::nullopt});
  d.layers.push_back({d.midrib, {}, {}, {}, ink, 5, 1, std::nullopt});
  return d;
}

QBrush FillBrush(const Layer& layer) {
  if (layer.fill.size() == 1) return QBrush(layer.fill.front().colour);
  QLinearGradient gradient(layer.fillFrom, layer.fillTo);
  for (const Stop& stop : layer.fill) gradient.setColorAt(stop.at, stop.colour);
  return QBrush(gradient);
}

std::string Number(double v) {
  // Whatever the locale: a decimal comma would break the path data.
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 2).ptr;
  std::string s(text, end);
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

std::string PathData(const QPainterPath& path) {
  std::string data;
  QPointF start;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    switch (e.type) {
      case QPainterPath::MoveToElement:
        data += 'M';
        start = QPointF(e.x, e.y);
        break;
      case QPainterPath::LineToElement:
        // A line back to where the figure began closes it, so its stroke joins there.
        if (QPointF(e.x, e.y) == start) {
          data += 'Z';
          continue;
        }
        data += 'L';
        break;
      case QPainterPath::CurveToElement: data += 'C'; break;
      case QPainterPath::CurveToDataElement: data += ' '; break;
    }
    data.append(Number(e.x)).append(" ").append(Number(e.y));
  }
  return data;
}

std::string Colour(const QColor& c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red(), c.green(), c.blue());
  return text;
}

std::string Opacity(const char* what, const QColor& c) {
  if (c.alpha() == 255) return "";
  return std::string(" ") + what + "-opacity=\"" + Number(c.alphaF()) + "\"";
}

}  // namespace

QImage AppIconImage(int size) {
  if (size < 1 || size > 1024) throw std::invalid_argument("icon size must lie within 1..1024");
  const Drawing drawing = MakeDrawing(size);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const double scale = size / kUnits;
  painter.scale(scale, scale);
  for (const Layer& layer : drawing.layers) {
    painter.save();
    if (layer.clip) painter.setClipPath(*layer.clip);
    if (layer.stroke.isValid()) {
      const double width = std::max(layer.strokeWidth, layer.minStrokePixels / scale);
      painter.setPen(QPen(layer.stroke, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else {
      painter.setPen(Qt::NoPen);
    }
    painter.setBrush(layer.fill.empty() ? QBrush(Qt::NoBrush) : FillBrush(layer));
    painter.drawPath(layer.path);
    painter.restore();
  }
  return image;
}

std::string AppIconSvg() {
  const Drawing drawing = MakeDrawing(0);
  std::string defs, body;
  int gradients = 0, clips = 0;
  for (const Layer& layer : drawing.layers) {
    std::string attributes;
    if (layer.fill.size() > 1) {
      const std::string id = "fill" + std::to_string(++gradients);
      defs += "    <linearGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"" + Number(layer.fillFrom.x()) +
              "\" y1=\"" + Number(layer.fillFrom.y()) + "\" x2=\"" + Number(layer.fillTo.x()) + "\" y2=\"" +
              Number(layer.fillTo.y()) + "\">\n";
      for (const Stop& stop : layer.fill)
        defs += "      <stop offset=\"" + Number(stop.at) + "\" stop-color=\"" + Colour(stop.colour) + "\"/>\n";
      defs += "    </linearGradient>\n";
      attributes += " fill=\"url(#" + id + ")\"";
    } else if (layer.fill.size() == 1) {
      attributes += " fill=\"" + Colour(layer.fill.front().colour) + "\"" + Opacity("fill", layer.fill.front().colour);
    } else {
      attributes += " fill=\"none\"";
    }
    if (layer.stroke.isValid()) {
      attributes += " stroke=\"" + Colour(layer.stroke) + "\" stroke-width=\"" + Number(layer.strokeWidth) +
                    "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    }
    if (layer.clip) {
      const std::string id = "clip" + std::to_string(++clips);
      defs += "    <clipPath id=\"" + id + "\"><path d=\"" + PathData(*layer.clip) + "\"/></clipPath>\n";
      attributes += " clip-path=\"url(#" + id + ")\"";
    }
    body += "  <path d=\"" + PathData(layer.path) + "\"" + attributes + "/>\n";
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
         "  <defs>\n" + defs + "  </defs>\n" + body + "</svg>\n";
}

}  // namespace brumeleaf
