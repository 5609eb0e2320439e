#include "app/ExamplePictures.h"

#include <QLinearGradient>
#include <algorithm>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "effects/Frames.h"
#include "effects/Catalogue.h"
#include "pipeline/Session.h"
#include "imaging/Random.h"

namespace brumeleaf {

namespace {

void PaintSky(QPainter& p, int s) {
  QLinearGradient sky(0, 0, 0, s * 0.55);
  sky.setColorAt(0, QColor(58, 112, 182));
  sky.setColorAt(1, QColor(214, 228, 240));
  p.fillRect(0, 0, s, s, sky);
  QRadialGradient sun(s * 0.74, s * 0.22, s * 0.12);
  sun.setColorAt(0, QColor(255, 244, 200));
  sun.setColorAt(0.55, QColor(255, 214, 120));
  sun.setColorAt(1, QColor(255, 214, 120, 0));
  p.setBrush(sun);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(s * 0.74, s * 0.22), s * 0.12, s * 0.12);
}

void PaintHills(QPainter& p, int s) {
  QPainterPath far;
  far.moveTo(0, s * 0.52);
  far.cubicTo(s * 0.25, s * 0.36, s * 0.45, s * 0.50, s * 0.62, s * 0.42);
  far.cubicTo(s * 0.80, s * 0.34, s * 0.92, s * 0.46, s, s * 0.44);
  far.lineTo(s, s * 0.62);
  far.lineTo(0, s * 0.62);
  p.setBrush(QColor(96, 128, 104));
  p.drawPath(far);
  QPainterPath near;
  near.moveTo(0, s * 0.60);
  near.cubicTo(s * 0.30, s * 0.50, s * 0.55, s * 0.66, s, s * 0.56);
  near.lineTo(s, s * 0.70);
  near.lineTo(0, s * 0.70);
  QLinearGradient grass(0, s * 0.5, 0, s * 0.7);
  grass.setColorAt(0, QColor(118, 160, 70));
  grass.setColorAt(1, QColor(70, 112, 44));
  p.setBrush(grass);
  p.drawPath(near);
}

void PaintHouse(QPainter& p, int s) {
  const QRectF wall(s * 0.16, s * 0.50, s * 0.20, s * 0.15);
  p.setBrush(QColor(226, 208, 176));
  p.setPen(QPen(QColor(70, 50, 40), 1));
  p.drawRect(wall);
  const QPointF roof[] = {{s * 0.13, s * 0.51}, {s * 0.26, s * 0.41}, {s * 0.39, s * 0.51}};
  p.setBrush(QColor(168, 58, 44));
  p.drawPolygon(roof, 3);
  p.setBrush(QColor(64, 82, 110));
  p.drawRect(QRectF(s * 0.19, s * 0.54, s * 0.045, s * 0.045));
  p.drawRect(QRectF(s * 0.29, s * 0.545, s * 0.04, s * 0.105));
}

void PaintTree(QPainter& p, int s) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(92, 62, 38));
  p.drawRect(QRectF(s * 0.655, s * 0.48, s * 0.03, s * 0.18));
  const QColor leaves[] = {QColor(46, 96, 40), QColor(62, 122, 48), QColor(84, 140, 56)};
  const QPointF centres[] = {{0.67, 0.42}, {0.62, 0.47}, {0.72, 0.46}, {0.67, 0.36}};
  for (int i = 0; i < 4; ++i) {
    p.setBrush(leaves[i % 3]);
    p.drawEllipse(QPointF(s * centres[i].x(), s * centres[i].y()), s * 0.075, s * 0.065);
  }
}

void PaintWater(QPainter& p, int s) {
  QLinearGradient water(0, s * 0.70, 0, s);
  water.setColorAt(0, QColor(92, 136, 170));
  water.setColorAt(1, QColor(34, 70, 104));
  p.fillRect(QRectF(0, s * 0.70, s, s * 0.30), water);
  p.setPen(QPen(QColor(220, 232, 240, 150), 1));
  for (int i = 0; i < 9; ++i) {
    const double y = s * (0.74 + 0.028 * i);
    const double x = s * (0.08 + 0.097 * ((i * 37) % 9));
    p.drawLine(QPointF(x, y), QPointF(x + s * (0.10 + 0.02 * (i % 3)), y));
  }
}

}  // namespace

QImage ImageOfBitmap(const Bitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* in = bitmap.ScanLine(y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.Width(); ++x) out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
  }
  return image;
}

Bitmap BitmapOfImage(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  Bitmap bitmap(rgb.width(), rgb.height());
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    std::uint8_t* out = bitmap.ScanLine(y);
    for (int x = 0; x < rgb.width(); ++x) {
      out[3 * x] = static_cast<std::uint8_t>(qBlue(in[x]));
      out[3 * x + 1] = static_cast<std::uint8_t>(qGreen(in[x]));
      out[3 * x + 2] = static_cast<std::uint8_t>(qRed(in[x]));
    }
  }
  return bitmap;
}

const Bitmap& ExampleSampleScene() {
  static const Bitmap scene = [] {
    QImage image(kExampleSize, kExampleSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintSky(p, kExampleSize);
    PaintHills(p, kExampleSize);
    PaintWater(p, kExampleSize);
    PaintHouse(p, kExampleSize);
    PaintTree(p, kExampleSize);
    p.end();
    return BitmapOfImage(image);
  }();
  return scene;
}

QImage MakeExamplePicture(int code) {
  const Bitmap& scene = ExampleSampleScene();
  if (FrameForCode(code) != nullptr) {
    // A session of its own: the scene is its source, every effect at its defaults, no frame
    // or caption; an effect that fails falls through to the named scene.
    Session session;
    session.OpenPicture(scene, "example");
    session.Settings().SelectEntry(ListIndexOfCode(code));
    RunJob job = session.PrepareJob();
    job.SetFinishingSteps(FinishingSteps{});
    Random random;
    RunContext ctx(job.Params(), random);
    ctx.processing = false;
    if (job.Run(ctx).Completed()) return ImageOfBitmap(job.Result());
  }
  QImage image = ImageOfBitmap(scene);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRect(0, kExampleSize - 44, kExampleSize, 44), QColor(20, 20, 20, 170));
  p.setPen(Qt::white);
  QFont font = p.font();
  font.setPointSizeF(8.5);
  p.setFont(font);
  const std::string name = EffectNameForCode(code);
  p.drawText(QRect(6, kExampleSize - 42, kExampleSize - 12, 40), Qt::AlignCenter | Qt::TextWordWrap,
             QString::fromStdString(name));
  return image;
}

const QImage& ExamplePictures::Picture(int number) {
  number = std::clamp(number, 0, kEffectCount - 1);
  QImage& picture = pictures_[static_cast<std::size_t>(number)];
  if (picture.isNull()) {
    int listIndex = 0;
    for (int i = 0, seen = -1; i < kListEntryCount; ++i) {
      if (!IsHeader(i) && ++seen == number) listIndex = i;
    }
    picture = MakeExamplePicture(CodeOfListIndex(listIndex));
  }
  return picture;
}

bool ExamplePictures::Made(int number) const {
  return number >= 0 && number < kEffectCount && !pictures_[static_cast<std::size_t>(number)].isNull();
}

}  // namespace brumeleaf
