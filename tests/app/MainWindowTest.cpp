// The main window driven as a user would: zoom, pan, crop, rotate, swap, open, save, paste and
// the status display of a run.

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>
#include <filesystem>
#include <fstream>
#include <QTest>

#include "../core/LocalHttpServer.h"
#include "AppTests.h"
#include "app/Computation.h"
#include "app/MainWindow.h"
#include "settings/SettingsFile.h"
#include "app/StatusPanel.h"
#include "app/ToolBarPanel.h"
#include "io/JfifDensity.h"
#include "settings/ParameterFile.h"
#include "io/PictureFile.h"

using namespace brumeleaf;

namespace {

// A picture whose every pixel differs from its neighbours, so any misplaced pixel shows.
Bitmap Pattern(int w, int h, int salt) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, MakeColour((x * 7 + salt) & 255, (y * 11) & 255, (x * y + salt) & 255));
  }
  return b;
}

struct Window {
  MainWindow w;
  int questions = 0;
  bool answer = true;
  QStringList messages;
  Window() {
    w.AskOkCancel = [this](const QString&, const QString&) {
      ++questions;
      return answer;
    };
    w.ShowMessage = [this](const QString& text) { messages << text; };
    w.resize(1000, 700);
    w.show();
  }
  PanelListener& Mouse() { return w; }
  PanelMouse At(int panel, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    PanelMouse m;
    m.panel = panel;
    m.picture = QPoint(x, y);
    m.global = QPoint(x, y) + w.Panel(panel).PictureRect().topLeft();
    m.button = button;
    m.onPicture = true;
    return m;
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void numericPadPlusFromHundred() {
    Window t;
    t.w.SetZoom(100);
    QTest::keyPress(&t.w, Qt::Key_Plus, Qt::KeypadModifier);
    QList<int> seen;
    for (int tick = 0; tick < 4; ++tick) {
      t.w.Timer3Timer();
      seen << t.w.Zoom();
    }
    QTest::keyRelease(&t.w, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(seen, (QList<int>{103, 106, 109, 113}));
    // Releasing a keypad key keeps the counter; releasing a zoom icon resets it.
    QCOMPARE(t.w.ZoomCounter(), 5);
    emit t.w.Tools().IconPressed(17, Qt::LeftButton);
    emit t.w.Tools().IconReleased(17, Qt::LeftButton);
    QCOMPARE(t.w.ZoomCounter(), 1);
  }

  void rightClickOnTheZoomIcons() {
    Window t;
    const QList<QPair<int, int>> out = {{105, 5}, {100, 90}, {14, 14}};
    for (const auto& [from, to] : out) {
      t.w.SetZoom(from);
      emit t.w.Tools().IconPressed(15, Qt::RightButton);
      QCOMPARE(t.w.Zoom(), to);
    }
    t.w.SetZoom(950);
    emit t.w.Tools().IconPressed(17, Qt::RightButton);
    QCOMPARE(t.w.Zoom(), 950);
    t.w.SetZoom(900);
    emit t.w.Tools().IconPressed(17, Qt::RightButton);
    QCOMPARE(t.w.Zoom(), 1000);
  }

  void panningIsBoundedAndMovesBothPictures() {
    Window t;
    t.w.SetPictures(Pattern(100, 80, 1), Pattern(60, 50, 2));
    t.w.SetZoom(100);
    t.Mouse().PanelPress(t.At(1, 10, 10));
    PanelMouse far = t.At(1, 10, 10);
    far.global -= QPoint(3000, 3000);
    t.Mouse().PanelMove(far);
    t.Mouse().PanelRelease(far);
    QCOMPARE(t.w.Panel(1).PictureRect().topLeft(), QPoint(0, 0));
    QCOMPARE(t.w.Panel(2).PictureRect().topLeft(), QPoint(0, 0));
    // A picture larger than its panel never shows a gap, whichever way it is dragged.
    t.w.SetPictures(Pattern(3000, 2000, 1), Pattern(3000, 2000, 2));
    t.w.SetZoom(100);
    const QSize box = t.w.Panel(1).size();
    t.Mouse().PanelPress(t.At(1, 10, 10));
    PanelMouse pull = t.At(1, 10, 10);
    pull.global += QPoint(5000, 5000);
    t.Mouse().PanelMove(pull);
    QCOMPARE(t.w.Panel(1).PictureRect().topLeft(), QPoint(0, 0));
    PanelMouse push = pull;
    push.global -= QPoint(20000, 20000);
    t.Mouse().PanelMove(push);
    t.Mouse().PanelRelease(push);
    QCOMPARE(t.w.Panel(1).PictureRect().topLeft(), QPoint(box.width() - 3000, box.height() - 2000));
  }

  void cropIsTheSameWhicheverWayItIsDragged() {
    const Bitmap source = Pattern(200, 150, 3);
    auto crop = [&source](QPoint from, QPoint to) {
      Window t;
      t.w.SetPictures(source, source);
      t.w.SetZoom(100);
      t.w.CropStart();
      t.Mouse().PanelPress(t.At(1, from.x(), from.y()));
      t.Mouse().PanelMove(t.At(1, to.x(), to.y()));
      t.Mouse().PanelRelease(t.At(1, to.x(), to.y()));
      [&] { QCOMPARE(t.questions, 1); }();
      [&] { QVERIFY(!t.w.Flags().Processing); }();
      return t.w.Source();
    };
    const Bitmap forward = crop({30, 20}, {150, 120});
    const Bitmap backward = crop({150, 120}, {30, 20});
    QCOMPARE(forward.Width(), 121);
    QCOMPARE(forward.Height(), 101);
    QVERIFY(forward == backward);
    QCOMPARE(forward.Pixel(0, 0), source.Pixel(30, 20));
    QCOMPARE(forward.Pixel(120, 100), source.Pixel(150, 120));
  }

  void cancelledCropLeavesNoTrace() {
    Window t;
    const Bitmap source = Pattern(200, 150, 4);
    t.w.SetPictures(source, source);
    t.w.SetZoom(100);
    QCoreApplication::processEvents();
    const QImage before = t.w.Panel(1).grab().toImage();
    t.answer = false;
    t.w.CropStart();
    t.Mouse().PanelPress(t.At(1, 20, 20));
    t.Mouse().PanelMove(t.At(1, 120, 90));
    QVERIFY(t.w.Panel(1).grab().toImage() != before);  // the selection is shown while dragging
    t.Mouse().PanelRelease(t.At(1, 120, 90));
    QVERIFY(t.w.Source() == source);
    QVERIFY(!t.w.CropMode());
    QVERIFY(!t.w.Flags().Processing);
    QCOMPARE(t.w.Panel(1).grab().toImage(), before);
  }

  void rotatingLeftFourTimesRestoresBothPictures() {
    Window t;
    const Bitmap source = Pattern(30, 20, 5);
    const Bitmap result = Pattern(30, 20, 6);
    t.w.SetPictures(source, result);
    t.w.Rotateleft1Click();
    t.w.WaitForComputation();
    QCOMPARE(t.w.Source().Width(), 20);
    QCOMPARE(t.w.Source().Height(), 30);
    // Counter-clockwise: the top-right corner comes to the top-left.
    QCOMPARE(t.w.Source().Pixel(0, 0), source.Pixel(29, 0));
    for (int turn = 0; turn < 3; ++turn) {
      t.w.Rotateleft1Click();
      t.w.WaitForComputation();
    }
    QVERIFY(t.w.Source() == source);
    QVERIFY(t.w.Result() == result);
    t.w.Rotateright1Click();
    t.w.WaitForComputation();
    QCOMPARE(t.w.Source().Pixel(0, 0), source.Pixel(0, 19));
  }

  void swapThenUndoRestoresThePairInTwoSteps() {
    Window t;
    QVERIFY(!t.w.UndoEnabled());
    QVERIFY(!t.w.RedoEnabled());
    const Bitmap a = Pattern(40, 30, 1);
    const Bitmap b = Pattern(40, 30, 2);
    t.w.PastePicture(a);
    t.w.SetResult(b, "Pencil sketch");
    QVERIFY(t.w.UndoEnabled());
    t.w.Swap1Click();
    QVERIFY(t.w.Source() == b && t.w.Result() == a);
    t.w.Annuler1Click();
    QVERIFY(t.w.Source() == b && t.w.Result() == b);
    QCOMPARE(t.w.Status().Status(), QStringLiteral("Pencil sketch   "));
    t.w.Annuler1Click();
    QVERIFY(t.w.Source() == a && t.w.Result() == b);
    QVERIFY(t.w.RedoEnabled());
    // Redo brings the swapped pair back, step by step.
    t.w.Rtablir1Click();
    t.w.Rtablir1Click();
    QVERIFY(t.w.Source() == b && t.w.Result() == a);
    QVERIFY(!t.w.RedoEnabled());
    // A new recording ends what could be redone.
    t.w.Annuler1Click();
    t.w.SetResult(Pattern(40, 30, 3), "Painting");
    QVERIFY(!t.w.RedoEnabled());
  }

  void undoAfterOneResultRestoresItAndDisablesUndo() {
    Window t;
    const Bitmap first = t.w.Result();
    t.w.SetResult(Pattern(50, 50, 4), "Sketch");
    QVERIFY(t.w.UndoEnabled());
    t.w.Annuler1Click();
    QVERIFY(t.w.Result() == first);
    QVERIFY(!t.w.UndoEnabled());
    QCOMPARE(t.w.Status().Title(), QStringLiteral("Brumeleaf image - 640x480 - 300 dpi"));
  }

  void rotationAddsNoHistoryStep() {
    Window t;
    t.w.PastePicture(Pattern(30, 20, 5));
    const int count = t.w.HistoryCount();
    t.w.Rotateleft1Click();
    t.w.WaitForComputation();
    QCOMPARE(t.w.HistoryCount(), count);
    t.w.Invert1Execute();
    t.w.WaitForComputation();
    QCOMPARE(t.w.HistoryCount(), count + 2);
  }

  void swapExchangesThePictures() {
    Window t;
    const Bitmap source = Pattern(30, 20, 7);
    const Bitmap result = Pattern(25, 40, 8);
    t.w.SetPictures(source, result);
    t.w.SetZoom(150);
    t.w.Swap1Click();
    QVERIFY(t.w.Source() == result);
    QVERIFY(t.w.Result() == source);
    QCOMPARE(t.w.Zoom(), 150);
    QVERIFY(t.w.Status().Title().contains(QStringLiteral("25x40")));
  }

  void invertTurnsBothPicturesNegative() {
    Window t;
    t.w.SetPictures(Pattern(10, 10, 1), Pattern(10, 10, 2));
    const Colour before = t.w.Result().Pixel(3, 4);
    t.w.Invert1Execute();
    t.w.WaitForComputation();
    QCOMPARE(t.w.Result().Pixel(3, 4), before ^ 0xFFFFFFu);
  }

  void openAndSaveKeepTheDensity() {
    QTemporaryDir dir;
    const std::string in = dir.filePath(QStringLiteral("beach.jpg")).toStdString();
    SaveOptions options;
    options.dpi = 150;
    SavePicture(Pattern(64, 48, 9), in, options);
    Window t;
    QVERIFY(t.w.OpenPictureFile(QString::fromStdString(in)));
    QCOMPARE(t.w.Density(), 150);
    QCOMPARE(t.w.Status().Title(), QStringLiteral("beach.jpg - 64x48 - 150 dpi"));
    QVERIFY(t.w.SaveResultAs(dir.filePath(QStringLiteral("photo.jpeg")), SaveFormat::Jpeg));
    const std::string out = dir.filePath(QStringLiteral("photo.jpeg")).toStdString();
    QCOMPARE(ReadJpegDensity(out), 150);
    PictureInfo info;
    const Bitmap back = LoadPicture(out, &info);
    QCOMPARE(back.Width(), 64);
    QCOMPARE(info.dpi, 150);
    // The overwrite question: Cancel writes nothing.
    t.w.SetPictures(Pattern(8, 8, 1), Pattern(8, 8, 1));
    t.answer = false;
    QVERIFY(!t.w.SaveResultAs(QString::fromStdString(out), SaveFormat::Jpeg));
    QCOMPARE(t.questions, 1);
    QCOMPARE(LoadPicture(out).Width(), 64);
    // PNG gets its extension; BMP keeps the name as typed.
    QVERIFY(t.w.SaveResultAs(dir.filePath(QStringLiteral("copy")), SaveFormat::Png));
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("copy.png"))));
  }

  void aBrokenFileChangesNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.jpg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xD8 not really a picture");
    file.close();
    Window t;
    const Bitmap source = Pattern(12, 12, 1);
    t.w.SetPictures(source, source);
    QVERIFY(!t.w.OpenPictureFile(path));
    QCOMPARE(t.messages.size(), 1);
    QVERIFY(t.w.Source() == source);
  }

  void startupArgumentIgnoresTheCaseOfTheExtension() {
    QTemporaryDir dir;
    const std::string png = dir.filePath(QStringLiteral("SHOT.PNG")).toStdString();
    SaveOptions options;
    const std::vector<std::uint8_t> bytes = EncodePicture(Pattern(33, 21, 2), PictureFormat::Png, options);
    QFile file(QString::fromStdString(png));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    file.close();
    Window t;
    t.w.LoadImageatStartup(QString::fromStdString(png));
    QCOMPARE(t.w.Source().Width(), 33);
    QVERIFY(t.w.Status().Title().startsWith(QString::fromStdString(png)));
    t.w.LoadImageatStartup(dir.filePath(QStringLiteral("missing.bfp")));
    QCOMPARE(t.messages, QStringList{QStringLiteral("File not found")});
    // A parameter file named on the command line selects its entry and values.
    ParameterModel chosen;
    chosen.SelectEntry(7);
    const std::string text = FormatParameterFile(CaptureParameters(chosen.Settings()));
    const QString bfp = dir.filePath(QStringLiteral("Mine.BFP"));
    QFile params(bfp);
    QVERIFY(params.open(QIODevice::WriteOnly));
    params.write(text.data(), static_cast<qint64>(text.size()));
    params.close();
    t.w.LoadImageatStartup(bfp);
    QCOMPARE(t.w.Parameters().ListIndex(), 7);
    QCOMPARE(t.messages.size(), 1);
  }

  void droppedFileLoadsUnderTheDefaultName() {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("dropped.bmp")).toStdString();
    SavePicture(Pattern(21, 13, 6), path);
    Window t;
    t.w.DropFile(QString::fromStdString(path));
    QCOMPARE(t.w.Source().Width(), 21);
    QVERIFY(t.w.Result() == t.w.Source());
    QCOMPARE(t.w.Status().Title(), QStringLiteral("Brumeleaf image - 21x13 - 300 dpi"));
    // The first picture replaces the blank start sheet in the history; later ones add steps.
    const int count = t.w.HistoryCount();
    QCOMPARE(count, 2);
    t.w.DropFile(QString::fromStdString(path));
    QCOMPARE(t.w.HistoryCount(), count + 2);
    // A file of any other kind loads nothing.
    t.w.DropFile(dir.filePath(QStringLiteral("notes.txt")));
    QCOMPARE(t.w.Source().Width(), 21);
    QVERIFY(t.messages.isEmpty());
  }

  void wallpaperIsWrittenIntoTheDocumentsFolder() {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldDocuments = qgetenv("XDG_DOCUMENTS_DIR");
    qputenv("XDG_DOCUMENTS_DIR", home.filePath(QStringLiteral("Documents")).toUtf8());
    qputenv("HOME", home.path().toUtf8());
    Window t;
    t.w.SetResult(Pattern(16, 9, 2), "Sketch");
    t.w.EnregistrerenfonddcranWindows1Click();
    qputenv("HOME", oldHome);
    if (oldDocuments.isEmpty()) qunsetenv("XDG_DOCUMENTS_DIR");
    else qputenv("XDG_DOCUMENTS_DIR", oldDocuments);
    const QString written = home.filePath(QStringLiteral("Documents/Brumeleaf.bmp"));
    // The user is told where the picture went.
    QCOMPARE(t.messages.size(), 1);
    QVERIFY2(t.messages[0].contains(written), qPrintable(t.messages[0]));
    QVERIFY(QFileInfo::exists(written));
    QVERIFY(LoadPicture(written.toStdString()) == t.w.Result());
  }

  void pastingAPictureOfTheResultsSizeKeepsTheResult() {
    Window t;
    const Bitmap result = Pattern(40, 30, 1);
    t.w.SetPictures(Pattern(40, 30, 2), result);
    const Bitmap pasted = Pattern(40, 30, 3);
    t.w.PastePicture(pasted);
    QVERIFY(t.w.Source() == pasted);
    QVERIFY(t.w.Result() == result);
    QCOMPARE(t.w.PictureName(), std::string("Brumeleaf image"));
    const Bitmap bigger = Pattern(41, 30, 4);
    t.w.PastePicture(bigger);
    QVERIFY(t.w.Result() == bigger);
  }

  void captionsFollowTheLanguageTable() {
    Window t;
    QCOMPARE(t.w.Action(QStringLiteral("Annuler1"))->text(), QStringLiteral("Undo"));
    QCOMPARE(t.w.Action(QStringLiteral("Swap1"))->text(), QStringLiteral("Swap left and right images"));
    QCOMPARE(t.w.Action(QStringLiteral("Swap1"))->shortcut(), QKeySequence(Qt::Key_F12));
    QCOMPARE(t.w.Action(QStringLiteral("Rtablir1"))->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
    QVERIFY(t.w.Action(QStringLiteral("Sketchit1"))->isEnabled());
    QVERIFY(t.w.Action(QStringLiteral("Print1"))->isEnabled());
    QVERIFY(t.w.Action(QStringLiteral("ExportPdf1"))->isEnabled());
    t.w.ApplyLanguage("Klingon");
    QCOMPARE(t.w.Settings().language, std::string("English"));
    QCOMPARE(t.w.Action(QStringLiteral("Rtablir1"))->text(), QStringLiteral("Redo"));
  }

  void fullScreenViewClosesAndIgnoresTheClosingClick() {
    Window t;
    t.w.SetPictures(Pattern(64, 32, 1), Pattern(64, 32, 2));
    bool shown = false;
    QTimer::singleShot(100, [&shown] {
      if (QWidget* view = QApplication::activeModalWidget()) {
        shown = view->objectName() == QLatin1String("Form7");
        QTest::keyClick(view, Qt::Key_Space);
      }
    });
    t.Mouse().PanelDoubleClick(t.At(2, 5, 5));
    QVERIFY(shown);
    // Presses right after the view closes do not start a pan.
    t.Mouse().PanelPress(t.At(1, 5, 5));
    PanelMouse moved = t.At(1, 5, 5);
    moved.global += QPoint(30, 30);
    const QPoint before = t.w.Panel(1).PictureRect().topLeft();
    t.Mouse().PanelMove(moved);
    QCOMPARE(t.w.Panel(1).PictureRect().topLeft(), before);
    QTest::qWait(400);
    t.Mouse().PanelPress(t.At(1, 5, 5));
    t.Mouse().PanelRelease(t.At(1, 5, 5));
  }

  void aRunOnTheWorkerCanBeStoppedFromTheWindow() {
    Window t;
    t.w.Flags().Processing = true;
    std::atomic<int> rows{0};
    bool finished = false;
    // A long computation: 10000 rows, each reported, stopping when told to.
    t.w.Runner().Start(ParameterSnapshot{}, false,
                       [&rows](RunContext& ctx) {
                         ctx.ShowProgress(0, 10000, 1, 1);
                         for (int y = 0; y < 10000 && !ctx.StopRequested(); ++y) {
                           QThread::usleep(200);
                           rows = y + 1;
                           ctx.ShowProgress(y, 10000, 1, 1);
                         }
                         ctx.ShowProgress(101, 100, 1, 1);
                       },
                       [&finished](std::exception_ptr) { finished = true; });
    // The window keeps handling events while the worker runs.
    QTRY_VERIFY_WITH_TIMEOUT(t.w.Status().Running(), 2000);
    QVERIFY(!finished);
    // Escape asks; while the question is open the worker waits at its next report.
    int rowsWhileAsking = -1;
    t.w.AskOkCancel = [&](const QString&, const QString&) {
      QThread::msleep(50);
      rowsWhileAsking = rows;
      QThread::msleep(50);
      return rows == rowsWhileAsking;  // OK only when the run stood still
    };
    QTest::keyClick(&t.w, Qt::Key_Escape);
    QVERIFY(rowsWhileAsking >= 0);
    t.w.WaitForComputation();
    QVERIFY(finished);
    QVERIFY(rows < 10000);  // stopped part way
    QVERIFY(!t.w.Status().Running());
  }

  void closingWritesTheSettingsBesideTheProgram() {
    const std::filesystem::path file =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "Brumeleaf.ini";
    std::filesystem::remove(file);
    {
      Window t;
      t.w.SetStyle(view::WindowStyle::Slate);
      t.w.Settings().openFolder = "/srv/pictures";
      t.w.setGeometry(40, 50, 900, 650);
      t.w.close();
    }
    AppSettings read;
    QCOMPARE(LoadSettingsFile(file, read), SettingsReadResult::Complete);
    std::filesystem::remove(file);
    QCOMPARE(read.style, 2);
    QCOMPARE(read.openFolder, std::string("/srv/pictures"));
    QCOMPARE(read.placement.width, 900);
    QCOMPARE(read.placement.height, 650);
  }

  void hostileWindowNumbersInTheSettingsGiveAWindowOnTheScreen() {
    const std::filesystem::path file =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "Brumeleaf.ini";
    AppSettings saved;
    saved.updateCheck = false;
    saved.language = "English";
    for (const WindowPlacement& hostile :
         {WindowPlacement{0, 0, 2147483647, 2147483647}, WindowPlacement{10, 10, 2147483647, 2147483647},
          WindowPlacement{2147483647, 2147483647, 2147483647, 2147483647},
          WindowPlacement{-2147483647 - 1, 5, 900, 650}}) {
      std::ofstream(file, std::ios::binary) << FormatSettings(saved, hostile);
      {
        Window t;
        t.w.FirstIdle();
        QCoreApplication::processEvents();
        const QRect desktop = t.w.screen()->availableGeometry();
        const QRect placed = t.w.geometry();
        QVERIFY2(desktop.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(placed.left())
                                                          .arg(placed.top()).arg(placed.width()).arg(placed.height())));
        QVERIFY(placed.width() > 0 && placed.height() > 0);
        t.w.close();
      }
      AppSettings read;
      QCOMPARE(LoadSettingsFile(file, read), SettingsReadResult::Complete);
      QVERIFY(read.placementRead);
      QVERIFY(read.placement.left > -100000 && read.placement.width < 100000);
    }
    std::filesystem::remove(file);
  }

  void downloadsKeepTheWindowResponsiveAndEndWithAMessage() {
    const std::vector<std::uint8_t> png = EncodePicture(Pattern(23, 11, 3), PictureFormat::Png);
    testing::LocalServer server([&png](int socket, const std::string& path, const std::atomic<bool>&) {
      if (path == "/slow.png") {
        // Answers after a while: the window must go on handling events meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(1200));
        testing::LocalServer::Send(socket, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(png.size()) +
                                               "\r\nConnection: close\r\n\r\n" + std::string(png.begin(), png.end()));
      } else {
        testing::LocalServer::Send(socket, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
      }
    });
    Window t;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(50);
    t.w.StartDownload(QString::fromStdString(server.Address("/slow.png")));
    QTRY_COMPARE_WITH_TIMEOUT(t.w.Source().Width(), 23, 15000);
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));  // events went on during the wait
    QVERIFY(t.messages.isEmpty());
    t.w.StartDownload(QString::fromStdString(server.Address("/gone.jpg")));
    QTRY_COMPARE_WITH_TIMEOUT(t.messages.size(), 1, 15000);
    QVERIFY2(t.messages[0].contains(QStringLiteral("404")), qPrintable(t.messages[0]));
    QCOMPARE(t.w.Source().Width(), 23);  // the picture shown stays
  }

  void updateCheckWithoutTheServerIsSilentUnlessAsked() {
    Window t;
    t.w.Check4Update(false);
    QTRY_VERIFY_WITH_TIMEOUT(!t.w.UpdateCheckRunning(), 15000);
    QTest::qWait(50);
    QVERIFY(t.messages.isEmpty());
    t.w.Check4Update(true);
    QTRY_COMPARE_WITH_TIMEOUT(t.messages.size(), 1, 15000);
    QCOMPARE(t.questions, 0);
  }

  void progressDisplay() {
    Window t;
    t.w.Flags().Processing = true;
    t.w.ShowProgress(0, 200, 1, 1);
    QVERIFY(t.w.Status().Running());
    QCOMPARE(t.w.Status().PercentText(), QStringLiteral("0%"));
    t.w.ShowProgress(199, 200, 1, 1);
    QCOMPARE(t.w.Status().PercentText(), QStringLiteral("100%"));
    t.w.ShowProgress(50, 100, 2, 3);
    QCOMPARE(t.w.Status().PercentText(), QStringLiteral("50%"));
    t.w.ShowProgress(101, 100, 1, 1);
    QVERIFY(!t.w.Status().Running());
    // A silent run changes nothing; so does a run that is not a processing run.
    t.w.Flags().SilentRun = true;
    t.w.ShowProgress(0, 100, 1, 1);
    QVERIFY(!t.w.Status().Running());
    t.w.Flags().SilentRun = false;
    t.w.Flags().Processing = false;
    t.w.ShowProgress(0, 100, 1, 1);
    QVERIFY(!t.w.Status().Running());
  }

  void stopAtPercentage() {
    Window t;
    t.w.Flags().Processing = true;
    t.w.Status().SetStopPercent(40);
    t.answer = false;
    t.w.ShowProgress(0, 100, 1, 1);
    t.w.ShowProgress(39, 100, 1, 1);
    QCOMPARE(t.questions, 0);
    t.w.ShowProgress(40, 100, 1, 1);
    QCOMPARE(t.questions, 1);
    // Cancel: the run goes on and the stop percentage returns to 100.
    QVERIFY(!t.w.Flags().StopRequested);
    QCOMPARE(t.w.Status().StopPercent(), 100);
    t.w.ShowProgress(99, 100, 1, 1);
    QCOMPARE(t.questions, 1);
    // Reports that arrive while the question is open do not ask a second time.
    t.w.Status().SetStopPercent(40);
    t.w.AskOkCancel = [&t](const QString&, const QString&) {
      ++t.questions;
      t.w.ShowProgress(70, 100, 1, 1);
      return false;
    };
    t.w.ShowProgress(50, 100, 1, 1);
    QCOMPARE(t.questions, 2);
    t.w.AskOkCancel = [&t](const QString&, const QString&) {
      ++t.questions;
      return t.answer;
    };
    t.questions = 1;
    // OK: the run is told to stop and the display ends.
    t.w.Status().SetStopPercent(40);
    t.answer = true;
    t.w.ShowProgress(60, 100, 1, 1);
    QCOMPARE(t.questions, 2);
    QVERIFY(t.w.Flags().StopRequested);
    QVERIFY(t.w.Flags().UserCancelled);
    QVERIFY(!t.w.Status().Running());
  }
};

BRUMELEAF_APP_TEST(MainWindowTest)
#include "MainWindowTest.moc"
