#pragma once
// The 200 x 200 preview picture (Image2 of the parameters window). It paints the picture it is
// given and reports presses, moves and releases, with which the user drags the crop.

#include <QImage>
#include <QWidget>

#include <functional>

namespace brumeleaf {

class PreviewPictureView : public QWidget {
 public:
  explicit PreviewPictureView(QWidget* parent);

  void SetImage(QImage image);
  const QImage& Image() const { return image_; }

  std::function<void(QPoint)> pressed;
  std::function<void(QPoint)> moved;
  std::function<void()> released;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage image_;
};

}  // namespace brumeleaf
