#pragma once
// "Source image modifications": five sliders (luminosity, contrast, saturation, blur/sharpen,
// simplification), a 150 x 150 preview of part of the source that the user pans by dragging,
// "Reset values", "Apply changes" and "Cancel". The preview is computed on the interface
// thread (it is small); "Apply changes" hands the whole source to the main window, which
// computes it on the worker on a copy and records it only when it completes.

#include <QPoint>
#include <QWidget>

#include <array>
#include <functional>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"
#include "tools/SourceTools.h"

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace brumeleaf {

class ModifyPreviewBox;

class ModifyWindow : public QWidget {
 public:
  explicit ModifyWindow(QWidget* parent);

  // What the window needs from the main window.
  std::function<const Bitmap&()> source;        // the left panel's picture
  std::function<SourceMean()> mean;             // the whole source's mean colour
  // Applies the settings to the whole source; calls `done` (on the interface thread) with
  // whether the source was changed and recorded.
  std::function<void(const ModifySettings& settings, std::function<void(bool applied)> done)> apply;
  std::function<void()> activated;              // hide the parameters window, stop a live preview
  std::function<void()> closed;                 // show the parameters window again
  std::function<void()> stop;                   // ESC while applying: the stop question

  // Showing the window: neutral sliders, nothing pending, preview at (110, 0).
  void Open();
  void Retranslate();

  ModifySettings Settings() const;
  // TrackBar1..5 (row 1..5) to `value`, as a keyboard change would move it.
  void SetSlider(int row, int value);
  QSlider* Slider(int row) const { return trackBars_[static_cast<std::size_t>(row - 1)]; }
  bool Pending() const { return pending_; }
  QPoint Offset() const { return offset_; }
  const Bitmap& Preview() const { return image1_; }
  QTimer* PreviewTimer() const { return timer1_; }
  bool Applying() const { return applying_; }

  void SliderChanged(int row);
  void SliderReleased();
  // A drag in the preview by (dx, dy) screen pixels, and its release.
  void PreviewDragged(int dx, int dy);
  void PreviewReleased();
  void Timer1Timer();
  void Proceed();
  void Button3Click();  // Reset values
  void Button2Click();  // Apply changes
  void Button1Click();  // Cancel

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Build();
  void DrawRawRegion();
  void ArmTimer();

  std::array<QSlider*, 5> trackBars_{};
  std::array<QLabel*, 5> captions_{};
  std::array<QLabel*, 5> labels_{};
  ModifyPreviewBox* preview_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* button3_ = nullptr;
  QTimer* timer1_ = nullptr;

  Bitmap image1_;
  QPoint offset_{110, 0};
  bool pending_ = false;
  bool applying_ = false;
  bool resetting_ = false;
};

}  // namespace brumeleaf
