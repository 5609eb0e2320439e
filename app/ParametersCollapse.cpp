// Collapsing the parameters window into an 80 x 80 thumbnail near the main window's top-left
// corner, and expanding it again when the mouse comes over the thumbnail. Both ways are a short
// animation of the window's picture shrinking or growing between its place and the corner.

#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPixmap>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

#include "app/ClickLabel.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"

namespace brumeleaf {

namespace {

constexpr int kThumbnailSize = 80;
constexpr int kDefaultWidth = 525;
constexpr int kDefaultHeight = 562;
constexpr int kCollapsedAlpha = 180;
constexpr int kLargestFrame = 105;  // the animation's side is 5 x frame: 525 down to 80
constexpr int kSmallestFrame = 16;
constexpr int kAnimationMs = 220;

// Where the thumbnail sits: just inside the main window's top-left corner.
QPoint ThumbnailCorner(const MainWindow& main) {
  const QPoint corner = main.geometry().topLeft();
  return {corner.x() + 11, corner.y() + 112};
}

// One frame of the animation: the side, the place between `far` (frame 105) and the corner
// (frame 16), and the opacity.
void PlaceFrame(QWidget& window, int frame, QPoint far, QPoint corner, int alpha) {
  const double t = static_cast<double>(frame - kSmallestFrame) / (kLargestFrame - kSmallestFrame);
  window.setFixedSize(5 * frame, 5 * frame);
  window.move(corner.x() + static_cast<int>(std::floor(t * (far.x() - corner.x()))),
              corner.y() + static_cast<int>(std::floor(t * (far.y() - corner.y()))));
  window.setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
}

}  // namespace

void ParametersWindow::Image7Click() {
  if (collapsedShown_ || (animation_ && animation_->state() == QAbstractAnimation::Running)) return;
  HideList();
  expandedGeometry_ = geometry();
  capture_ = grab();
  collapsedMark_ = true;
  collapsedShown_ = true;
  image8_->setPixmap(capture_);
  image8_->setToolTip(windowTitle());
  const bool wasVisible = isVisible();
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  menu_->hide();
  content_->hide();
  panel1_->show();
  layout()->setContentsMargins(0, 0, 0, 0);
  image6_->show();
  image7_->hide();
  const QPoint far = expandedGeometry_.topLeft();
  const QPoint corner = ThumbnailCorner(main_);
  auto finish = [this, corner] {
    image8_->setPixmap(capture_.scaled(kThumbnailSize, kThumbnailSize, Qt::IgnoreAspectRatio,
                                       Qt::SmoothTransformation));
    setFixedSize(kThumbnailSize, kThumbnailSize);
    move(corner);
    setWindowOpacity(kCollapsedAlpha / 255.0);
  };
  if (!wasVisible) {
    finish();
    return;
  }
  show();
  Animate(kLargestFrame, kSmallestFrame, [this, far, corner](int f) {
    PlaceFrame(*this, f, far, corner, (f - 45) / 2 + kCollapsedAlpha);
  }, finish);
}

void ParametersWindow::Image8Enter() {
  if (!collapsedShown_ || (animation_ && animation_->state() == QAbstractAnimation::Running)) return;
  image8_->setPixmap(capture_);
  const QPoint far = expandedGeometry_.topLeft();
  const QPoint corner = ThumbnailCorner(main_);
  auto finish = [this] {
    collapsedShown_ = false;
    const bool wasVisible = isVisible();
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    panel1_->hide();
    menu_->show();
    content_->show();
    layout()->setContentsMargins(10, 8, 10, 10);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    UpdateWidth();
    const int height = expandedGeometry_.height() < 100 ? kDefaultHeight : expandedGeometry_.height();
    const int width = expandedGeometry_.width() < 100 ? kDefaultWidth : expandedGeometry_.width();
    resize(width, height);
    move(expandedGeometry_.topLeft());
    setWindowOpacity(1.0);
    if (wasVisible) show();
  };
  if (!isVisible()) {
    finish();
    return;
  }
  Animate(kSmallestFrame, kLargestFrame, [this, far, corner](int f) {
    PlaceFrame(*this, f, far, corner, (f + 45) / 2 + kCollapsedAlpha);
  }, finish);
}

void ParametersWindow::Animate(int fromFrame, int toFrame, std::function<void(int)> step,
                               std::function<void()> done) {
  animation_ = std::make_unique<QVariantAnimation>();
  animation_->setStartValue(fromFrame);
  animation_->setEndValue(toFrame);
  animation_->setDuration(kAnimationMs);
  connect(animation_.get(), &QVariantAnimation::valueChanged, this,
          [step](const QVariant& value) { step(value.toInt()); });
  connect(animation_.get(), &QVariantAnimation::finished, this, [done] { done(); });
  animation_->start();
}

bool ParametersWindow::Animating() const {
  return animation_ && animation_->state() == QAbstractAnimation::Running;
}

}  // namespace brumeleaf
