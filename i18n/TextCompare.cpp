#include "i18n/TextCompare.h"

#include <QString>

namespace brumeleaf {
namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  a = Trimmed(a);
  b = Trimmed(b);
  // Case folding needs the Unicode tables; the text layer borrows Qt's.
  const QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
  const QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
  return qa.compare(qb, Qt::CaseInsensitive) == 0;
}

}  // namespace brumeleaf
