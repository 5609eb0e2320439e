#pragma once
// The seventeen tool-bar pictures. The desktop's icon theme provides most of them; where it
// has none (or no theme is installed) our own line drawings take their place. Both are tinted
// with the window style's icon colour so that they read on dark and light panels alike.

#include <QColor>
#include <QPixmap>

namespace brumeleaf {

inline constexpr int kToolIconCount = 17;
inline constexpr int kToolIconSize = 32;

// The picture of icon 1..17 in the given colour.
QPixmap ToolIconPixmap(int icon, const QColor& colour);

// Our own drawing of icon 1..17 (used where the theme has none).
QPixmap DrawnToolIcon(int icon, const QColor& colour);

}  // namespace brumeleaf
