#pragma once
// The tool bar above the panels: seventeen icons (1-14 from the left, 15-17 at the right end),
// the highlight that follows the mouse, the hints, the zoom label and its edit box. Presses are
// resolved to an icon number by the tool bar's own position rule and handed on as signals.

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <array>

#include "app/ToolIcons.h"

class QLabel;
class QLineEdit;

namespace brumeleaf {

class ToolBarPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ToolBarPanel(QWidget* parent);

  static constexpr int kHeight = 48;

  void SetIconColours(const QColor& normal, const QColor& disabled, const QColor& highlight);
  void SetHint(int icon, const QString& hint);
  const QString& Hint(int icon) const { return hints_[Index(icon)]; }
  void SetIconEnabled(int icon, bool enabled);
  bool IconEnabled(int icon) const { return enabled_[Index(icon)]; }
  int IconLeft(int icon) const;
  // Label2: "zoom %"; SkinEdit1: the typed zoom.
  void SetZoomText(const QString& text);
  void ShowZoomEdit(int zoom);
  void HideZoomEdit();
  bool ZoomEditVisible() const;
  // A typed zoom the box refused: it stays open, framed in red, with the reason as its tip
  // (an empty reason clears the mark).
  void MarkZoomRefused(const QString& reason);
  bool ZoomRefused() const;
  void HideHighlight();
  QLabel* ZoomLabel() const { return label2_; }
  QLineEdit* ZoomEdit() const { return skinEdit1_; }

 signals:
  void IconPressed(int icon, Qt::MouseButton button);
  void IconReleased(int icon, Qt::MouseButton button);
  void ZoomLabelClicked();
  void ZoomEntered(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static std::size_t Index(int icon) { return static_cast<std::size_t>(icon - 1); }
  int IconUnder(int x, int y) const;
  void RebuildPixmaps();
  void PlaceZoomControls();

  std::array<QString, kToolIconCount> hints_;
  std::array<bool, kToolIconCount> enabled_;
  std::array<QPixmap, kToolIconCount> normal_;
  std::array<QPixmap, kToolIconCount> disabled_;
  QColor normalColour_{220, 220, 220};
  QColor disabledColour_{100, 100, 100};
  QColor highlightColour_{86, 152, 220};
  int hovered_ = 0;
  int pressed_ = 0;
  QLabel* label2_;
  QLineEdit* skinEdit1_;
};

}  // namespace brumeleaf
