#pragma once
// User-facing texts by name, in the current language.

#include <QString>

#include "i18n/Language.h"

namespace brumeleaf {

const Language& CurrentLanguage();
void SetCurrentLanguage(Language language);

// The text `id` in the current language, as the windows show it.
QString Tr(TextId id);

}  // namespace brumeleaf
