#include "resources/PaintBrush3D.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <algorithm>
#include <cmath>

#include "resources/GrainNoise.h"

namespace brumeleaf {

namespace {

constexpr double kCentreX = kPaintBrush3DWidth / 2.0;
constexpr double kCentreY = kPaintBrush3DHeight / 2.0;
constexpr double kRadius = 41.0;
constexpr double kSoftRim = 15.0;  // width of the rim over which the paint thins out

// Smooth noise at `cell` pixels: hashed values on a lattice, blended bilinearly. The stamps of
// this brush are never turned, so its texture is made of round clumps rather than streaks
// that would line up across every stroke.
double Clumps(double x, double y, double cell, std::uint32_t salt) {
  const double gx = x / cell, gy = y / cell;
  const int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
  const double fx = gx - ix, fy = gy - iy;
  const double top = grain::Hash01(ix, iy, salt) * (1 - fx) + grain::Hash01(ix + 1, iy, salt) * fx;
  const double bottom = grain::Hash01(ix, iy + 1, salt) * (1 - fx) + grain::Hash01(ix + 1, iy + 1, salt) * fx;
  return top * (1 - fy) + bottom * fy;
}

// Smooth noise around the dab's outline, closing on itself after a full turn.
double AroundTheRim(double angle, std::uint32_t salt) {
  constexpr int kSegments = 22;
  const double t = angle / (2.0 * 3.141592653589793) * kSegments;
  const int i = static_cast<int>(std::floor(t));
  const double f = t - i;
  const double ease = 0.5 - 0.5 * std::cos(f * 3.141592653589793);
  const double a = grain::Hash01(((i % kSegments) + kSegments) % kSegments, 0, salt);
  const double b = grain::Hash01((((i + 1) % kSegments) + kSegments) % kSegments, 0, salt);
  return a + (b - a) * ease;
}

AlphaPicture DrawBrush() {
  AlphaPicture brush(kPaintBrush3DWidth, kPaintBrush3DHeight);
  for (int y = 0; y < brush.height; ++y) {
    for (int x = 0; x < brush.width; ++x) {
      const double dx = x + 0.5 - kCentreX;
      const double dy = y + 0.5 - kCentreY;
      const double distance = std::sqrt(dx * dx + dy * dy);
      // Bundles of hair reach out unevenly around the dab, so the rim is ragged.
      const double reach = kRadius * (0.86 + 0.18 * AroundTheRim(std::atan2(dy, dx), 0xB215u));
      double cover = std::clamp((reach - distance) / kSoftRim, 0.0, 1.0);
      if (cover < 1.0) {
        // In the rim single hairs leave gaps.
        const double hair = grain::Hash01(x, y, 0x4A12u);
        cover *= hair < 0.3 ? 0.35 : 0.7 + 0.3 * hair;
      }
      const double load = 0.8 + 0.2 * Clumps(x, y, 7.0, 0x10ADu);
      cover *= load + (1.0 - load) * std::clamp((reach - distance) / (2.0 * kSoftRim), 0.0, 1.0);
      std::uint8_t* p = brush.At(x, y);
      p[3] = static_cast<std::uint8_t>(std::lround(255.0 * std::clamp(cover, 0.0, 1.0)));
      // Dark paint, a little lighter where the hairs hold less of it.
      const double thin = 0.65 * Clumps(x, y, 5.0, 0x57EAu) + 0.35 * grain::Hash01(x, y, 0x9E11u);
      const int level = static_cast<int>(std::lround(18.0 + 70.0 * thin * thin));
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(level);
    }
  }
  return brush;
}

bool FullyOpaque(const QImage& rgba) {
  for (int y = 0; y < rgba.height(); ++y) {
    const std::uint8_t* in = rgba.constScanLine(y);
    for (int x = 0; x < rgba.width(); ++x)
      if (in[4 * x + 3] != 255) return false;
  }
  return true;
}

Bitmap OpaqueBitmapOf(const QImage& rgba) {
  Bitmap bitmap(rgba.width(), rgba.height());
  for (int y = 0; y < rgba.height(); ++y) {
    const std::uint8_t* in = rgba.constScanLine(y);
    std::uint8_t* out = bitmap.ScanLine(y);
    for (int x = 0; x < rgba.width(); ++x, in += 4, out += 3) out[0] = in[2], out[1] = in[1], out[2] = in[0];
  }
  return bitmap;
}

}  // namespace

const AlphaPicture& StandardPaintBrush3D() {
  static const AlphaPicture brush = DrawBrush();
  return brush;
}

AlphaPicture BrushFromPaintedPicture(const Bitmap& picture) {
  AlphaPicture brush(picture.Width(), picture.Height());
  for (int y = 0; y < picture.Height(); ++y) {
    const std::uint8_t* in = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x, in += 3) {
      std::uint8_t* out = brush.At(x, y);
      const int a = 255 - std::min({in[0], in[1], in[2]});
      out[3] = static_cast<std::uint8_t>(a);
      // level = c a / 255 + 255 - a, solved for c.
      for (int c = 0; c < 3; ++c) out[c] = a == 0 ? 0 : ClampLevel((in[c] - (255 - a)) * 255 / a);
    }
  }
  return brush;
}

AlphaPicture LoadAlphaPicture(const std::string& path) {
  // The size is checked from the header, before the picture is decoded.
  QImageReader reader(QString::fromStdString(path));
  const QSize size = reader.size();
  if (size.isValid()) Bitmap::CheckSize(size.width(), size.height());
  QImage image = reader.read();
  if (image.isNull()) throw ImageError("Cannot read the brush picture " + path + ".");
  // A brush saved without transparency (a dab painted on white, or a PNG whose alpha is opaque
  // everywhere) would stamp its whole rectangle; its transparency is recovered from the white
  // around the paint instead.
  image = image.convertToFormat(QImage::Format_RGBA8888);
  if (FullyOpaque(image)) return BrushFromPaintedPicture(OpaqueBitmapOf(image));
  AlphaPicture brush(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const std::uint8_t* in = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x, in += 4) {
      std::uint8_t* out = brush.At(x, y);
      out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = in[3];
    }
  }
  return brush;
}

void SaveAlphaPicture(const AlphaPicture& picture, const std::string& path) {
  QImage image(picture.width, picture.height, QImage::Format_RGBA8888);
  for (int y = 0; y < picture.height; ++y) {
    std::uint8_t* out = image.scanLine(y);
    for (int x = 0; x < picture.width; ++x, out += 4) {
      const std::uint8_t* in = picture.At(x, y);
      out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = in[3];
    }
  }
  if (!image.save(QString::fromStdString(path), "PNG")) throw ImageError("Cannot write the brush picture " + path + ".");
}

}  // namespace brumeleaf
