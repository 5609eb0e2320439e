#include "resources/Hatching.h"

#include <algorithm>
#include <cmath>

namespace brumeleaf {

namespace {

struct Vector {
  double x, y;
};

Vector Normalised(Vector v) {
  const double length = std::sqrt(v.x * v.x + v.y * v.y);
  return {v.x / length, v.y / length};
}

struct Stroke {
  Vector start, direction;
  double length, halfWidth, pressure;
};

// Cover of one stroke at a pixel centre: strongest on its axis, fading to nothing at its edge,
// and lighter over the first and last fifth where the pencil lands and lifts.
double StrokeCover(const Stroke& s, double px, double py) {
  const double rx = px - s.start.x, ry = py - s.start.y;
  const double along = rx * s.direction.x + ry * s.direction.y;
  if (along < 0 || along > s.length) return 0;
  const double across = rx * s.direction.y - ry * s.direction.x;
  const double d = std::abs(across) / s.halfWidth;
  if (d >= 1) return 0;
  const double t = along / s.length;
  const double taper = std::min({1.0, 0.3 + 3.5 * t, 0.3 + 3.5 * (1.0 - t)});
  return s.pressure * taper * (1.0 - d * d);
}

void Draw(TileField& field, const Stroke& s) {
  const double endX = s.start.x + s.direction.x * s.length, endY = s.start.y + s.direction.y * s.length;
  const double margin = s.halfWidth + 1.0;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min(s.start.x, endX) - margin)));
  const int x1 = std::min(field.Width() - 1, static_cast<int>(std::ceil(std::max(s.start.x, endX) + margin)));
  const int y0 = std::max(0, static_cast<int>(std::floor(std::min(s.start.y, endY) - margin)));
  const int y1 = std::min(field.Height() - 1, static_cast<int>(std::ceil(std::max(s.start.y, endY) + margin)));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const double a = StrokeCover(s, x + 0.5, y + 0.5);
      if (a > 0) field.At(x, y) = 1.0 - (1.0 - field.At(x, y)) * (1.0 - a);
    }
  }
}

double Between(Random& random, double low, double high) { return low + (high - low) * random.NextFloat(); }

}  // namespace

TileField Hatching(int width, int height, const HatchingStyle& style, Random& random) {
  TileField field(width, height);
  const Vector d = Normalised({style.directionX, style.directionY});
  const Vector n{-d.y, d.x};
  const Vector centre{width / 2.0, height / 2.0};
  // Cover the whole field from its centre, in lines of strokes along d, one line per spacing.
  const double reach = std::sqrt(static_cast<double>(width) * width + static_cast<double>(height) * height) / 2.0 + style.maxLength;
  for (double offset = -reach; offset < reach; offset += style.spacing) {
    double along = -reach - Between(random, 0, style.maxLength);
    while (along < reach) {
      const double length = Between(random, style.minLength, style.maxLength);
      const double across = offset + Between(random, -0.35, 0.35) * style.spacing;
      const double wobble = Between(random, -0.06, 0.06);
      Stroke s;
      s.start = {centre.x + d.x * along + n.x * across, centre.y + d.y * along + n.y * across};
      s.direction = Normalised({d.x + wobble * n.x, d.y + wobble * n.y});
      s.length = length;
      s.halfWidth = style.halfWidth * Between(random, 0.8, 1.25);
      s.pressure = Between(random, 0.55, 1.0);
      Draw(field, s);
      along += length + Between(random, -0.2, 0.5) * length * 0.5;
    }
  }
  return field;
}

}  // namespace brumeleaf
