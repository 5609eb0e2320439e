#include "app/UiText.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <memory>

namespace brumeleaf {
namespace {

std::unique_ptr<Language>& Current() {
  static std::unique_ptr<Language> current;
  return current;
}

// The family that gives a language's ideographs their own national shapes, when installed.
QString ShapingFamily(const std::string& language) {
  if (language == "Japanese") return QStringLiteral("Noto Sans CJK JP");
  if (language == "Chinese") return QStringLiteral("Noto Sans CJK SC");
  if (language == "Hangul") return QStringLiteral("Noto Sans CJK KR");
  return {};
}

// The application's own font families before any language added to them, per widget class.
struct BaseFonts {
  QStringList application, menu, menuBar;
};

const BaseFonts& Base() {
  static const BaseFonts base{QApplication::font().families(),
                              QApplication::font("QMenu").families(),
                              QApplication::font("QMenuBar").families()};
  return base;
}

QFont WithFamilies(QFont font, const QStringList& base, const QString& extra) {
  QStringList families = base;
  if (families.isEmpty()) families << font.family();
  if (!extra.isEmpty()) families.insert(1, extra);
  font.setFamilies(families);
  return font;
}

QTranslator& Toolkit() {
  static QTranslator translator;
  return translator;
}

// The locale whose toolkit translation matches a table: the variants the tables are written in.
QString ToolkitLocaleOf(const std::string& language) {
  std::string file;
  try {
    file = Language::FileNameOf(language);
  } catch (const LanguageError&) {
    return {};
  }
  const QString code = QString::fromStdString(file.substr(0, file.find('.')));
  if (code == QLatin1String("pt")) return QStringLiteral("pt_PT");
  if (code == QLatin1String("zh")) return QStringLiteral("zh_CN");
  return code;
}

}  // namespace

const Language& CurrentLanguage() {
  return Current() ? *Current() : Language::English();
}

void SetCurrentLanguage(Language language) { Current() = std::make_unique<Language>(std::move(language)); }

QString Tr(TextId id) { return QString::fromStdString(CurrentLanguage().Text(id)); }

void SetTip(QWidget* widget, TextId id) {
  widget->setProperty("tipId", static_cast<int>(id));
  widget->setToolTip(Tr(id));
}

void RetranslateTips(QWidget* root) {
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* w : widgets) {
    const QVariant id = w->property("tipId");
    if (id.isValid()) w->setToolTip(Tr(static_cast<TextId>(id.toInt())));
  }
}

void ApplyMenuDirection(QWidget* menuOrBar) {
  const Qt::LayoutDirection direction =
      CurrentLanguage().RightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
  menuOrBar->setLayoutDirection(direction);
  // Pop-up menus are windows of their own and do not inherit the direction of their bar.
  for (QMenu* menu : menuOrBar->findChildren<QMenu*>()) menu->setLayoutDirection(direction);
}

void ApplyLanguageFonts() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  const BaseFonts& base = Base();
  QString extra = ShapingFamily(CurrentLanguage().Name());
  if (!extra.isEmpty() && !QFontDatabase::families().contains(extra)) extra.clear();
  QApplication::setFont(WithFamilies(QApplication::font(), base.application, extra));
  QApplication::setFont(WithFamilies(QApplication::font("QMenu"), base.menu, extra), "QMenu");
  QApplication::setFont(WithFamilies(QApplication::font("QMenuBar"), base.menuBar, extra), "QMenuBar");
}

}  // namespace brumeleaf

namespace brumeleaf {

void ApplyToolkitTranslation() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
  // Windows are laid out left to right in every language, only the menus turn: without this a
  // right-to-left toolkit translation would mirror every window, the picture panels included.
  QGuiApplication::setLayoutDirection(Qt::LeftToRight);
  QCoreApplication::removeTranslator(&Toolkit());
  const std::string& name = CurrentLanguage().Name();
  if (name == "English") return;
  const QString locale = ToolkitLocaleOf(name);
  if (locale.isEmpty()) return;
  // Portugal's Portuguese reads the Brazilian dialogs more easily than English ones.
  for (const QString& candidate : {locale, QStringLiteral("pt_BR")}) {
    if (candidate == QLatin1String("pt_BR") && locale != QLatin1String("pt_PT")) break;
    if (Toolkit().load(QLocale(candidate), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      QCoreApplication::installTranslator(&Toolkit());
      return;
    }
  }
}

}  // namespace brumeleaf
