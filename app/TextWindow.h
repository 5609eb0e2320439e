#pragma once
// The text window: one caption line, its font, colour, anchor or point and shadow. While it
// is open the caption is shown live as a display patch over the right panel (never written
// into the result); OK stamps it onto the result as it then is, Cancel or closing leaves the
// result exactly as it was.

#include <QDialog>

#include <functional>

#include "effects/EffectSettings.h"
#include "imaging/Bitmap.h"
#include "pipeline/Caption.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTimer;

namespace brumeleaf {

class TextWindow : public QDialog {
 public:
  explicit TextWindow(QWidget* parent);

  // What the window needs from the main window.
  std::function<const Bitmap&()> result;                      // the right panel's picture
  std::function<std::pair<int, int>()> frameOffsets;          // fx, fy
  std::function<void(const CaptionPatch* patch)> showPatch;   // null removes the live text
  std::function<void(const CaptionOptions& caption)> stamp;   // OK: draw, record history
  std::function<void(const CaptionOptions& caption)> store;   // keep the settings

  // Shows the window (modeless) on `caption`.
  void Open(const CaptionOptions& caption);
  const CaptionOptions& Caption() const { return caption_; }
  // Recomputes the anchored position and the live patch (after every change, and on a timer
  // so that a result changed meanwhile is shown with its own pixels).
  void TextChange();
  void Button1Click();
  void CancelClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Build();
  void SyncControls();
  void SetPos();
  void UserMoved();
  void ChooseFont();
  void ChooseColour();
  void RemoveLive();

  CaptionOptions caption_;
  CaptionPatch patch_;
  bool syncing_ = false;
  bool stamped_ = false;

  QLineEdit* edit1_ = nullptr;
  QPushButton* bitBtn1_ = nullptr;
  QPushButton* bitBtn2_ = nullptr;
  QComboBox* comboBox1_ = nullptr;
  QScrollBar* scrollBar1_ = nullptr;
  QScrollBar* scrollBar2_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QLineEdit* edit3_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button3_ = nullptr;
  QTimer* refresh_ = nullptr;
};

}  // namespace brumeleaf
