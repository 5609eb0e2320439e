#pragma once
// A label that reports clicks and double-clicks: the slider captions reset their slider on a
// double-click, the value labels take the MAX click, the option captions toggle their box.

#include <QLabel>

namespace brumeleaf {

class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickLabel(const QString& objectName, QWidget* parent);

 signals:
  void clicked();
  void doubleClicked();
  void entered();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
};

}  // namespace brumeleaf
