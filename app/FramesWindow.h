#pragma once
// The frames window: the frame style and its settings, with a live 200 x 200 preview of the
// frame's corner around the source. It edits a copy of the frame options; the main window
// takes them back when the window closes.

#include <QDialog>

#include "effects/EffectSettings.h"
#include "imaging/Bitmap.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimer;
class QToolButton;

namespace brumeleaf {

class FramesWindow : public QDialog {
 public:
  explicit FramesWindow(QWidget* parent);

  // Shows the window modally on `options`, the preview drawn with `source`; returns the
  // options as the window leaves them (closing keeps every change, as OK does).
  PictureFrameOptions Edit(const PictureFrameOptions& options, const Bitmap& source);
  const PictureFrameOptions& Options() const { return options_; }
  // Re-arms the preview timer (one-shot, precise).
  void ArmPreview(int milliseconds);
  // The preview as last drawn (tests).
  const Bitmap& PreviewPicture() const { return preview_; }
  void Timer1Timer();

 private:
  void Build();
  void SyncControls();
  void StyleChanged(int style);
  void ApplyVisibility();
  void PickColour(bool fill);
  void SwapColours();
  void PaintSwatches();
  void ShowFrameNumberInList();

  PictureFrameOptions options_;
  const Bitmap* source_ = nullptr;
  Bitmap preview_;
  bool syncing_ = false;

  QComboBox* comboBox1_ = nullptr;
  QSpinBox* upDown1_ = nullptr;  // margin, with its edit box
  QLabel* label5_ = nullptr;     // panel spacing
  QSpinBox* upDown5_ = nullptr;
  QLabel* fillLabel_ = nullptr;
  QPushButton* shape1_ = nullptr;
  QLabel* lineLabel_ = nullptr;
  QPushButton* shape2_ = nullptr;
  QToolButton* image2_ = nullptr;  // swaps fill and line colours
  QSpinBox* upDown2_ = nullptr;    // realistic frame number
  QSpinBox* upDown3_ = nullptr;    // coloured frame number
  QSlider* trackBars_[3] = {nullptr, nullptr, nullptr};
  QLabel* shapes_[3] = {nullptr, nullptr, nullptr};
  QLabel* image1_ = nullptr;  // the preview
  QPushButton* button1_ = nullptr;
  QTimer* timer1_ = nullptr;
};

}  // namespace brumeleaf
