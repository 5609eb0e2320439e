#include "app/ToolBarPanel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cstdlib>

#include "app/ViewMath.h"

namespace brumeleaf {
namespace {
constexpr int kIconTop = 8;
}

ToolBarPanel::ToolBarPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Panel1"));
  setMouseTracking(true);
  setFixedHeight(kHeight);
  enabled_.fill(true);
  label2_ = new QLabel(this);
  label2_->setObjectName(QStringLiteral("Label2"));
  label2_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label2_->setCursor(Qt::PointingHandCursor);
  label2_->installEventFilter(this);
  skinEdit1_ = new QLineEdit(this);
  skinEdit1_->setObjectName(QStringLiteral("SkinEdit1"));
  skinEdit1_->setAlignment(Qt::AlignRight);
  skinEdit1_->setMaxLength(5);
  skinEdit1_->hide();
  skinEdit1_->installEventFilter(this);
  connect(skinEdit1_, &QLineEdit::returnPressed, this,
          [this] { emit ZoomEntered(skinEdit1_->text()); });
  RebuildPixmaps();
}

void ToolBarPanel::SetIconColours(const QColor& normal, const QColor& disabled,
                                  const QColor& highlight) {
  normalColour_ = normal;
  disabledColour_ = disabled;
  highlightColour_ = highlight;
  RebuildPixmaps();
  update();
}

void ToolBarPanel::RebuildPixmaps() {
  for (int i = 1; i <= kToolIconCount; ++i) {
    normal_[Index(i)] = ToolIconPixmap(i, normalColour_);
    disabled_[Index(i)] = ToolIconPixmap(i, disabledColour_);
  }
}

void ToolBarPanel::SetHint(int icon, const QString& hint) { hints_[Index(icon)] = hint; }

void ToolBarPanel::SetIconEnabled(int icon, bool enabled) {
  if (enabled_[Index(icon)] == enabled) return;
  enabled_[Index(icon)] = enabled;
  update();
}

int ToolBarPanel::IconLeft(int icon) const {
  if (icon <= 14) return view::ToolIconLeft(icon);
  const view::ZoomControlsLayout z = view::ComputeZoomControls(width(), 0);
  return icon == 15 ? z.icon15 : (icon == 16 ? z.icon16 : z.icon17);
}

void ToolBarPanel::SetZoomText(const QString& text) { label2_->setText(text); }

void ToolBarPanel::ShowZoomEdit(int zoom) {
  MarkZoomRefused(QString());
  skinEdit1_->setText(QString::number(zoom));
  skinEdit1_->show();
  skinEdit1_->raise();
  skinEdit1_->setFocus();
  skinEdit1_->selectAll();
}

void ToolBarPanel::HideZoomEdit() {
  // A hidden box must not keep the keyboard: R, L and Ctrl+Z belong to the window again. With
  // no other control to take it, Qt would leave the focus on the hidden box.
  const bool hadFocus = skinEdit1_->hasFocus();
  skinEdit1_->hide();
  MarkZoomRefused(QString());
  if (hadFocus || skinEdit1_->hasFocus()) {
    skinEdit1_->clearFocus();
    window()->setFocus(Qt::OtherFocusReason);
  }
}

void ToolBarPanel::MarkZoomRefused(const QString& reason) {
  const bool refused = !reason.isEmpty();
  skinEdit1_->setProperty("refused", refused);
  skinEdit1_->setToolTip(reason);
  skinEdit1_->setStyleSheet(refused ? QStringLiteral("QLineEdit#SkinEdit1 { border: 2px solid #e0463c; }")
                                    : QString());
  if (refused && skinEdit1_->isVisible()) {
    QToolTip::showText(skinEdit1_->mapToGlobal(QPoint(0, skinEdit1_->height())), reason, skinEdit1_);
    skinEdit1_->selectAll();
  }
}

bool ToolBarPanel::ZoomRefused() const { return skinEdit1_->property("refused").toBool(); }

bool ToolBarPanel::ZoomEditVisible() const { return skinEdit1_->isVisible(); }

void ToolBarPanel::HideHighlight() {
  if (hovered_ == 0) return;
  hovered_ = 0;
  update();
}

void ToolBarPanel::resizeEvent(QResizeEvent* /*event*/) { PlaceZoomControls(); }

void ToolBarPanel::PlaceZoomControls() {
  const int editWidth = 56;
  const view::ZoomControlsLayout z = view::ComputeZoomControls(width(), editWidth);
  skinEdit1_->setGeometry(z.label, (kHeight - 24) / 2, editWidth, 24);
  label2_->setGeometry(z.label - 20, 0, editWidth + 20, kHeight);
}

int ToolBarPanel::IconUnder(int x, int y) const {
  if (y < 0 || y >= kHeight) return 0;
  const int icon = view::ToolIconAt(x, IconLeft(15));
  if (icon == 0) return 0;
  const int left = IconLeft(icon);
  // The highlight reaches 8 pixels beyond the icon on each side.
  return (x >= left - 8 && x < left + kToolIconSize + 8) ? icon : 0;
}

void ToolBarPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor base = palette().color(QPalette::Button);
  QLinearGradient shade(0, 0, 0, height());
  shade.setColorAt(0, base.lighter(112));
  shade.setColorAt(1, base.darker(104));
  p.fillRect(rect(), shade);
  if (hovered_ != 0) {
    const QRectF glow(IconLeft(hovered_) - 8, 0, 48, 48);
    QColor fill = highlightColour_;
    fill.setAlpha(pressed_ == hovered_ ? 110 : 60);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(glow.adjusted(3, 3, -3, -3), 7, 7);
  }
  for (int i = 1; i <= kToolIconCount; ++i) {
    const QPixmap& pm = enabled_[Index(i)] ? normal_[Index(i)] : disabled_[Index(i)];
    p.drawPixmap(IconLeft(i), kIconTop, pm);
  }
  // A faint separator between the file commands, the editing commands and the windows.
  p.setPen(QColor(base.lightness() > 128 ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 30)));
  for (int after : {4, 7, 11}) {
    const int x = view::ToolIconLeft(after) + kToolIconSize + 3;
    p.drawLine(x, 10, x, kHeight - 10);
  }
}

void ToolBarPanel::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const int icon = IconUnder(pos.x(), pos.y());
  if (icon != hovered_) {
    hovered_ = icon;
    update();
    if (icon != 0) {
      QToolTip::showText(event->globalPosition().toPoint(), hints_[Index(icon)], this);
    } else {
      QToolTip::hideText();
    }
  }
  // The zoom edit box goes away when the mouse wanders more than 10 pixels beside it.
  if (skinEdit1_->isVisible()) {
    const QRect g = skinEdit1_->geometry();
    if (pos.x() < g.left() - 10 || pos.x() > g.right() + 10) HideZoomEdit();
  }
}

void ToolBarPanel::leaveEvent(QEvent* /*event*/) { HideHighlight(); }

void ToolBarPanel::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  pressed_ = IconUnder(pos.x(), pos.y());
  update();
  if (pressed_ != 0) emit IconPressed(pressed_, event->button());
}

void ToolBarPanel::mouseReleaseEvent(QMouseEvent* event) {
  const int icon = pressed_;
  pressed_ = 0;
  update();
  if (icon != 0) emit IconReleased(icon, event->button());
}

bool ToolBarPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == label2_ && event->type() == QEvent::MouseButtonPress) {
    emit ZoomLabelClicked();
    return true;
  }
  if (watched == skinEdit1_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    HideZoomEdit();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace brumeleaf
