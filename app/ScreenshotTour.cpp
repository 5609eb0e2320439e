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

#include "app/MainWindow.h"
#include "app/ModifyWindow.h"
#include "app/ResizeWindow.h"
#include "app/ParametersWindow.h"
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
  const std::string stored = window.Settings().language;
  if (!language.isEmpty()) window.ApplyLanguage(LanguageNamed(language));
  window.SetZoom(window.Zoom());
  QList<QImage> styles;
  const std::pair<view::WindowStyle, const char*> order[] = {
      {view::WindowStyle::Charcoal, "style-charcoal"},
      {view::WindowStyle::Obsidian, "style-obsidian"},
      {view::WindowStyle::Slate, "style-slate"}};
  for (const auto& [style, name] : order) {
    window.SetStyle(style);
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
      menus[1]->menu()->popup(bar->mapToGlobal(bar->actionGeometry(menus[1]).bottomLeft()));
      Shot(window, folder, QStringLiteral("unused"));
      if (QScreen* screen = window.screen()) {
        screen->grabWindow(0).save(QDir(folder).filePath(QStringLiteral("edit-menu.png")));
      }
      menus[1]->menu()->hide();
      QFile::remove(QDir(folder).filePath(QStringLiteral("unused.png")));
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
