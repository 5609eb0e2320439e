#pragma once
// User-facing texts by name, in the current language.

#include <QString>

#include "i18n/Language.h"

class QWidget;

namespace brumeleaf {

const Language& CurrentLanguage();
void SetCurrentLanguage(Language language);

// The text `id` in the current language, as the windows show it.
QString Tr(TextId id);

// A tooltip that follows the language: the widget remembers the text's name.
void SetTip(QWidget* widget, TextId id);
// Rewrites the remembered tooltips of `root` and every widget below it.
void RetranslateTips(QWidget* root);

// Right to left for the current language on a menu bar or menu and the menus it opens.
void ApplyMenuDirection(QWidget* menuOrBar);

// The font families that draw the current language in its own letter forms: the CJK families
// come first for Japanese, Chinese and Korean, whose shared ideographs take a different shape
// in each. Applied to the application's fonts.
void ApplyLanguageFonts();

// The toolkit's own texts (file dialogs, standard buttons) in the current language, where the
// toolkit ships a translation for it; English otherwise.
void ApplyToolkitTranslation();

}  // namespace brumeleaf
