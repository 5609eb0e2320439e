#include "app/MainWindow.h"
#include "app/ScriptBatchMenus.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "app/Computation.h"
#include "app/FramesWindow.h"
#include "app/ModifyWindow.h"
#include "app/ParametersWindow.h"
#include "app/ResizeWindow.h"
#include "app/ProcessingDriver.h"
#include "app/TextWindow.h"
#include "app/StatusPanel.h"
#include "app/ToolBarPanel.h"
#include "app/UiText.h"
#include "app/WindowStyles.h"
#include "history/History.h"

namespace brumeleaf {
namespace {

// A language's name in that language, as its menu command shows it.
QString NativeLanguageName(std::string_view name) {
  static const std::pair<std::string_view, const char*> kNames[] = {
      {"English", "English"},       {"French", "Français"},      {"German", "Deutsch"},
      {"Italian", "Italiano"},      {"Russian", "Русский"},      {"Polish", "Polski"},
      {"Czech", "Čeština"},         {"Finnish", "Suomi"},        {"Dutch", "Nederlands"},
      {"Romanian", "Română"},       {"Arab", "العربية"},         {"Spanish", "Español"},
      {"Afrikaans", "Afrikaans"},   {"Swedish", "Svenska"},      {"Greek", "Ελληνικά"},
      {"Latvian", "Latviešu"},      {"Hungarian", "Magyar"},     {"Turkish", "Türkçe"},
      {"Chinese", "中文"},          {"Serbian", "Српски"},       {"Portuguese", "Português"},
      {"Japanese", "日本語"},       {"Hangul", "한국어"},        {"Slovenian", "Slovenščina"}};
  for (const auto& [key, native] : kNames)
    if (key == name) return QString::fromUtf8(native);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// The area below the menu bar; it paints the one-pixel outlines around the panels and bars.
class CentralArea : public QWidget {
 public:
  CentralArea(QWidget* parent, std::function<void()> onResize)
      : QWidget(parent), onResize_(std::move(onResize)) {
    setObjectName(QStringLiteral("Form1Client"));
  }

 protected:
  // The client area also changes size when the menu bars swap, without the window resizing.
  void resizeEvent(QResizeEvent* /*event*/) override { onResize_(); }

  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(QColor(200, 196, 196));
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      const QString name = child->objectName();
      if (name == QLatin1String("ResizeImage") || !child->isVisible()) continue;
      if (name == QLatin1String("TrackBar3")) continue;
      p.drawRect(child->geometry().adjusted(-1, -1, 0, 0));
    }
  }

 private:
  std::function<void()> onResize_;
};

// The caption of an action in the current language; the entries of the main menu bar are
// padded so that the bar keeps its wide, evenly spaced look in every language. `share` (0..1)
// is the part of the padding that fits the bar's width.
QString CaptionOf(const QAction* action, double share = 1.0) {
  const auto text = static_cast<TextId>(action->property("textId").toInt());
  const QVariant barIndex = action->property("menuBarIndex");
  if (!barIndex.isValid()) return Tr(text);
  const QString padded = QString::fromStdString(CurrentLanguage().MenuCaption(barIndex.toInt(), text));
  const QString plain = Tr(text);
  const auto spaces = static_cast<qsizetype>((padded.size() - plain.size()) * share);
  // Alt and the first letter opens the menu, in every language.
  const QString mnemonic = plain.contains(QLatin1Char('&')) ? QString() : QStringLiteral("&");
  return mnemonic + plain + QString(spaces, QLatin1Char(' '));
}

// Whether every entry of a menu bar is shown on the bar itself, none behind its overflow arrow.
bool AllEntriesShown(QMenuBar* bar) {
  for (QAction* a : bar->actions()) {
    const QRect r = bar->actionGeometry(a);
    if (!r.isValid() || r.left() < 0 || r.right() >= bar->width()) return false;
  }
  return true;
}

// The buttons of a question or message box: the language's own confirmation word, and the
// table's Cancel. They are buttons of our own rather than the toolkit's standard ones, whose
// captions the toolkit would translate over ours. Returns the confirmation button.
QAbstractButton* AddButtons(QMessageBox& box, bool withCancel) {
  QPushButton* ok = box.addButton(QString::fromStdString(CurrentLanguage().ConfirmCaption()),
                                  QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  if (withCancel) box.setEscapeButton(box.addButton(Tr(TextId::BatchCancel), QMessageBox::RejectRole));
  box.setLayoutDirection(CurrentLanguage().RightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
  return ok;
}

}  // namespace

MainWindow::MainWindow(QStringList arguments, QWidget* parent)
    : QMainWindow(parent), arguments_(std::move(arguments)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Brumeleaf"));
  AskOkCancel = [this](const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, this);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const QAbstractButton* ok = AddButtons(box, true);
    box.exec();
    return box.clickedButton() == ok;
  };
  ShowMessage = [this](const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Brumeleaf"), text, QMessageBox::NoButton, this);
    AddButtons(box, false);
    box.exec();
  };
  ChooseOpenName = [this](const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(this, title, folder, filter);
  };
  ChooseSaveName = [this](const QString& title, const QString& proposed, const QStringList& filters,
                          int* chosenFilter) {
    QString chosen = filters.value(*chosenFilter);
    const QString name = QFileDialog::getSaveFileName(this, title, proposed, filters.join(QStringLiteral(";;")),
                                                      &chosen, QFileDialog::DontConfirmOverwrite);
    *chosenFilter = std::max(0, static_cast<int>(filters.indexOf(chosen)));
    return name;
  };
  computation_ = std::make_unique<Computation>(flags_, random_, this);
  connect(computation_.get(), &Computation::Progress, this, &MainWindow::ShowProgress);
  connect(computation_.get(), &Computation::PartialPicture, this, &MainWindow::ShowPartialPicture);

  central_ = new CentralArea(this, [this] { FormResize(); });
  setCentralWidget(central_);
  panel1_ = new ToolBarPanel(central_);
  panel2_ = new StatusPanel(central_);
  scrollBox1_ = new PanelView(1, *this, central_);
  scrollBox2_ = new PanelView(2, *this, central_);
  resizeImage_ = new DividerBar(*this, central_);
  scrollBox1_->setAcceptDrops(true);
  scrollBox1_->installEventFilter(this);
  trackBar3_ = new QSlider(Qt::Horizontal, central_);
  trackBar3_->setObjectName(QStringLiteral("TrackBar3"));
  trackBar3_->setRange(view::kMinZoom, view::kMaxZoom);
  trackBar3_->setValue(100);
  trackBar3_->hide();
  connect(trackBar3_, &QSlider::valueChanged, this, [this] { TrackBar3Change(); });

  BuildMenus();
  BuildToolBar();
  BuildTimers();
  setMinimumSize(arguments_.value(0) == QLatin1String("-silent") ? QSize(0, 0) : QSize(770, 110));

  // Start with white pictures of a modest size, as a new drawing sheet.
  Bitmap blank(640, 480);
  SetPictures(blank, blank);
  SetStyle(view::WindowStyle::Charcoal);
  panel2_->SetStatus(QString());
  writezoomvalue();
  history_->Reset();
  SaveToHistory(1);
  SaveToHistory(2);
  UpdateHistoryCommands();
  firstScreen_ = true;
  UpdateHint();
  ShowRunMenus(false);
  parametersWindow_ = std::make_unique<ParametersWindow>(*this);
  connect(&parametersWindow_->Driver(), &ProcessingDriver::RunFinished, this, [this] { DropPartialPicture(); });
  InstallScriptAndBatchWindows(*this);
}

MainWindow::~MainWindow() {
  // The update check ends within its own time limit; the window waits for it rather than
  // leaving a thread behind.
  if (updateThread_) updateThread_->wait();
}

// Every caption remembers its text's name, so that a change of language can rewrite it.
static void SetCaption(QAction* action, TextId text) {
  action->setProperty("textId", static_cast<int>(text));
  action->setText(Tr(text));
}

QMenu* MainWindow::AddMenu(QMenuBar* bar, QMenu* parent, TextId text) {
  QMenu* menu = bar ? bar->addMenu(QString()) : parent->addMenu(QString());
  SetCaption(menu->menuAction(), text);
  if (bar == actionMainMenuBar1_) {
    menu->menuAction()->setProperty("menuBarIndex", static_cast<int>(bar->actions().size()) - 1);
    menu->menuAction()->setText(CaptionOf(menu->menuAction()));
  }
  return menu;
}

QAction* MainWindow::AddCommand(QMenu* menu, const char* objectName, TextId text,
                                const QKeySequence& key, void (MainWindow::*handler)(),
                                bool enabled) {
  QAction* action = menu->addAction(QString());
  SetCaption(action, text);
  action->setObjectName(QString::fromLatin1(objectName));
  if (!key.isEmpty()) action->setShortcut(key);
  action->setEnabled(enabled);
  if (handler != nullptr) connect(action, &QAction::triggered, this, handler);
  // Shortcuts stay live whichever menu bar is shown.
  addAction(action);
  return action;
}

void MainWindow::BuildMenus() {
  auto* bars = new QWidget(this);
  auto* layout = new QVBoxLayout(bars);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  actionMainMenuBar1_ = new QMenuBar(bars);
  actionMainMenuBar1_->setObjectName(QStringLiteral("ActionMainMenuBar1"));
  actionMainMenuBar2_ = new QMenuBar(bars);
  actionMainMenuBar2_->setObjectName(QStringLiteral("ActionMainMenuBar2"));
  layout->addWidget(actionMainMenuBar1_);
  layout->addWidget(actionMainMenuBar2_);
  setMenuWidget(bars);

  QMenu* file = AddMenu(actionMainMenuBar1_, nullptr, TextId::FileMenu);
  AddCommand(file, "Openpicture1", TextId::OpenPicture, QKeySequence(Qt::CTRL | Qt::Key_O),
             &MainWindow::Openpicture1Click);
  AddCommand(file, "Enregisterledessinsous1", TextId::SaveDrawingAs,
             QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::Savepicture1Click);
  AddCommand(file, "Print1", TextId::Print, QKeySequence(Qt::CTRL | Qt::Key_P), &MainWindow::Print1Click);
  AddCommand(file, "ExportPdf1", TextId::ExportPdfCommand, QKeySequence(), &MainWindow::ExportPdf1Click);
  file->addSeparator();
  QAction* quit = AddCommand(file, "Quit1", TextId::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr);
  connect(quit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = AddMenu(actionMainMenuBar1_, nullptr, TextId::EditMenu);
  AddCommand(edit, "Annuler1", TextId::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z),
             &MainWindow::Annuler1Click);
  AddCommand(edit, "Rtablir1", TextId::Redo, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z),
             &MainWindow::Rtablir1Click);
  edit->addSeparator();
  AddCommand(edit, "Copierledessindanslepressepapier1", TextId::CopyDrawing,
             QKeySequence(Qt::CTRL | Qt::Key_C), &MainWindow::Copierledessindanslepressepapier1Click);
  AddCommand(edit, "Colleruneimagedepuislepressepapier1", TextId::PasteImage,
             QKeySequence(Qt::CTRL | Qt::Key_V), &MainWindow::Colleruneimagedepuislepressepapier1Click);
  AddCommand(edit, "Copyascommandline1", TextId::CopyAsCommandLine, QKeySequence(), nullptr);
  AddCommand(edit, "Swap1", TextId::ScriptSwap, QKeySequence(Qt::Key_F12),
             &MainWindow::Swap1Click);
  AddCommand(edit, "EnregistrerenfonddcranWindows1", TextId::SetAsWallpaper,
             QKeySequence(Qt::CTRL | Qt::Key_W), &MainWindow::EnregistrerenfonddcranWindows1Click);
  edit->addSeparator();
  AddCommand(edit, "Modifysourceimage1", TextId::ModifySourceMenu, QKeySequence(Qt::Key_F9),
             &MainWindow::ModifySourceImage1Click);
  AddCommand(edit, "Resizesourceimage1", TextId::ResizeSourceMenu,
             QKeySequence(Qt::CTRL | Qt::Key_R), &MainWindow::Redimensionnerlimagesource1Click);
  AddCommand(edit, "Rotateright1", TextId::RotateRight, QKeySequence(Qt::Key_R),
             &MainWindow::Rotateright1Click);
  AddCommand(edit, "Rotateleft1", TextId::RotateLeft, QKeySequence(Qt::Key_L),
             &MainWindow::Rotateleft1Click);
  AddCommand(edit, "Automaticcontrast1", TextId::AutomaticContrast,
             QKeySequence(Qt::CTRL | Qt::Key_A), &MainWindow::Automaticcontrast1Click);
  connect(edit, &QMenu::aboutToShow, this, &MainWindow::UpdateSourceToolCommands);
  AddCommand(edit, "Invert1", TextId::InvertColors, QKeySequence(Qt::CTRL | Qt::Key_I),
             &MainWindow::Invert1Execute);
  AddCommand(edit, "Crop1", TextId::CropToSelection, QKeySequence(), &MainWindow::CropStart);
  edit->addSeparator();
  AddCommand(edit, "Sketchit1", TextId::DrawingParametersMenu, QKeySequence(Qt::Key_F10),
             &MainWindow::Sketchit1Click);
  AddCommand(edit, "Addtext1", TextId::AddTextMenu, QKeySequence(Qt::CTRL | Qt::Key_T),
             &MainWindow::ShowTextWindow);
  AddCommand(edit, "Batchprocessing1", TextId::BatchMenu,
             QKeySequence(Qt::CTRL | Qt::Key_B), nullptr, false);
  AddCommand(edit, "Script1", TextId::ScriptMenu, QKeySequence(Qt::Key_F5), nullptr, false);

  QMenu* help = AddMenu(actionMainMenuBar1_, nullptr, TextId::HelpMenu);
  AddCommand(help, "Onlinehelp1", TextId::OnlineHelp, QKeySequence(Qt::Key_F1), nullptr, false);
  QAction* update = AddCommand(help, "Checkforupdate", TextId::CheckForUpdate,
                               QKeySequence(Qt::CTRL | Qt::Key_U), nullptr);
  connect(update, &QAction::triggered, this, [this] { Check4Update(true); });
  QMenu* language = AddMenu(nullptr, help, TextId::ChangeLanguage);
  auto* languages = new QActionGroup(this);
  for (std::string_view name : Language::Names()) {
    // Each language is offered under its own name, so that it can be found from any other.
    QAction* a = language->addAction(NativeLanguageName(name));
    a->setObjectName(QStringLiteral("Language") +
                     QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    a->setCheckable(true);
    languages->addAction(a);
    connect(a, &QAction::triggered, this, [this, n = std::string(name)] { ApplyLanguage(n); });
  }
  QMenu* appearance = AddMenu(nullptr, help, TextId::ChangeWindowStyle);
  auto* styles = new QActionGroup(this);
  const std::pair<const char*, view::WindowStyle> entries[] = {
      {"Charcoal", view::WindowStyle::Charcoal},
      {"Slate", view::WindowStyle::Slate},
      {"Obsidian", view::WindowStyle::Obsidian}};
  for (const auto& [name, style] : entries) {
    QAction* a = appearance->addAction(QString::fromLatin1(name));
    a->setObjectName(QStringLiteral("Style") + QString::fromLatin1(name));
    a->setCheckable(true);
    styles->addAction(a);
    connect(a, &QAction::triggered, this, [this, s = style] { SetStyle(s); });
  }
  help->addSeparator();
  AddCommand(help, "Credits1", TextId::CreditsTitle, QKeySequence(), nullptr, false);
  QAction* about = AddCommand(help, "About1", TextId::AboutMenu, QKeySequence(), nullptr);
  connect(about, &QAction::triggered, this, [this] {
    // The libraries the program is built on, with the toolkit's version as it runs.
    const QString libraries = QStringLiteral("Qt %1, libjpeg-turbo, libpng, zlib, giflib, libcurl").arg(QString::fromLatin1(qVersion()));
    QMessageBox box(QMessageBox::NoIcon, Tr(TextId::AboutMenu),
                    QStringLiteral("<h3>Brumeleaf</h3><p>%1</p><p>%2</p><p>%3</p><p>%4</p>")
                        .arg(Tr(TextId::AboutDescription).toHtmlEscaped(),
                             Tr(TextId::AboutVersion).arg(QApplication::applicationVersion()).toHtmlEscaped(),
                             Tr(TextId::AboutLicence).toHtmlEscaped(),
                             Tr(TextId::AboutLibraries).arg(libraries).toHtmlEscaped()),
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setIconPixmap(windowIcon().pixmap(64, 64));
    AddButtons(box, false);
    box.exec();
  });
  AddCommand(help, "Coffee1", TextId::CoffeeMenu, QKeySequence(Qt::Key_F2), nullptr,
             false);

  // The reduced bar of a run: stop it, or save what has been drawn so far.
  QAction* cancel = actionMainMenuBar2_->addAction(QString());
  SetCaption(cancel, TextId::InterruptProcess);
  cancel->setObjectName(QStringLiteral("Canceloperation1"));
  connect(cancel, &QAction::triggered, this, &MainWindow::Canceloperation1Click);
  QAction* inProgress = actionMainMenuBar2_->addAction(QString());
  SetCaption(inProgress, TextId::SaveInProgress);
  inProgress->setObjectName(QStringLiteral("Saveinprogress1"));
  connect(inProgress, &QAction::triggered, this, &MainWindow::Saveinprogress1Click);
  addAction(cancel);
  addAction(inProgress);

  popupActionBar1_ = new QMenu(this);
  popupActionBar1_->setObjectName(QStringLiteral("PopupActionBar1"));
  SetCaption(popupActionBar1_->addAction(QString(), this, &MainWindow::Openpicture1Click),
             TextId::OpenCommand);
  SetCaption(popupActionBar1_->addAction(QString(), this,
                                         &MainWindow::Colleruneimagedepuislepressepapier1Click),
             TextId::PasteCommand);
  popupActionBar1_->addSeparator();
  SetCaption(popupActionBar1_->addAction(QString(), this, &MainWindow::CropStart),
             TextId::CropToSelection);
  popupActionBar2_ = new QMenu(this);
  popupActionBar2_->setObjectName(QStringLiteral("PopupActionBar2"));
  SetCaption(popupActionBar2_->addAction(QString(), this, &MainWindow::Savepicture1Click),
             TextId::SaveCommand);
  SetCaption(popupActionBar2_->addAction(QString(), this,
                                         &MainWindow::Copierledessindanslepressepapier1Click),
             TextId::CopyCommand);
  SetCaption(popupActionBar2_->addAction(QString(), this, &MainWindow::Swap1Click),
             TextId::SwapCommand);
}

QAction* MainWindow::Action(const QString& objectName) const {
  return findChild<QAction*>(objectName);
}

void MainWindow::ShowRunMenus(bool running) {
  actionMainMenuBar1_->setVisible(!running);
  actionMainMenuBar2_->setVisible(running);
  // One Ctrl+S at a time: the save dialog while idle, the save in progress during a run.
  Action(QStringLiteral("Enregisterledessinsous1"))
      ->setShortcut(running ? QKeySequence() : QKeySequence(Qt::CTRL | Qt::Key_S));
  Action(QStringLiteral("Saveinprogress1"))
      ->setShortcut(running ? QKeySequence(Qt::CTRL | Qt::Key_S) : QKeySequence());
}

void MainWindow::ApplyLanguage(const std::string& name) {
  try {
    SetCurrentLanguage(Language::Load(name));
  } catch (const std::exception&) {
    SetCurrentLanguage(Language::English());
  }
  settings_.language = CurrentLanguage().Name();
  if (QAction* a = Action(QStringLiteral("Language") + QString::fromStdString(CurrentLanguage().Name()))) {
    a->setChecked(true);
  }
  const Language& language = CurrentLanguage();
  keptMessages_ = KeptMessages(language);
  ApplyLanguageFonts();
  ApplyToolkitTranslation();
  for (QAction* action : findChildren<QAction*>()) {
    if (action->property("textId").isValid()) action->setText(CaptionOf(action));
  }
  PadMenuBar();
  const std::array<std::string, 3> styleNames = language.StyleNames();
  const char* styleActions[] = {"StyleCharcoal", "StyleObsidian", "StyleSlate"};
  for (std::size_t i = 0; i < styleNames.size(); ++i) {
    if (QAction* a = Action(QString::fromLatin1(styleActions[i])))
      a->setText(QString::fromStdString(styleNames[i]));
  }
  // The menus read right to left in Arabic; the picture panels keep the source on the left.
  for (QWidget* menus : {static_cast<QWidget*>(actionMainMenuBar1_),
                         static_cast<QWidget*>(actionMainMenuBar2_),
                         static_cast<QWidget*>(popupActionBar1_), static_cast<QWidget*>(popupActionBar2_)})
    ApplyMenuDirection(menus);
  // Every other pop-up menu of the window's children (the script grid's, ...) follows too.
  for (QMenu* menu : findChildren<QMenu*>())
    menu->setLayoutDirection(CurrentLanguage().RightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
  RetranslateTips(this);
  BuildToolBarHints();
  UpdateHint();
  parameters_.ApplyLanguage(language);
  if (parametersWindow_) parametersWindow_->Retranslate();
  if (modifyWindow_) modifyWindow_->Retranslate();
}

QString MainWindow::KeptMessage(TextId text) const {
  return QString::fromStdString(keptMessages_.Text(text));
}

void MainWindow::BuildToolBarHints() {
  const TextId hints[] = {TextId::OpenPicture,   TextId::SaveDrawingAs,    TextId::CopyDrawing,
                          TextId::PasteImage,    TextId::Undo,             TextId::Redo,
                          TextId::CropToSelection, TextId::ModifySourceMenu, TextId::DrawingParametersMenu,
                          TextId::AddTextMenu,   TextId::Print,            TextId::AboutMenu,
                          TextId::OnlineHelp,    TextId::CoffeeMenu,       TextId::ZoomOut,
                          TextId::ZoomReset,     TextId::ZoomIn};
  for (int i = 1; i <= 17; ++i) panel1_->SetHint(i, Tr(hints[i - 1]));
}

void MainWindow::BuildToolBar() {
  BuildToolBarHints();
  // The windows of these icons are not part of the program yet.
  for (int icon : {11, 13, 14}) panel1_->SetIconEnabled(icon, false);
  connect(panel1_, &ToolBarPanel::IconPressed, this, &MainWindow::ToolIconPressed);
  connect(panel1_, &ToolBarPanel::IconReleased, this, &MainWindow::ToolIconReleased);
  connect(panel1_, &ToolBarPanel::ZoomLabelClicked, this, [this] { panel1_->ShowZoomEdit(Zoom()); });
  connect(panel1_, &ToolBarPanel::ZoomEntered, this, &MainWindow::ZoomEntered);
}

void MainWindow::BuildTimers() {
  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  timer2_->setSingleShot(true);
  connect(timer2_, &QTimer::timeout, this, &MainWindow::Timer2Timer);
  timer3_ = new QTimer(this);
  timer3_->setObjectName(QStringLiteral("Timer3"));
  connect(timer3_, &QTimer::timeout, this, &MainWindow::Timer3Timer);
  accelTimer_ = new QTimer(this);
  accelTimer_->setObjectName(QStringLiteral("AccelTimer"));
  connect(accelTimer_, &QTimer::timeout, this, &MainWindow::AccelTimerTimer);
  maxForm1Timer_ = new QTimer(this);
  maxForm1Timer_->setObjectName(QStringLiteral("MaxForm1Timer"));
  maxForm1Timer_->setSingleShot(true);
  connect(maxForm1Timer_, &QTimer::timeout, this, [this] { showMaximized(); });
}

void MainWindow::SetStyle(view::WindowStyle style) {
  style_ = style;
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    ApplyWindowStyle(*app, style);
  }
  const StyleColours c = ColoursOf(style);
  panel1_->SetIconColours(c.icon, c.iconDisabled, c.accent);
  resizeImage_->SetColour(c.divider);
  scrollBox1_->SetBackground(style, width());
  scrollBox2_->SetBackground(style, width());
  const char* names[] = {"", "StyleCharcoal", "StyleSlate", "StyleObsidian"};
  if (QAction* a = Action(QString::fromLatin1(names[static_cast<int>(style)]))) a->setChecked(true);
  settings_.style = static_cast<int>(style);
  central_->update();
  if (parametersWindow_) parametersWindow_->StyleChanged();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PadMenuBar();
  FormResize();
}

// The menu bar's padding gives way when the window is too narrow for all of it (long captions,
// wide spaces in some scripts): an entry hidden behind the overflow arrow is worse than a
// narrower bar.
void MainWindow::PadMenuBar() {
  if (actionMainMenuBar1_ == nullptr) return;
  const QList<QAction*> entries = actionMainMenuBar1_->actions();
  for (int step = 8; step >= 0; --step) {
    for (QAction* a : entries)
      if (a->property("menuBarIndex").isValid()) a->setText(CaptionOf(a, step / 8.0));
    if (AllEntriesShown(actionMainMenuBar1_)) return;
  }
}


void MainWindow::FormResize() {
  if (central_ == nullptr) return;
  dividerOffset_ = view::ClampDivider(dividerOffset_, central_->width());
  const view::WindowLayout layout =
      view::ComputeLayout(central_->width(), central_->height(), 0, ToolBarPanel::kHeight,
                          StatusPanel::kHeight, dividerOffset_);
  auto place = [](QWidget* w, const view::Rect& r) { w->setGeometry(r.left, r.top, r.width, r.height); };
  place(panel1_, layout.toolBar);
  place(resizeImage_, layout.divider);
  place(scrollBox2_, layout.rightPanel);
  place(scrollBox1_, layout.leftPanel);
  place(panel2_, layout.statusBar);
  resizeImage_->lower();
  scrollBox1_->SetBackground(style_, width());
  scrollBox2_->SetBackground(style_, width());
  CenterImages();
  panel2_->SetStopPercent(panel2_->StopPercent());
  central_->update();
}

void MainWindow::SetDividerOffset(int offset) {
  dividerOffset_ = offset;
  FormResize();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  if (keypad && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus)) {
    if (!flags_.Processing && !keyHeld_) {
      keyHeld_ = true;
      StartContinuousZoom(event->key() == Qt::Key_Plus ? 1 : -1, 25);
    }
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape: EscapePressed(); return;
    case Qt::Key_Up:
    case Qt::Key_Down: SetDividerOffset(0); return;
    case Qt::Key_Insert:
      if (!flags_.Processing) SetStyle(view::NextStyle(style_));
      return;
    default: QMainWindow::keyPressEvent(event);
  }
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  if (keypad && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus)) {
    keyHeld_ = false;
    StopContinuousZoom(false);
    return;
  }
  const int half = central_->width() / 2;
  if (event->key() == Qt::Key_Right) {
    AnimateDivider(10 - half);
  } else if (event->key() == Qt::Key_Left) {
    AnimateDivider(half - 10);
  } else {
    QMainWindow::keyReleaseEvent(event);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A drawing that was never saved (or one still being drawn) is not thrown away unasked.
  const bool drawing = parametersWindow_ && parametersWindow_->Driver().RunInProgress();
  if ((unsavedDrawing_ || drawing) && !AskOkCancel(Tr(TextId::QuitUnsavedQuestion),
                                                   QStringLiteral("Brumeleaf"))) {
    event->ignore();
    return;
  }
  flags_.StopRequested.store(true);
  computation_->SetPaused(false);
  computation_->WaitUntilIdle();
  WriteSettings();
  event->accept();
}

}  // namespace brumeleaf
