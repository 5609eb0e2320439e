#pragma once
// "Resize source image": width and height in pixels and percent, their scroll bars, "Keep
// image ratio" and "Desktop size", OK and Cancel. Modal; the Enter key in any control presses
// OK. Every rule lives in the headless view::ResizeBox; this window moves text between it and
// the controls.

#include <QDialog>
#include <QSize>

#include <functional>

#include "app/ResizeBox.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace brumeleaf {

class ResizeWindow : public QDialog {
 public:
  explicit ResizeWindow(QWidget* parent);

  // What the window needs from the main window.
  std::function<QSize()> desktopSize;                 // in physical pixels
  std::function<void(int width, int height)> resize;  // OK with an accepted size
  std::function<void(const QString& text)> showMessage;

  // Fills the boxes from the source size and shows the window modally.
  int Open(int sourceWidth, int sourceHeight);
  // The same without entering the modal loop (tests).
  void Prepare(int sourceWidth, int sourceHeight);
  const view::ResizeBox& Model() const { return model_; }
  QLineEdit* Box(int number) const;  // Edit1..Edit4
  QScrollBar* Bar(int number) const { return number == 1 ? scrollBar1_ : scrollBar2_; }
  QCheckBox* KeepRatioBox() const { return checkBox1_; }
  QCheckBox* DesktopBox() const { return checkBox2_; }

  void EditKeyUp(int number);
  void ScrollBarChange(int number);
  void CheckBox1Click();
  void CheckBox2Click();
  void Button1Click();  // OK

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Build();
  void Retranslate();
  void SyncControls();

  view::ResizeBox model_;
  bool syncing_ = false;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QLineEdit* edit3_ = nullptr;
  QLineEdit* edit4_ = nullptr;
  QScrollBar* scrollBar1_ = nullptr;
  QScrollBar* scrollBar2_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QCheckBox* checkBox2_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button2_ = nullptr;
};

}  // namespace brumeleaf
