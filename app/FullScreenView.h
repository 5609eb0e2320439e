#pragma once
// The full-screen view of one panel picture (Form7): borderless, white, on top of everything,
// the picture resampled to fit the screen and sharpened once. A click or any key closes it.

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSize>

#include "imaging/Bitmap.h"

namespace brumeleaf {

class FullScreenView : public QDialog {
 public:
  // `shown` is the picture's displayed size, whose proportions decide the fit.
  FullScreenView(const Bitmap& picture, QSize shown, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Bitmap fitted_;
  QRect target_;
};

}  // namespace brumeleaf
