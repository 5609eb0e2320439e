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

QString Tr(TextId id) { return QString::fromStdString(CurrentLanguage().Text(id)); }

}  // namespace brumeleaf
