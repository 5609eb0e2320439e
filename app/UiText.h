#pragma once
// User-facing texts by their line in the language table. The windows show the current
// language; a text the table does not have (line -1, or an empty line) shows the English
// wording given with it.

#include <QString>

#include "i18n/Language.h"

namespace brumeleaf {

const Language& CurrentLanguage();
void SetCurrentLanguage(Language language);

QString UiText(int line, const char* english);

}  // namespace brumeleaf
