#pragma once
// The three window styles: Charcoal and Obsidian are dark, Slate is light. Each is a Fusion
// palette plus a few style-sheet rules for the parts a palette does not reach (menus, hints).

#include <QColor>

#include "app/ViewMath.h"

class QApplication;

namespace brumeleaf {

struct StyleColours {
  QColor window;       // window and panel background
  QColor panel;        // tool bar and status bar
  QColor text;
  QColor dimText;
  QColor accent;       // highlight, progress bar, selection
  QColor icon;         // tool-bar glyphs
  QColor iconDisabled;
  QColor divider;      // the divider between the panels
  QColor outline;      // the one-pixel outlines around the panels
};

StyleColours ColoursOf(view::WindowStyle style);

// Applies palette and style sheet to the whole application.
void ApplyWindowStyle(QApplication& app, view::WindowStyle style);

}  // namespace brumeleaf
