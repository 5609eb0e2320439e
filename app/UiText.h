#pragma once
// User-facing texts by their line in the language table. Until the table loader is wired into
// the windows the English wording given here is shown; the line numbers keep each text findable.

#include <QString>

namespace brumeleaf {

inline QString UiText(int line, const char* english) {
  (void)line;
  return QString::fromUtf8(english);
}

}  // namespace brumeleaf
