// Every language applied to the running windows: every text fits its control and draws without
// a missing glyph, Arabic menus read right to left while the picture panels keep the source on
// the left, and the windows follow a change of language at once.

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

#include "AppTests.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/UiText.h"
#include "app/ToolBarPanel.h"
#include "effects/Catalogue.h"
#include "effects/EffectSettings.h"
#include "settings/SettingsFile.h"

#include <filesystem>

using namespace brumeleaf;

namespace {

// A text as drawn: the one "&" before an access key is not shown.
QString Shown(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text;
}

// The characters of `text` that no installed font can draw with `font` and its fallbacks: the
// shaped glyph runs hold glyph 0 (the empty box) for them.
QString MissingGlyphs(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  while (layout.createLine().isValid()) {
  }
  layout.endLayout();
  bool missing = false;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    for (quint32 glyph : run.glyphIndexes())
      if (glyph == 0) missing = true;
  }
  if (!missing) return {};
  // Name the characters for the message.
  QString names;
  for (char32_t c : text.toUcs4()) {
    if (c <= 0x20) continue;
    QTextLayout one(QString::fromUcs4(&c, 1), font);
    one.beginLayout();
    one.createLine();
    one.endLayout();
    for (const QGlyphRun& run : one.glyphRuns())
      for (quint32 glyph : run.glyphIndexes())
        if (glyph == 0) names += QStringLiteral("U+%1 ").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'));
  }
  return names.isEmpty() ? QStringLiteral("(shaped)") : names;
}

// The family of the font that draws the first ideograph of `text`.
QString FamilyDrawing(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  for (const QGlyphRun& run : layout.glyphRuns()) {
    const QString family = run.rawFont().familyName();
    if (family.contains(QLatin1String("CJK"))) return family;
  }
  return {};
}

struct Program {
  MainWindow w;
  QStringList questions;
  Program() {
    w.AskOkCancel = [this](const QString& text, const QString&) {
      questions << text;
      return false;
    };
    w.ShowMessage = [this](const QString& text) { questions << text; };
    w.resize(1100, 760);
    w.show();
  }
  ParametersWindow& P() { return w.ParametersForm(); }
  void OpenParameters() {
    w.Sketchit1Click();
    QTest::qWait(50);
    P().Edit1Click();  // the effect list open below the name box
    QTest::qWait(50);
  }
  ~Program() { SetCurrentLanguage(Language::English()); }
};

// One problem per line: which language, which control, what is wrong.
class Findings {
 public:
  explicit Findings(QString language) : language_(std::move(language)) {}
  void Fits(const QWidget* w, const QString& text, int available, int needed) {
    if (needed > available)
      Add(w, QStringLiteral("\"%1\" needs %2 px, has %3").arg(text).arg(needed).arg(available));
  }
  void Draws(const QWidget* w, const QString& text, const QFont& font) {
    if (text.trimmed().isEmpty()) return;
    const QString missing = MissingGlyphs(text, font);
    if (!missing.isEmpty()) Add(w, QStringLiteral("\"%1\" lacks glyphs %2").arg(text, missing));
  }
  void Add(const QWidget* w, const QString& what) {
    list_ << QStringLiteral("%1 %2: %3").arg(language_, w ? w->objectName() : QString(), what);
  }
  const QStringList& List() const { return list_; }

 private:
  QString language_;
  QStringList list_;
};

int TextWidth(const QWidget* w, const QString& text) {
  return w->fontMetrics().horizontalAdvance(Shown(text));
}

void CheckWidget(QWidget* w, Findings& f) {
  if (!w->isVisible()) return;
  f.Draws(w, w->toolTip(), QApplication::font("QToolTip"));
  if (w->isWindow()) f.Draws(w, w->windowTitle(), w->font());
  if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text().isEmpty() || label->wordWrap() || Qt::mightBeRichText(label->text())) return;
    f.Draws(w, label->text(), label->font());
    f.Fits(w, label->text(), label->contentsRect().width(), TextWidth(w, label->text()));
  } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
    if (check->text().isEmpty()) return;
    f.Draws(w, Shown(check->text()), check->font());
    const int indicator = check->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, check) +
                          check->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, check);
    f.Fits(w, check->text(), check->width(), indicator + TextWidth(w, check->text()));
  } else if (auto* button = qobject_cast<QPushButton*>(w)) {
    if (button->text().isEmpty()) return;
    f.Draws(w, Shown(button->text()), button->font());
    f.Fits(w, button->text(), button->width() - 4, TextWidth(w, button->text()));
  } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
    f.Draws(w, box->title(), box->font());
    f.Fits(w, box->title(), box->width() - 16, TextWidth(w, box->title()));
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    const int arrow = combo->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, combo);
    for (int i = 0; i < combo->count(); ++i) {
      f.Draws(w, combo->itemText(i), combo->font());
      f.Fits(w, combo->itemText(i), combo->width() - arrow - 8, TextWidth(w, combo->itemText(i)));
    }
  } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
    for (QAction* a : bar->actions()) {
      f.Draws(w, Shown(a->text()), bar->font());
      if (!bar->actionGeometry(a).isValid() || bar->actionGeometry(a).right() >= bar->width() ||
          bar->actionGeometry(a).left() < 0)
        f.Add(w, QStringLiteral("\"%1\" does not fit in the menu bar").arg(a->text().trimmed()));
    }
  }
}

// Every menu below a menu bar, with its sub-menus: their captions must draw (a menu widens to
// its longest caption, so only the glyphs can fail).
void CheckMenu(QMenu* menu, Findings& f) {
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    f.Draws(menu, Shown(a->text()), menu->font());
    if (a->menu()) CheckMenu(a->menu(), f);
  }
}

// The texts that change with the chosen effect, each against the control that shows it.
void CheckEffectTexts(ParametersWindow& p, const Language& language, Findings& f) {
  auto* caption = p.findChild<QLabel*>(QStringLiteral("Label1"));
  auto* list = p.findChild<QListWidget*>(QStringLiteral("ListBox1"));
  auto* name = p.findChild<QLineEdit*>(QStringLiteral("Edit1"));
  if (!caption || !list || !name) {
    f.Add(&p, QStringLiteral("caption, list or name box not found"));
    return;
  }
  for (int code = 0; code < kEffectTableRows; ++code) {
    for (int slot = 0; slot < kSliderRowCount; ++slot) {
      const QString text = QString::fromStdString(SliderCaption(language, code, slot));
      if (text.isEmpty()) continue;
      f.Draws(caption, text, caption->font());
      f.Fits(caption, text, caption->contentsRect().width(), TextWidth(caption, text));
    }
  }
  const int listWidth = list->viewport()->width();
  for (int i = 0; i < kListEntryCount; ++i) {
    const QString item = QString::fromStdString(ListItemText(language, i));
    f.Draws(list, item, list->font());
    f.Fits(list, item, listWidth - 4, list->fontMetrics().horizontalAdvance(item) + 8);
    const QString entry = QString::fromStdString(EntryName(language, i));
    f.Fits(name, entry, name->contentsRect().width() - 4, name->fontMetrics().horizontalAdvance(entry));
  }
}

QStringList CheckLanguage(Program& t, std::string_view name) {
  t.w.ApplyLanguage(std::string(name));
  QTest::qWait(30);
  Findings f(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  QList<QWidget*> widgets = t.w.findChildren<QWidget*>();
  widgets.prepend(&t.w);
  for (QWidget* w : widgets) CheckWidget(w, f);
  for (QMenuBar* bar : t.w.findChildren<QMenuBar*>())
    for (QAction* a : bar->actions())
      if (a->menu()) CheckMenu(a->menu(), f);
  for (QMenu* popup : {t.w.findChild<QMenu*>(QStringLiteral("PopupActionBar1")),
                       t.w.findChild<QMenu*>(QStringLiteral("PopupActionBar2"))})
    if (popup) CheckMenu(popup, f);
  for (int i = 1; i <= 17; ++i) f.Draws(&t.w, t.w.Tools().Hint(i), t.w.font());
  CheckEffectTexts(t.P(), CurrentLanguage(), f);
  return f.List();
}

}  // namespace

class LanguagesTest : public QObject {
  Q_OBJECT

 private slots:
  void everyLanguageFitsItsControlsAndDrawsEveryCharacter() {
    Program t;
    t.OpenParameters();
    QStringList findings;
    // At the narrowest the window allows and at a common size.
    for (int width : {t.w.minimumWidth(), 1100}) {
      t.w.resize(width, 700);
      for (std::string_view name : Language::Names()) findings << CheckLanguage(t, name);
    }
    if (!findings.isEmpty()) qWarning().noquote() << findings.join(QLatin1Char('\n'));
    QCOMPARE(findings.size(), 0);
  }

  void ideographsTakeTheirOwnLanguagesShapes() {
    Program t;
    // The glyph check itself must see a character no font has.
    const char32_t unassigned = 0x10FFFD;
    QVERIFY(!MissingGlyphs(QString::fromUcs4(&unassigned, 1), QApplication::font()).isEmpty());
    QVERIFY(MissingGlyphs(QString::fromUtf8("Ωж한"), QApplication::font()).isEmpty());
    const QString sample = QString::fromUtf8("直画");
    t.w.ApplyLanguage("Japanese");
    QVERIFY2(FamilyDrawing(sample, QApplication::font("QMenu")).contains(QLatin1String("JP")),
             qPrintable(FamilyDrawing(sample, QApplication::font("QMenu"))));
    t.w.ApplyLanguage("Chinese");
    QVERIFY(FamilyDrawing(sample, QApplication::font()).contains(QLatin1String("SC")));
    t.w.ApplyLanguage("English");
    QVERIFY(!QApplication::font().families().join(QLatin1Char(',')).contains(QLatin1String("CJK")));
  }

  void arabicMenusReadRightToLeftAndThePanelsDoNot() {
    Program t;
    t.OpenParameters();
    t.w.ApplyLanguage("Arab");
    QTest::qWait(30);
    for (QMenuBar* bar : t.w.findChildren<QMenuBar*>()) QCOMPARE(bar->layoutDirection(), Qt::RightToLeft);
    for (QMenu* menu : t.w.findChildren<QMenu*>()) QCOMPARE(menu->layoutDirection(), Qt::RightToLeft);
    // The first menu (File) sits at the right end of the bar.
    auto* bar = t.w.findChild<QMenuBar*>(QStringLiteral("ActionMainMenuBar1"));
    const QList<QAction*> menus = bar->actions();
    QVERIFY(bar->actionGeometry(menus.first()).left() > bar->actionGeometry(menus.last()).left());
    // The source stays on the left, as the texts about the left image say.
    QCOMPARE(QApplication::layoutDirection(), Qt::LeftToRight);  // despite the toolkit's own texts
    QCOMPARE(t.w.centralWidget()->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(t.P().layoutDirection(), Qt::LeftToRight);
    QCOMPARE(t.w.Panel(1).layoutDirection(), Qt::LeftToRight);
    QCOMPARE(t.w.Panel(2).layoutDirection(), Qt::LeftToRight);
    QVERIFY(t.w.Panel(1).geometry().left() < t.w.Panel(2).geometry().left());
    QCOMPARE(t.w.Tools().layoutDirection(), Qt::LeftToRight);

    t.w.ApplyLanguage("English");
    for (QMenuBar* b : t.w.findChildren<QMenuBar*>()) QCOMPARE(b->layoutDirection(), Qt::LeftToRight);
    for (QMenu* menu : t.w.findChildren<QMenu*>()) QCOMPARE(menu->layoutDirection(), Qt::LeftToRight);
    QVERIFY(bar->actionGeometry(menus.first()).left() < bar->actionGeometry(menus.last()).left());
  }

  void effectListAndCaptionsRenameAtOnceWithTheWindowOpen() {
    Program t;
    t.OpenParameters();
    QVERIFY(t.P().isVisible());
    auto* list = t.P().findChild<QListWidget*>(QStringLiteral("ListBox1"));
    auto* name = t.P().findChild<QLineEdit*>(QStringLiteral("Edit1"));
    QVERIFY(list && name);
    for (const char* language : {"German", "Japanese", "English"}) {
      t.w.ApplyLanguage(language);
      const Language& l = CurrentLanguage();
      for (int i = 0; i < kListEntryCount; ++i)
        QCOMPARE(list->item(i)->text(), QString::fromStdString(ListItemText(l, i)));
      QCOMPARE(name->text(), QString::fromStdString(EntryName(l, t.w.Parameters().ListIndex())));
      QCOMPARE(t.P().windowTitle(), Tr(TextId::DrawingParametersTitle));
      QCOMPARE(t.P().findChild<QGroupBox*>(QStringLiteral("GroupBox1"))->title(), Tr(TextId::FinishingGroup));
      QCOMPARE(t.P().findChild<QLabel*>(QStringLiteral("Label1"))->toolTip(), Tr(TextId::ResetValueHint));
      auto* menuBar = t.P().findChild<QMenuBar*>(QStringLiteral("MainMenu1"));
      QCOMPARE(menuBar->actions().first()->text(), QStringLiteral("&") + Tr(TextId::ParametersMenu));
    }
  }

  void theStoredLanguageComesBackAtStartAndIsWrittenOnClose() {
    const std::filesystem::path file =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "Brumeleaf.ini";
    std::filesystem::remove(file);
    AppSettings stored;
    stored.language = "Hangul";
    stored.updateCheck = false;
    QVERIFY(SaveSettingsFile(file, stored, WindowPlacement{40, 50, 900, 650}));
    {
      Program t;
      t.w.FirstIdle();
      QVERIFY(t.w.Action(QStringLiteral("LanguageHangul"))->isChecked());
      QCOMPARE(t.w.Action(QStringLiteral("Annuler1"))->text(),
               QString::fromStdString(Language::Load("Hangul").Text(TextId::Undo)));
      t.w.ApplyLanguage("Greek");
      t.w.close();
    }
    AppSettings read;
    QCOMPARE(LoadSettingsFile(file, read), SettingsReadResult::Complete);
    std::filesystem::remove(file);
    QCOMPARE(read.language, std::string("Greek"));
  }

  void stylesConfirmationsPaddingAndKeptMessagesFollowTheLanguage() {
    Program t;
    t.w.ApplyLanguage("Japanese");
    QCOMPARE(t.w.Action(QStringLiteral("StyleObsidian"))->text(), QString::fromUtf8("黒曜石"));
    QCOMPARE(t.w.Action(QStringLiteral("StyleCharcoal"))->text(), QString::fromUtf8("チャコール"));
    QCOMPARE(t.w.Action(QStringLiteral("StyleSlate"))->text(), QString::fromUtf8("スレート"));
    QVERIFY(t.w.Action(QStringLiteral("LanguageJapanese"))->isChecked());
    QCOMPARE(t.w.Settings().language, std::string("Japanese"));
    // The menu bar's entries keep their generous width in every language.
    auto* bar = t.w.findChild<QMenuBar*>(QStringLiteral("ActionMainMenuBar1"));
    QCOMPARE(bar->actions()[1]->text(), QStringLiteral("&") + Tr(TextId::EditMenu) + QString(75, QLatin1Char(' ')));
    QCOMPARE(bar->actions()[2]->text(), QStringLiteral("&") + Tr(TextId::HelpMenu) + QString(50, QLatin1Char(' ')));
    // Context menus follow too.
    auto* popup = t.w.findChild<QMenu*>(QStringLiteral("PopupActionBar2"));
    QCOMPARE(popup->actions().first()->text(), Tr(TextId::SaveCommand));

    t.w.ApplyLanguage("French");
    QCOMPARE(t.w.Action(QStringLiteral("StyleObsidian"))->text(), QStringLiteral("Obsidian"));
    // The toolkit's dialogs speak the language too, and English again afterwards.
    QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != QLatin1String("Cancel"));
    // The crop question is asked in the language of the moment.
    t.w.CropStart();
    PanelListener& mouse = t.w;
    PanelMouse m;
    m.panel = 1;
    m.button = Qt::LeftButton;
    m.onPicture = true;
    m.picture = QPoint(10, 10);
    mouse.PanelPress(m);
    m.picture = QPoint(60, 50);
    mouse.PanelMove(m);
    mouse.PanelRelease(m);
    QCOMPARE(t.questions.size(), 1);
    QCOMPARE(t.questions.first(), QString::fromStdString(Language::Load("French").Text(TextId::CropQuestion)));

    // The program's own question boxes: Hangul confirms with its own word, others with OK.
    MainWindow plain;
    for (const char* language : {"Hangul", "Spanish"}) {
      plain.ApplyLanguage(language);
      QString ok, cancel;
      QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          for (QAbstractButton* b : box->buttons()) {
            if (box->buttonRole(b) == QMessageBox::AcceptRole) ok = b->text();
            if (box->buttonRole(b) == QMessageBox::RejectRole) cancel = b->text();
          }
          box->reject();
        }
      });
      QVERIFY(!plain.AskOkCancel(QStringLiteral("?"), QStringLiteral("Brumeleaf")));
      QCOMPARE(ok, QString::fromStdString(CurrentLanguage().ConfirmCaption()));
      QCOMPARE(cancel, Tr(TextId::BatchCancel));
    }
    QCOMPARE(CurrentLanguage().ConfirmCaption(), std::string("OK"));
    plain.ApplyLanguage("English");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
  }
};

BRUMELEAF_APP_TEST(LanguagesTest)
#include "LanguagesTest.moc"
