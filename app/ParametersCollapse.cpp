// Collapsing the parameters window into an 80 x 80 thumbnail near the main window's top-left
// corner, and expanding it again when the mouse comes over the thumbnail.

#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPixmap>

#include "app/ClickLabel.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"

namespace brumeleaf {

namespace {

constexpr int kThumbnailSize = 80;
constexpr int kDefaultWidth = 525;
constexpr int kDefaultHeight = 562;
constexpr double kCollapsedOpacity = 180.0 / 255.0;

}  // namespace

void ParametersWindow::Image7Click() {
  if (collapsedShown_) return;
  HideList();
  expandedGeometry_ = geometry();
  capture_ = grab();
  collapsedMark_ = true;
  collapsedShown_ = true;
  image8_->setPixmap(capture_.scaled(kThumbnailSize, kThumbnailSize, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation));
  image8_->setToolTip(windowTitle());
  const bool wasVisible = isVisible();
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  menu_->hide();
  content_->hide();
  panel1_->show();
  layout()->setContentsMargins(0, 0, 0, 0);
  setFixedSize(kThumbnailSize, kThumbnailSize);
  const QPoint corner = main_.geometry().topLeft();
  move(corner.x() + 11, corner.y() + 112);
  setWindowOpacity(kCollapsedOpacity);
  image6_->show();
  image7_->hide();
  if (wasVisible) show();
}

void ParametersWindow::Image8Enter() {
  if (!collapsedShown_) return;
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
}

}  // namespace brumeleaf
