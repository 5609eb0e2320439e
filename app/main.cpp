// The desktop program: creates the windows behind a splash, then runs the event loop. The
// first idle moment reads the settings, applies the style and placement and takes the
// command-line argument.

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QFileInfo>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>
#include <typeinfo>

#include "app/MainWindow.h"
#include "app/ScreenshotTour.h"
#include "app/SplashWindow.h"
#include "app/UpdateCheck.h"
#include "resources/AppIcon.h"

namespace {

// The icon every window shows, drawn at the sizes window managers and task bars pick from;
// the installed icon files are drawn by the same code.
QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(brumeleaf::AppIconImage(size)));
  return icon;
}

// Menus read best at 10 points on a 96-dpi screen and a little smaller on denser ones.
int MenuPointSize(double dpi) {
  if (dpi <= 96.5) return 10;
  if (dpi <= 120.5) return 9;
  return 7;
}

// `--tour FOLDER`: pictures of the window's states after start-up, then quit.
QString TourFolder(QStringList& arguments) {
  const int i = static_cast<int>(arguments.indexOf(QStringLiteral("--tour")));
  if (i < 0 || i + 1 >= arguments.size()) return {};
  const QString path = arguments[i + 1];
  arguments.remove(i, 2);
  return path;
}

// `--language CODE`: the language the tour is taken in ("de", "ar", ...).
QString TourLanguage(QStringList& arguments) {
  const int i = static_cast<int>(arguments.indexOf(QStringLiteral("--language")));
  if (i < 0 || i + 1 >= arguments.size()) return {};
  const QString code = arguments[i + 1];
  arguments.remove(i, 2);
  return code;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brumeleaf"));
  QApplication::setApplicationVersion(QString::fromLatin1(brumeleaf::kProgramVersion));
  // Ties the windows to the installed menu entry (its name and icon on Wayland desktops).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.brumeleaf.Brumeleaf"));
  QApplication::setWindowIcon(ProgramIcon());
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  const QString screenshot = TourFolder(arguments);
  const QString tourLanguage = TourLanguage(arguments);
  const bool silent = arguments.value(0) == QLatin1String("-silent");
  if (!screenshot.isEmpty()) {
    // The tour pictures a photograph: without one there is nothing to show.
    const QString input = arguments.value(0);
    if (input.isEmpty() || !QFileInfo(input).isFile()) {
      std::fprintf(stderr, "brumeleaf --tour: %s\n",
                   input.isEmpty() ? "name a picture to take the tour with (brumeleaf PICTURE --tour FOLDER)"
                                   : qPrintable(input + QStringLiteral(": no such picture")));
      return 1;
    }
  }

  brumeleaf::SplashWindow splash;
  if (!silent && screenshot.isEmpty()) splash.show();
  splash.SetPercent(0);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QFont menuFont = QApplication::font("QMenu");
    menuFont.setPointSize(MenuPointSize(screen->logicalDotsPerInch()));
    QApplication::setFont(menuFont, "QMenu");
    QApplication::setFont(menuFont, "QMenuBar");
  }

  std::unique_ptr<brumeleaf::MainWindow> form1;
  try {
    form1 = std::make_unique<brumeleaf::MainWindow>(arguments);
  } catch (const std::exception& error) {
    splash.SetMessage(QStringLiteral("Error creating Form1\nException class name = ") +
                      QString::fromLatin1(typeid(error).name()) +
                      QStringLiteral("\nException message = ") + QString::fromUtf8(error.what()));
    QThread::msleep(3000);
    return 1;
  }
  splash.SetPercent(100);
  QThread::msleep(200);
  if (splash.isVisible()) splash.FadeOut();

  form1->ShowAtStart();
  QTimer::singleShot(0, form1.get(), [&form1] { form1->FirstIdle(); });
  if (!screenshot.isEmpty()) {
    QTimer::singleShot(1500, form1.get(), [&form1, screenshot, tourLanguage] {
      brumeleaf::RunScreenshotTour(*form1, screenshot, tourLanguage);
      // Ends at once: no closing of the windows, so no question about the tour's drawing and
      // no settings written.
      QApplication::exit(0);
    });
  }
  return QApplication::exec();
}
