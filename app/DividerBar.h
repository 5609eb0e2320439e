#pragma once
// The divider between the two panels (ResizeImage): dragged to move the boundary, double-clicked
// to centre it. It reports to the main window, which owns the divider offset and the layout.

#include <QColor>
#include <QWidget>

namespace brumeleaf {

class DividerListener {
 public:
  // x relative to the divider's left edge.
  virtual void DividerDragged(int x) = 0;
  virtual void DividerReleased(int x) = 0;
  virtual void DividerDoubleClicked() = 0;

 protected:
  ~DividerListener() = default;
};

class DividerBar : public QWidget {
 public:
  DividerBar(DividerListener& listener, QWidget* parent);
  void SetColour(const QColor& colour);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  DividerListener& listener_;
  QColor colour_{60, 60, 64};
  bool held_ = false;
};

}  // namespace brumeleaf
