#pragma once
// The "Retouch brush" window and the brush mode of the right panel. While the mode is on,
// strokes dragged over the result panel are stamped into the coverage mask (shown as a magenta
// veil), and at the release the chosen effect is computed on the worker for the stroke's
// rectangle and blended into the result as one history step. Brush input is ignored while any
// computation runs. The brush outline follows the pointer as an overlay of the panel (pointer
// pictures are limited in size on several desktops).

#include <QWidget>

#include <optional>

#include "brush/BrushStamp.h"
#include "brush/ManualBrush.h"
#include "imaging/Bitmap.h"

class QCheckBox;
class QLabel;
class QSlider;

namespace brumeleaf {

class MainWindow;
class ParametersWindow;
class BrushOutline;

class BrushWindow : public QWidget {
  Q_OBJECT

 public:
  BrushWindow(MainWindow& main, ParametersWindow& parameters);
  ~BrushWindow() override;

  // "Manual brush": on when off (window shown, mask made, result recorded), off when on.
  void Button4Click();
  bool Active() const { return active_; }
  void SwitchOff();

  BrushSettings Settings() const;
  void SetSettings(const BrushSettings& settings);
  // A picture of the user's as the brush (its red channel is the coverage); empty: standard.
  void SetBrushPicture(const Bitmap& picture);
  const Bitmap& BrushPicture() const { return brushPicture_; }
  const Bitmap& PreviewPicture() const { return preview_; }
  // The effect code of the stroke being computed, if any.
  std::optional<int> PendingStroke() const { return pendingStroke_; }

  // A stroke in image coordinates, as the panel's mouse gives it (tests drive these).
  void StrokePress();
  void StrokeMove(QPoint image);
  void StrokeRelease(QPoint image);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void TrackBar1Change();
  void LoadBrushClicked();
  QPoint ImagePoint(QPointF panelPosition) const;
  void UpdateOutline(std::optional<QPointF> panelPosition);
  void ShowResultAgain();

  MainWindow& main_;
  ParametersWindow& parameters_;
  QSlider* trackBar1_ = nullptr;  // size
  QSlider* trackBar2_ = nullptr;  // strength
  QCheckBox* checkBox1_ = nullptr;  // "X 2"
  QLabel* image1_ = nullptr;      // preview
  BrushOutline* outline_ = nullptr;
  Bitmap brushPicture_;           // empty: the standard brush
  Bitmap preview_;
  Bitmap display_;                // the result with the stroke's tint
  ManualBrush brush_;
  bool active_ = false;
  bool firstRun_ = true;
  bool pressed_ = false;
  std::optional<int> pendingStroke_;
};

}  // namespace brumeleaf
