#include "app/WindowStyles.h"

#include <QApplication>
#include <QPalette>
#include <QString>
#include <QStyleFactory>

namespace brumeleaf {

StyleColours ColoursOf(view::WindowStyle style) {
  switch (style) {
    case view::WindowStyle::Charcoal:
      return {QColor(78, 78, 80), QColor(96, 96, 99), QColor(236, 236, 236), QColor(170, 170, 174),
              QColor(222, 140, 54), QColor(238, 238, 238), QColor(130, 130, 134), QColor(112, 112, 116),
              QColor(200, 196, 196)};
    case view::WindowStyle::Obsidian:
      return {QColor(24, 26, 30), QColor(34, 37, 43), QColor(222, 226, 232), QColor(140, 146, 156),
              QColor(86, 152, 220), QColor(210, 218, 230), QColor(80, 86, 96), QColor(54, 60, 70),
              QColor(200, 196, 196)};
    case view::WindowStyle::Slate:
      return {QColor(214, 218, 224), QColor(228, 231, 236), QColor(28, 32, 40), QColor(96, 102, 112),
              QColor(58, 110, 170), QColor(52, 62, 78), QColor(160, 166, 176), QColor(170, 178, 190),
              QColor(200, 196, 196)};
  }
  return ColoursOf(view::WindowStyle::Obsidian);
}

void ApplyWindowStyle(QApplication& app, view::WindowStyle style) {
  const StyleColours c = ColoursOf(style);
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
  QPalette p;
  p.setColor(QPalette::Window, c.window);
  p.setColor(QPalette::WindowText, c.text);
  p.setColor(QPalette::Base, c.panel.darker(style == view::WindowStyle::Slate ? 90 : 120));
  p.setColor(QPalette::AlternateBase, c.panel);
  p.setColor(QPalette::Text, c.text);
  p.setColor(QPalette::Button, c.panel);
  p.setColor(QPalette::ButtonText, c.text);
  p.setColor(QPalette::Highlight, c.accent);
  p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
  p.setColor(QPalette::ToolTipBase, QColor(0xED, 0xED, 0xED));
  p.setColor(QPalette::ToolTipText, QColor(20, 20, 20));
  p.setColor(QPalette::PlaceholderText, c.dimText);
  p.setColor(QPalette::Disabled, QPalette::Text, c.dimText);
  p.setColor(QPalette::Disabled, QPalette::WindowText, c.dimText);
  p.setColor(QPalette::Disabled, QPalette::ButtonText, c.dimText);
  // Disabled controls recede into the window: flat fill, no accent.
  p.setColor(QPalette::Disabled, QPalette::Button, c.window);
  p.setColor(QPalette::Disabled, QPalette::Base, c.window);
  p.setColor(QPalette::Disabled, QPalette::Highlight, c.dimText);
  p.setColor(QPalette::Disabled, QPalette::HighlightedText, c.window);
  p.setColor(QPalette::Disabled, QPalette::Light, c.window);
  p.setColor(QPalette::Link, c.accent);
  app.setPalette(p);
  // Menus and hints: a palette alone leaves them flat; these rules give them the style's depth.
  app.setStyleSheet(QStringLiteral(
                        "QMenuBar { background: %1; color: %2; padding: 2px; }"
                        "QMenuBar::item { padding: 4px 10px; border-radius: 3px; }"
                        "QMenuBar::item:selected { background: %3; color: white; }"
                        "QMenu { background: %4; color: %2; border: 1px solid %5; padding: 4px; }"
                        "QMenu::item { padding: 5px 28px 5px 24px; border-radius: 3px; }"
                        "QMenu::item:selected { background: %3; color: white; }"
                        "QMenu::item:disabled { color: %6; }"
                        "QMenu::separator { height: 1px; background: %5; margin: 4px 8px; }"
                        "QToolTip { background: #EDEDED; color: #141414; border: 1px solid #999; }"
                        "QProgressBar { border: 1px solid %5; border-radius: 3px; background: %7;"
                        " text-align: center; color: transparent; }"
                        "QProgressBar::chunk { background: %3; border-radius: 2px; }")
                        .arg(c.panel.name(), c.text.name(), c.accent.name(), c.window.name(),
                             c.divider.name(), c.dimText.name(), c.window.darker(115).name()));
}

}  // namespace brumeleaf
