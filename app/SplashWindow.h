#pragma once
// The window shown while the program's windows are created: our own artwork (a leaf drawn in
// pencil strokes over a watercolour wash), the name, and the percentage of windows created.

#include <QString>
#include <QWidget>

namespace brumeleaf {

class SplashWindow : public QWidget {
 public:
  SplashWindow();
  void SetPercent(int percent);
  void SetMessage(const QString& message);
  // Fades out (opacity 250 down to 10 out of 255, slowing as it fades) and hides.
  void FadeOut();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
  QString message_;
};

}  // namespace brumeleaf
