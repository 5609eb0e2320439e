#include "app/ScreenshotTour.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QThread>

#include <string>

#include <QEventLoop>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/ModifyWindow.h"
#include "app/ResizeWindow.h"
#include "app/ParametersWindow.h"
#include "app/ProcessingDriver.h"
#include "app/SplashWindow.h"
#include "app/StatusPanel.h"

namespace brumeleaf {
namespace {

QImage Shot(MainWindow& window, const QString& folder, const QString& name) {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    QThread::msleep(20);
  }
  const QImage image = window.grab().toImage();
  image.save(QDir(folder).filePath(name + QStringLiteral(".png")));
  return image;
}

// The three styles side by side, each reduced to a third.
void SaveStyleStrip(const QList<QImage>& shots, const QString& path) {
  if (shots.isEmpty()) return;
  const int w = shots.first().width() / 2;
  const int h = shots.first().height() / 2;
  QImage strip(w * static_cast<int>(shots.size()) + 8 * (static_cast<int>(shots.size()) - 1), h, QImage::Format_RGB32);
  strip.fill(Qt::white);
  QPainter p(&strip);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  for (int i = 0; i < shots.size(); ++i) p.drawImage(QRect(i * (w + 8), 0, w, h), shots[i]);
  p.end();
  strip.save(path);
}

// The menu language named by a table code ("ja") or a menu name ("Japanese").
std::string LanguageNamed(const QString& language) {
  const std::string text = language.toStdString();
  try {
    return std::string(Language::NameOfCode(text));
  } catch (const LanguageError&) {
    return text;
  }
}

// The main window with its Edit menu drawn open below its caption (a pop-up menu is a window of
// its own, so it is painted onto the picture where the screen would show it).
QImage WithEditMenu(MainWindow& window) {
  QImage image = window.grab().toImage();
  auto* bar = window.findChild<QMenuBar*>(QStringLiteral("ActionMainMenuBar1"));
  if (bar == nullptr || bar->actions().size() < 2 || bar->actions()[1]->menu() == nullptr) return image;
  QMenu* menu = bar->actions()[1]->menu();
  menu->ensurePolished();
  menu->adjustSize();
  const QImage open = menu->grab().toImage();
  const QRect caption = bar->actionGeometry(bar->actions()[1]);
  const QPoint at = bar->mapTo(&window, menu->layoutDirection() == Qt::RightToLeft
                                            ? caption.bottomRight() - QPoint(open.width() - 1, 0)
                                            : caption.bottomLeft());
  QPainter p(&image);
  p.drawImage(at + QPoint(0, 1), open);
  return image;
}

// The parameters window with its effect list open, as the user picks an effect.
QImage ParametersWithList(MainWindow& window) {
  window.Sketchit1Click();
  ParametersWindow& parameters = window.ParametersForm();
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QThread::msleep(20);
  }
  const QImage closed = parameters.grab().toImage();
  parameters.Edit1Click();
  QApplication::processEvents();
  const QImage open = parameters.grab().toImage();
  parameters.HideList();
  parameters.hide();
  // The window as it opens above, with its list below.
  QImage both(std::max(closed.width(), open.width()), closed.height() + 8 + open.height(),
              QImage::Format_RGB32);
  both.fill(QColor(44, 44, 44));
  QPainter p(&both);
  p.drawImage(0, 0, closed);
  p.drawImage(0, closed.height() + 8, open);
  p.end();
  return both;
}

// The tour's pictures all have this size, whatever the placement the settings remember.
constexpr QSize kTourSize(1280, 800);

void Settle(int rounds = 5) {
  for (int i = 0; i < rounds; ++i) {
    QApplication::processEvents();
    QThread::msleep(20);
  }
}

// The main window with another of its windows drawn where the screen shows it, as one picture
// of the main window's size.
QImage WithWindowOver(MainWindow& window, QWidget& over, const QImage& overShot) {
  QImage image = window.grab().toImage();
  QPoint at = over.frameGeometry().topLeft() - window.geometry().topLeft();
  // Windows placed without a window manager may lie partly outside: keep them in the picture.
  at.setX(std::clamp(at.x(), 0, std::max(0, image.width() - overShot.width())));
  at.setY(std::clamp(at.y(), 0, std::max(0, image.height() - overShot.height())));
  QPainter p(&image);
  p.fillRect(QRect(at + QPoint(4, 4), overShot.size()), QColor(0, 0, 0, 90));  // its shadow
  p.drawImage(at, overShot);
  return image;
}

// Waits for the run started by "Draw!" to end (at most a minute).
void WaitForRun(MainWindow& window) {
  QEventLoop loop;
  QObject::connect(&window.ParametersForm().Driver(), &ProcessingDriver::RunFinished, &loop, &QEventLoop::quit);
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);
  loop.exec();
}

void SaveLanguageSheet(const QImage& main, const QImage& parameters, const QString& path) {
  QImage sheet(main.width() + 12 + parameters.width(), std::max(main.height(), parameters.height()),
               QImage::Format_RGB32);
  sheet.fill(QColor(44, 44, 44));
  QPainter p(&sheet);
  p.drawImage(0, 0, main);
  p.drawImage(main.width() + 12, 0, parameters);
  p.end();
  sheet.save(path);
}

}  // namespace

void RunScreenshotTour(MainWindow& window, const QString& folder, const QString& language) {
  QDir().mkpath(folder);
  // The tour shows the program; it does not change what the user keeps.
  window.SetSettingsWritable(false);
  const std::string stored = window.Settings().language;
  if (!language.isEmpty()) window.ApplyLanguage(LanguageNamed(language));
  window.showNormal();
  window.resize(kTourSize);
  Settle();

  // The first screen, as a new user meets it.
  {
    MainWindow first;
    first.SetSettingsWritable(false);
    first.SetStyle(window.Style());
    first.setGeometry(window.geometry());
    first.show();
    Settle();
    first.grab().save(QDir(folder).filePath(QStringLiteral("first-screen.png")));
    first.hide();
  }
  window.SetStyle(window.Style());
  window.raise();
  window.FitView();

  // The parameters window with its effect list open over the main window.
  ParametersWindow& parameters = window.ParametersForm();
  window.Sketchit1Click();
  Settle(40);
  const int previews = parameters.PreviewsShown();
  parameters.ListBox1Click(16);  // Painting 6 (oil painting)
  // Its own preview, not the one of the effect before.
  for (int i = 0; i < 400 && parameters.PreviewsShown() == previews; ++i) {
    window.IdleReset();  // the idle moments the event loop would have
    Settle(1);
  }
  Settle(5);
  WithWindowOver(window, parameters, parameters.grab().toImage())
      .save(QDir(folder).filePath(QStringLiteral("parameters.png")));
  parameters.Edit1Click();
  parameters.ListBox1Hover(16);
  Settle(10);
  WithWindowOver(window, parameters, parameters.grab().toImage())
      .save(QDir(folder).filePath(QStringLiteral("parameters-list.png")));
  parameters.HideList();

  // A finished drawing, then each style showing it at the fitted zoom.
  parameters.SpeedButton1Click();
  WaitForRun(window);
  Settle(10);
  parameters.hide();
  window.Flags().ReopenParameters = false;
  window.FitView();
  Shot(window, folder, QStringLiteral("drawing"));
  QList<QImage> styles;
  const std::pair<view::WindowStyle, const char*> order[] = {
      {view::WindowStyle::Charcoal, "style-charcoal"},
      {view::WindowStyle::Obsidian, "style-obsidian"},
      {view::WindowStyle::Slate, "style-slate"}};
  for (const auto& [style, name] : order) {
    window.SetStyle(style);
    window.FitView();
    styles << Shot(window, folder, QString::fromLatin1(name));
  }
  SaveStyleStrip(styles, QDir(folder).filePath(QStringLiteral("styles.png")));

  window.SetStyle(view::WindowStyle::Obsidian);
  // A crop selection being dragged on the source.
  window.CropStart();
  PanelListener& mouse = window;
  const QSize shown = window.Panel(1).PictureRect().size();
  PanelMouse m;
  m.panel = 1;
  m.button = Qt::LeftButton;
  m.onPicture = true;
  m.picture = QPoint(shown.width() / 5, shown.height() / 6);
  mouse.PanelPress(m);
  m.picture = QPoint(shown.width() * 4 / 5, shown.height() * 3 / 4);
  mouse.PanelMove(m);
  Shot(window, folder, QStringLiteral("crop-selection"));
  window.EscapePressed();

  // A run at 63 %, with its reduced menu bar.
  window.Flags().Processing = true;
  window.ShowProgress(0, 100, 1, 1);
  window.ShowProgress(63, 100, 1, 1);
  Shot(window, folder, QStringLiteral("run-in-progress"));
  window.ShowProgress(101, 100, 1, 1);
  window.Flags().Processing = false;

  // The stop marker set to 40 % while idle, and the divider moved to the right.
  window.Status().SetMarkerShown(true);
  window.Status().SetStopPercent(40);
  window.SetDividerOffset(-window.width() / 5);
  window.SetZoom(60);
  Shot(window, folder, QStringLiteral("divider-and-stop-marker"));
  window.SetDividerOffset(0);
  window.Status().SetStopPercent(100);

  // The Edit menu open over the window (a popup is only seen on the screen itself).
  if (auto* bar = window.findChild<QMenuBar*>(QStringLiteral("ActionMainMenuBar1"))) {
    const QList<QAction*> menus = bar->actions();
    if (menus.size() > 1 && menus[1]->menu()) {
      // Drawn into the window's picture, so that it has the size of the others.
      WithEditMenu(window).save(QDir(folder).filePath(QStringLiteral("edit-menu.png")));
    }
  }

  // The source tools' windows, the modification preview showing its sliders' effect.
  window.ModifySourceImage1Click();
  ModifyWindow& modify = window.ModifyForm();
  modify.SetSlider(2, 40);
  modify.SetSlider(3, 30);
  modify.SetSlider(4, 2);
  modify.Proceed();
  modify.grab().save(QDir(folder).filePath(QStringLiteral("modify-window.png")));
  modify.close();
  ResizeWindow& resize = window.ResizeForm();
  resize.Prepare(window.Source().Width(), window.Source().Height());
  resize.show();
  resize.grab().save(QDir(folder).filePath(QStringLiteral("resize-window.png")));
  resize.hide();

  SplashWindow splash;
  splash.SetPercent(80);
  splash.grab().save(QDir(folder).filePath(QStringLiteral("splash.png")));

  if (!language.isEmpty()) {
    window.SetStyle(view::WindowStyle::Charcoal);
    Shot(window, folder, QStringLiteral("unused"));
    QFile::remove(QDir(folder).filePath(QStringLiteral("unused.png")));
    const QImage main = WithEditMenu(window);
    main.save(QDir(folder).filePath(QStringLiteral("menu-open.png")));
    const QImage parameters = ParametersWithList(window);
    parameters.save(QDir(folder).filePath(QStringLiteral("parameters.png")));
    SaveLanguageSheet(main, parameters, QDir(folder).filePath(QStringLiteral("language.png")));
    // The tour leaves the user's own choice of language in place.
    window.ApplyLanguage(stored == "void" ? std::string("English") : stored);
    window.Settings().language = stored;
  }
}

}  // namespace brumeleaf
