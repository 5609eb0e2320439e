#pragma once
// Draws the entries of the effect list: headers in bold as they are, effects indented behind
// a ">" marker, the highlighted entry in the style's accent colour and the merge entry greyed
// while the two panel pictures differ in size.

#include <QStyledItemDelegate>

#include <functional>

#include "app/ViewMath.h"

namespace brumeleaf {

// What the delegate needs to know about the program at paint time.
struct EffectListLook {
  std::function<view::WindowStyle()> style;
  std::function<bool(int listIndex)> enabled;  // false: drawn grey
  std::function<int()> highlighted;           // the list index under the mouse or selected
};

class EffectListDelegate : public QStyledItemDelegate {
 public:
  EffectListDelegate(EffectListLook look, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  static constexpr int kItemHeight = 19;

 private:
  EffectListLook look_;
};

// Colours of one entry: background and text, as (red, green, blue).
struct EntryColours {
  QColor background;
  QColor text;
};
EntryColours ColoursOfEntry(view::WindowStyle style, bool highlighted, bool enabled);

}  // namespace brumeleaf
