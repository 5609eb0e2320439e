#pragma once
// One of the two picture panels of the main window: the painted background with its diagonal
// lines, the drop shadow, the picture at its displayed position and size, and the overlays of a
// crop selection, the result hint and the divider's guide line. The panel keeps no state of the
// views itself: the main window tells it where the picture is and receives the mouse.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <optional>

#include "app/ViewMath.h"
#include "imaging/Bitmap.h"

class QMouseEvent;

namespace brumeleaf {

// Mouse input on a panel, in the coordinates of the picture as displayed (0,0 = its top-left).
struct PanelMouse {
  int panel = 1;               // 1 left (source), 2 right (result)
  QPoint picture;              // position relative to the displayed picture
  QPoint global;               // screen position
  Qt::MouseButton button = Qt::NoButton;
  Qt::MouseButtons buttons;
  bool onPicture = false;      // inside the displayed picture
};

class PanelListener {
 public:
  virtual void PanelPress(const PanelMouse& m) = 0;
  virtual void PanelMove(const PanelMouse& m) = 0;
  virtual void PanelRelease(const PanelMouse& m) = 0;
  virtual void PanelDoubleClick(const PanelMouse& m) = 0;
  virtual void PanelWheel(int panel, int notches) = 0;
  // The wheel with the cursor's place in the panel; by default the place is not used.
  virtual void PanelWheelAt(int panel, int notches, QPoint /*at*/) { PanelWheel(panel, notches); }
  virtual void PanelEntered(int panel) = 0;

 protected:
  ~PanelListener() = default;
};

class PanelView : public QWidget {
 public:
  PanelView(int number, PanelListener& listener, QWidget* parent);

  int Number() const { return number_; }
  // The picture shown; must stay alive until the next call. Null shows none.
  void SetPicture(const Bitmap* picture);
  // Bounds of the displayed picture in panel coordinates (its size is the zoomed size).
  void SetPictureRect(const QRect& rect);
  QRect PictureRect() const { return pictureRect_; }
  void SetPictureVisible(bool visible);
  bool PictureVisible() const { return pictureVisible_; }
  // The background follows the window style; its lines depend on the main window's width.
  void SetBackground(view::WindowStyle style, int mainWindowWidth);
  // The drop shadow is left out while the continuous zoom runs.
  void SetShadowAllowed(bool allowed);
  // A hint shown over the picture (empty: none).
  void SetHint(const QString& text);
  // The first screen: instead of a picture, what to do first (an empty title: the picture).
  void SetWelcome(const QString& title, const QString& text);
  bool WelcomeShown() const { return !welcomeTitle_.isEmpty(); }
  // No picture at all, only the background (the result panel of the first screen).
  void SetBlank(bool blank);
  // A crop selection: the lightened copy and the inclusive rectangle in picture pixels.
  void SetSelection(const Bitmap* lightened, std::optional<QRect> pictureRect);
  // The divider's guide line at x (none when nullopt).
  void SetGuideLine(std::optional<int> x);
  // A display-only patch laid over the picture with its top-left corner at `at` (picture
  // pixels): the live caption. It is never written into the picture. Null removes it.
  void SetOverlay(const Bitmap* patch, QPoint at);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  PanelMouse MouseOf(QMouseEvent* event) const;
  void RebuildBackground();
  void PaintShadow(QPainter& painter) const;
  void PaintPicture(QPainter& painter, const QImage& image) const;
  void PaintSelection(QPainter& painter) const;
  void PaintHint(QPainter& painter) const;
  void PaintWelcome(QPainter& painter) const;

  int number_;
  PanelListener& listener_;
  QImage picture_;          // wraps the shown Bitmap's rows (no copy)
  QImage overlay_;          // the live caption patch (a copy)
  QPoint overlayAt_;
  QImage lightened_;        // wraps the selection's lightened copy
  std::optional<QRect> selection_;
  QRect pictureRect_;
  bool pictureVisible_ = true;
  bool shadowAllowed_ = true;
  view::WindowStyle style_ = view::WindowStyle::Obsidian;
  int mainWindowWidth_ = 0;
  QImage background_;
  QString hint_;
  QString welcomeTitle_, welcomeText_;
  bool blank_ = false;
  std::optional<int> guideLine_;
};

// Wraps a Bitmap's rows as a QImage without copying (blue-green-red, 4-byte padded rows).
QImage WrapBitmap(const Bitmap& bitmap);

}  // namespace brumeleaf
