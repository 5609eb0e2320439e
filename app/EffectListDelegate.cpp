#include "app/EffectListDelegate.h"

#include <QPainter>

#include "effects/Catalogue.h"

namespace brumeleaf {

namespace {

// The colours are given as blue-green-red values in the program's tables.
QColor FromBgr(unsigned bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

}  // namespace

EntryColours ColoursOfEntry(view::WindowStyle style, bool highlighted, bool enabled) {
  EntryColours c;
  // The list follows its window: white in the light style, dark in the dark ones (a white
  // list inside the near-black Obsidian window glares).
  if (style == view::WindowStyle::Slate) {
    c.background = highlighted ? FromBgr(0xFFBB66) : QColor(Qt::white);
    c.text = QColor(Qt::black);
  } else if (style == view::WindowStyle::Obsidian) {
    c.background = highlighted ? QColor(86, 152, 220) : QColor(18, 20, 24);
    c.text = highlighted ? QColor(Qt::white) : QColor(210, 216, 226);
  } else {
    c.background = highlighted ? FromBgr(0xFF9933) : FromBgr(0x232323);
    c.text = highlighted ? QColor(Qt::white) : FromBgr(0xC0C0C0);
  }
  if (!enabled) c.text = FromBgr(0x808080);
  return c;
}

EffectListDelegate::EffectListDelegate(EffectListLook look, QObject* parent)
    : QStyledItemDelegate(parent), look_(std::move(look)) {}

void EffectListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const int entry = index.row();
  const bool header = IsHeader(entry);
  const bool enabled = look_.enabled(entry);
  const bool highlighted = !header && enabled && look_.highlighted() == entry;
  const EntryColours colours = ColoursOfEntry(look_.style(), highlighted, enabled);
  painter->save();
  painter->fillRect(option.rect, colours.background);
  QFont font = option.font;
  font.setBold(header);
  painter->setFont(font);
  painter->setPen(colours.text);
  const QRect text = option.rect.adjusted(6, 0, -4, 0);
  painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft, index.data(Qt::DisplayRole).toString());
  if (header) {
    // A thin rule under each group header keeps the groups apart.
    painter->setPen(QColor(colours.text.red(), colours.text.green(), colours.text.blue(), 70));
    painter->drawLine(option.rect.left() + 4, option.rect.bottom(), option.rect.right() - 4,
                      option.rect.bottom());
  }
  painter->restore();
}

QSize EffectListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight);
}

}  // namespace brumeleaf
