#include "app/UiText.h"

#include <memory>

namespace brumeleaf {
namespace {

std::unique_ptr<Language>& Current() {
  static std::unique_ptr<Language> current;
  return current;
}

}  // namespace

const Language& CurrentLanguage() {
  return Current() ? *Current() : Language::English();
}

void SetCurrentLanguage(Language language) { Current() = std::make_unique<Language>(std::move(language)); }

QString UiText(int line, const char* english) {
  if (line >= 0) {
    const std::string& text = CurrentLanguage().Text(line);
    if (!text.empty()) return QString::fromStdString(text);
  }
  return QString::fromUtf8(english);
}

}  // namespace brumeleaf
