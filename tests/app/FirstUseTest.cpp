// What a first-time user runs into: the keyboard after typing a zoom, sliders clicked in their
// groove, the preview's zoom slider dragged, saving a drawing in progress, a silent start, the
// parameters window's menu and its coming back after a stop, an open or a failed run.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QAction>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <fstream>

#include "AppTests.h"
#include "MainWindowHarness.h"
#include "settings/SettingsFile.h"
#include "app/Computation.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/ProcessingDriver.h"
#include "app/StatusPanel.h"
#include "app/ToolBarPanel.h"
#include "io/PictureFile.h"
#include "pipeline/Finalize.h"

using namespace brumeleaf;

namespace {

Bitmap Photo(int w, int h) { return test::DetailedPhoto(w, h); }

// The main window shown and activated, its parameters window opened on demand.
struct Program : test::MainWindowHarness {
  using MainWindowHarness::MainWindowHarness;
  void Show() {
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
  }
  void OpenParameters() {
    w.Sketchit1Click();
    QTRY_VERIFY_WITH_TIMEOUT(P().PreviewsShown() > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!P().PreviewRunning() && !P().PreviewTimer()->isActive(), 5000);
  }
};

// A key as the user types it: to whatever has the keyboard focus.
void TypeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* target = QApplication::focusWidget();
  QTest::keyClick(target != nullptr ? target : &window, key, modifiers);
}

// Mouse buttons through the window system, so that the application sees the button held.
void Press(QWidget* widget, QPoint at) {
  QTest::mousePress(widget->window()->windowHandle(), Qt::LeftButton, {}, widget->mapTo(widget->window(), at));
}
void MoveTo(QWidget* widget, QPoint at) {
  QTest::mouseMove(widget->window()->windowHandle(), widget->mapTo(widget->window(), at));
}
void Release(QWidget* widget, QPoint at) {
  QTest::mouseRelease(widget->window()->windowHandle(), Qt::LeftButton, {}, widget->mapTo(widget->window(), at));
}

QRect HandleOf(QSlider* slider) {
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.upsideDown = slider->invertedAppearance() != (slider->orientation() == Qt::Vertical);
  option.rect = slider->rect();
  return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

}  // namespace

class FirstUseTest : public QObject {
  Q_OBJECT

 private slots:
  // Fault 1: the zoom box hands the keyboard back, and says why it refuses a value.
  void typedZoomGivesTheKeyboardBack() {
    Program t;
    t.Show();
    t.w.SetPictures(Photo(120, 80), Photo(120, 80));
    emit t.w.Tools().ZoomLabelClicked();
    QLineEdit* box = t.w.Tools().ZoomEdit();
    QVERIFY(box->isVisible());
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("2000"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(box->isVisible());  // refused: the box stays, marked, with the reason
    QVERIFY(t.w.Tools().ZoomRefused());
    QVERIFY(!box->toolTip().isEmpty());
    QCOMPARE(t.w.Zoom(), 100);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("50%"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(box->isVisible());
    QCOMPARE(t.w.Zoom(), 100);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("50"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(t.w.Zoom(), 50);
    QVERIFY(!box->isVisible());
    QVERIFY(!t.w.Tools().ZoomRefused());
    // R, L and Ctrl+Z reach the window at once.
    TypeKey(t.w, Qt::Key_R);
    t.w.WaitForComputation();
    QCOMPARE(t.w.Source().Width(), 80);
    TypeKey(t.w, Qt::Key_L);
    t.w.WaitForComputation();
    QCOMPARE(t.w.Source().Width(), 120);
    // Escape in the box also gives the keyboard back.
    emit t.w.Tools().ZoomLabelClicked();
    QVERIFY(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(!box->isVisible());
    TypeKey(t.w, Qt::Key_R);
    t.w.WaitForComputation();
    QCOMPARE(t.w.Source().Width(), 80);
  }
  // Fault 2: a click, or a held press, in a slider's groove refreshes the preview when the
  // button is released.
  void clickInASlidersGrooveRefreshesThePreview() {
    Program t;
    t.Show();
    t.w.SetPictures(Photo(400, 300), Photo(400, 300));
    t.OpenParameters();
    QSlider* slider = t.P().TrackBar(1);
    const int before = slider->value();
    const int started = t.P().PreviewsStarted();
    const QPoint groove(slider->width() - 4, slider->height() / 2);
    QVERIFY(!HandleOf(slider).contains(groove));
    Press(slider, groove);
    QTest::qWait(900);  // held: the value moves on, the preview waits for the release
    QVERIFY(slider->value() > before);
    QCOMPARE(t.P().PreviewsStarted(), started);
    Release(slider, groove);
    QTRY_VERIFY_WITH_TIMEOUT(t.P().PreviewsStarted() > started, 2000);
    QCOMPARE(t.P().Model().Slider(1).position, slider->value());
  }

  // Fault 3: dragging the preview's zoom slider ends with a computed preview, not the raw crop.
  void draggingThePreviewZoomComputesThePreview() {
    Program t;
    t.Show();
    t.w.SetPictures(Photo(900, 700), Photo(900, 700));
    t.OpenParameters();
    QSlider* zoom = t.P().findChild<QSlider*>(QStringLiteral("TrackBar6"));
    QVERIFY(zoom != nullptr);
    const int started = t.P().PreviewsStarted();
    const int shown = t.P().PreviewsShown();
    QPoint at = HandleOf(zoom).center();
    Press(zoom, at);
    for (int i = 0; i < 8; ++i) {
      at.ry() += 8;
      MoveTo(zoom, at);
      QTest::qWait(30);
    }
    QTest::qWait(900);  // longer than the longest delay: no preview while the button is held
    QCOMPARE(t.P().PreviewsStarted(), started);
    Release(zoom, at);
    QVERIFY(t.P().Crop().zoom < 100);
    QTRY_VERIFY_WITH_TIMEOUT(t.P().PreviewsShown() > shown, 5000);
  }
  // Fault 4: the right panel shows the run's drawing as it grows, and "Save in progress" saves
  // that drawing, not the picture the panel held before the run.
  void saveInProgressSavesTheDrawingSoFar() {
    Program t;
    t.Show();
    const Bitmap source = Photo(900, 700);
    Bitmap before(900, 700);
    before.Fill(MakeColour(255, 255, 255));
    t.w.SetPictures(source, before);
    t.P().ListBox1Click(11);  // Painting 1 (watercolor)
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("halfway.png"));
    t.w.ChooseSaveName = [&path](const QString&, const QString&, const QStringList&, int* filter) {
      *filter = 1;  // PNG
      return path;
    };
    Bitmap shown;
    t.w.AskOkCancel = [&](const QString&, const QString&) {
      // The run waits at the marker's percentage: what it has drawn is on the screen.
      ++t.questions;
      if (t.w.PartialPicture() != nullptr) shown = *t.w.PartialPicture();
      t.w.Saveinprogress1Click();
      return false;  // let it finish
    };
    t.w.Status().SetStopPercent(85);
    t.P().SpeedButton1Click();
    QVERIFY(t.WaitRun());
    QCOMPARE(t.questions, 1);
    QVERIFY(!shown.Empty());
    QVERIFY(!(shown == before));
    QVERIFY(!(shown == t.w.Result()));  // part way, not the end
    const Bitmap saved = LoadPicture(path.toStdString());
    QVERIFY(saved == shown);
    QVERIFY(t.w.PartialPicture() == nullptr);  // the finished drawing is shown again
  }
  // Fault 5: "-silent" starts minimised, and stays so through the start-up steps, even when the
  // settings ask for a maximised window.
  void silentStartsMinimised() {
    const std::filesystem::path file =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "Brumeleaf.ini";
    AppSettings saved;
    saved.updateCheck = false;
    saved.language = "English";
    for (const WindowPlacement& placement : {WindowPlacement{0, 0, -1, -1}, WindowPlacement{30, 40, 900, 650}}) {
      std::ofstream(file, std::ios::binary) << FormatSettings(saved, placement);
      Program t({QStringLiteral("-silent")});
      t.w.ShowAtStart();
      QVERIFY(t.w.isMinimized());
      t.w.FirstIdle();
      QTest::qWait(200);
      QVERIFY(t.w.isMinimized());
      QVERIFY(!t.P().isVisible());
      Program normal;
      normal.w.ShowAtStart();
      QVERIFY(normal.w.isVisible() && !normal.w.isMinimized());
    }
    std::filesystem::remove(file);
  }
  // Fault 6: Escape closes the parameters window's menu (and the arrows move through it).
  void escapeClosesTheParametersMenu() {
    Program t;
    t.Show();
    t.OpenParameters();
    auto* bar = t.P().findChild<QMenuBar*>(QStringLiteral("MainMenu1"));
    QVERIFY(bar != nullptr);
    QMenu* menu = bar->actions().first()->menu();
    menu->popup(bar->mapToGlobal(bar->actionGeometry(bar->actions().first()).bottomLeft()));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::keyClick(menu, Qt::Key_Down);
    QVERIFY(menu->activeAction() != nullptr);
    QVERIFY(!t.P().ListShown());  // the arrow went to the menu, not to the effect list
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), 1000);
  }
  // Fault 7: the parameters window comes back after a stop the user confirmed (at the stop
  // marker, or with Escape) and after a run that could not be made.
  void parametersComeBackAfterAStopOrAFailure() {
    Program t;
    t.Show();
    t.w.SetPictures(Photo(900, 700), Photo(900, 700));
    t.P().ListBox1Click(1);
    t.w.Status().SetStopPercent(30);
    t.P().SpeedButton1Click();
    QVERIFY(!t.P().isVisible());
    QVERIFY(t.WaitRun());
    QCOMPARE(t.questions, 1);
    QTRY_VERIFY_WITH_TIMEOUT(t.P().isVisible(), 3000);

    t.w.Status().SetStopPercent(100);
    t.P().SpeedButton1Click();
    QVERIFY(!t.P().isVisible());
    QMetaObject::Connection escape = QObject::connect(
        &t.w.Runner(), &Computation::Progress, &t.w, [&t, &escape](int step, int, int, int) {
          if (step <= 0) return;
          QObject::disconnect(escape);
          t.w.EscapePressed();
        });
    QVERIFY(t.WaitRun());
    QCOMPARE(t.questions, 2);
    QTRY_VERIFY_WITH_TIMEOUT(t.P().isVisible(), 3000);

    // "Adding a frame is not available yet.": the message, then the window to choose again.
    t.P().Driver().UseFinishingSteps(FinishingSteps{});
    t.P().Model().SetAddFrame(true);
    t.P().SpeedButton1Click();
    QVERIFY(t.WaitRun());
    QCOMPARE(t.messages.size(), 1);
    QVERIFY(t.messages[0].contains(QStringLiteral("not available yet")));
    QTRY_VERIFY_WITH_TIMEOUT(t.P().isVisible(), 3000);
  }
  // Fault 8: after Open the parameters window is there to choose an effect.
  void openShowsTheParametersWindow() {
    Program t;
    t.Show();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("beach.png"));
    SavePicture(Photo(123, 77), path.toStdString());
    t.w.ChooseOpenName = [&path](const QString&, const QString&, const QString&) { return path; };
    QVERIFY(!t.P().isVisible());
    t.w.Openpicture1Click();
    QCOMPARE(t.w.Source().Width(), 123);
    QVERIFY(t.P().isVisible());
  }
  // A picture named on the command line is fitted like an opened one and offers its own name
  // for saving; saving keeps the zoom; "photo.jpeg" with the JPEG filter is saved as such.
  void commandLinePictureIsFittedAndSavedUnderItsName() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("holiday.png"));
    SavePicture(Photo(2400, 1800), path.toStdString());
    Program t({path});
    t.Show();
    t.w.FirstIdle();
    QCOMPARE(t.w.Source().Width(), 2400);
    QTRY_VERIFY_WITH_TIMEOUT(t.w.Zoom() < 100, 2000);
    const QRect shown = t.w.Panel(1).PictureRect();
    QVERIFY(shown.width() <= t.w.Panel(1).width() && shown.height() <= t.w.Panel(1).height());
    const int fitted = t.w.Zoom();
    QString proposed;
    const QString typed = folder.filePath(QStringLiteral("photo.jpeg"));
    t.w.ChooseSaveName = [&](const QString&, const QString& offered, const QStringList&, int* filter) {
      proposed = offered;
      *filter = 0;  // JPEG
      return typed;
    };
    t.w.Savepicture1Click();
    QVERIFY2(proposed.endsWith(QStringLiteral("/holiday_Brumeleaf.jpg")), qPrintable(proposed));
    QVERIFY(QFileInfo::exists(typed));
    QVERIFY(!QFileInfo::exists(typed + QStringLiteral(".jpg")));
    QCOMPARE(t.w.Zoom(), fitted);
  }

  void rotatingUpdatesTheSizeInTheStatusLine() {
    Program t;
    t.Show();
    t.w.SetPictures(Photo(120, 80), Photo(120, 80));
    QVERIFY(t.w.Status().Title().contains(QStringLiteral("120x80")));
    t.w.Rotateright1Click();
    t.w.WaitForComputation();
    QVERIFY2(t.w.Status().Title().contains(QStringLiteral("80x120")), qPrintable(t.w.Status().Title()));
  }
  // Quitting with a drawing that was never saved asks first; Cancel keeps the program open.
  void quittingWithAnUnsavedDrawingAsks() {
    Program t;
    t.Show();
    t.w.close();  // nothing drawn: no question
    QCOMPARE(t.questions, 0);
    t.Show();
    t.w.SetResult(Photo(40, 30), "Pencil sketch 1");
    t.answer = false;
    QVERIFY(!t.w.close());
    QCOMPARE(t.questions, 1);
    QVERIFY(t.w.isVisible());
    QTemporaryDir folder;
    QVERIFY(t.w.SaveResultAs(folder.filePath(QStringLiteral("kept.png")), SaveFormat::Png));
    QVERIFY(t.w.close());
    QCOMPARE(t.questions, 1);
  }
  // The keyboard: Alt and a letter open the menus, a slider clicked with the mouse keeps the
  // focus so that the arrow keys move it (and the preview follows), disabled controls differ.
  void keyboardReachesMenusAndSliders() {
    Program t;
    t.Show();
    auto* bar = t.w.findChild<QMenuBar*>(QStringLiteral("ActionMainMenuBar1"));
    QVERIFY(bar->actions().first()->text().startsWith(QLatin1Char('&')));
    QTest::keyClick(&t.w, Qt::Key_F, Qt::AltModifier);
    QMenu* file = bar->actions().first()->menu();
    QTRY_VERIFY_WITH_TIMEOUT(file->isVisible(), 1000);
    QTest::keyClick(file, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!file->isVisible(), 1000);

    t.w.SetPictures(Photo(400, 300), Photo(400, 300));
    t.OpenParameters();
    QSlider* slider = t.P().TrackBar(2);
    const QPoint groove(slider->width() - 4, slider->height() / 2);
    Press(slider, groove);
    Release(slider, groove);
    QVERIFY(slider->hasFocus());
    QTRY_VERIFY_WITH_TIMEOUT(!t.P().PreviewTimer()->isActive() && !t.P().PreviewRunning(), 5000);
    const int value = slider->value();
    const int started = t.P().PreviewsStarted();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), value + 1);
    QCOMPARE(t.P().Model().Slider(2).position, value + 1);
    QTRY_VERIFY_WITH_TIMEOUT(t.P().PreviewsStarted() > started, 2000);

    for (view::WindowStyle style : {view::WindowStyle::Charcoal, view::WindowStyle::Slate, view::WindowStyle::Obsidian}) {
      t.w.SetStyle(style);
      const QPalette p = QApplication::palette();
      for (QPalette::ColorRole role : {QPalette::ButtonText, QPalette::Button, QPalette::Base, QPalette::Highlight})
        QVERIFY(p.color(QPalette::Disabled, role) != p.color(QPalette::Active, role));
    }
  }
  // The effect list is painted in its window's style: light in Slate, dark in the dark styles.
  void effectListFollowsTheWindowStyle() {
    Program t;
    t.Show();
    t.OpenParameters();
    t.P().Edit1Click();
    auto* list = t.P().findChild<QWidget*>(QStringLiteral("ListBox1"));
    QVERIFY(list->isVisible());
    for (view::WindowStyle style : {view::WindowStyle::Charcoal, view::WindowStyle::Slate, view::WindowStyle::Obsidian}) {
      t.w.SetStyle(style);
      QApplication::processEvents();
      const QImage shot = list->grab().toImage();
      const int listLight = QColor(shot.pixel(shot.width() - 20, shot.height() - 6)).lightness();
      const int windowLight = t.P().palette().color(QPalette::Window).lightness();
      // Both dark or both light.
      QVERIFY2((listLight < 128) == (windowLight < 128),
               qPrintable(QStringLiteral("style %1: list %2, window %3").arg(static_cast<int>(style)).arg(listLight).arg(windowLight)));
    }
  }
  // A short click on a zoom icon is one step; the wheel zooms around the cursor.
  void zoomIconClickIsOneStepAndTheWheelZoomsAtTheCursor() {
    Program t;
    t.Show();
    t.w.SetPictures(Photo(400, 300), Photo(400, 300));
    t.w.SetZoom(100);
    t.w.CenterImages();
    emit t.w.Tools().IconPressed(17, Qt::LeftButton);
    QTest::qWait(120);  // a click takes a little time; no ticks run yet
    emit t.w.Tools().IconReleased(17, Qt::LeftButton);
    QCOMPARE(t.w.Zoom(), 125);
    emit t.w.Tools().IconPressed(15, Qt::LeftButton);
    emit t.w.Tools().IconReleased(15, Qt::LeftButton);
    QCOMPARE(t.w.Zoom(), 100);
    // Held, the continuous zoom still runs.
    emit t.w.Tools().IconPressed(17, Qt::LeftButton);
    QTest::qWait(700);
    emit t.w.Tools().IconReleased(17, Qt::LeftButton);
    QVERIFY(t.w.Zoom() > 140);

    t.w.SetZoom(100);
    t.w.CenterImages();
    const QRect before = t.w.Panel(1).PictureRect();
    const QPoint cursor = before.topLeft() + QPoint(80, 60);  // a fifth across, a fifth down
    PanelListener& panels = t.w;
    panels.PanelWheelAt(1, 4, cursor);
    QCOMPARE(t.w.Zoom(), 120);
    const QRect after = t.w.Panel(1).PictureRect();
    // The picture point (80, 60) is still under the cursor: (96, 72) at 120 %.
    QCOMPARE(cursor - after.topLeft(), QPoint(96, 72));
  }
  // The first screen says how to begin; the first picture replaces it, and undo does not go
  // back to the blank sheet. The About box names the version, the licence and the libraries.
  void firstScreenAboutAndUndoAfterOpening() {
    Program t;
    t.Show();
    QVERIFY(t.w.FirstScreen());
    QVERIFY(t.w.Panel(1).WelcomeShown());
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("first.png"));
    const Bitmap photo = Photo(64, 48);
    SavePicture(photo, path.toStdString());
    t.w.ChooseOpenName = [&path](const QString&, const QString&, const QString&) { return path; };
    t.w.Openpicture1Click();
    QVERIFY(!t.w.FirstScreen());
    QVERIFY(!t.w.Panel(1).WelcomeShown());
    QVERIFY(!t.w.UndoEnabled());
    t.w.Annuler1Click();
    QVERIFY(t.w.Source() == photo);
    QVERIFY(t.w.Result() == photo);

    QString about;
    QTimer::singleShot(100, [&about] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        about = box->text();
        box->done(0);
      }
    });
    t.w.Action(QStringLiteral("About1"))->trigger();
    QVERIFY2(about.contains(QApplication::applicationVersion()) && about.contains(QStringLiteral("Licence")) &&
                 about.contains(QStringLiteral("Qt ")) && about.contains(QStringLiteral("libpng")),
             qPrintable(about));
  }
  // A quick preview replaces the last one directly, without showing the raw photograph first;
  // a slow one shows the raw crop while it computes.
  void aQuickPreviewDoesNotFlashThePhotograph() {
    Program t;
    t.Show();
    t.w.SetPictures(Photo(400, 300), Photo(400, 300));
    t.P().ListBox1Click(35);  // frame, texture and text only: a few milliseconds
    t.OpenParameters();
    const int raw = t.P().RawCropsShown();
    const int shown = t.P().PreviewsShown();
    t.P().Model().SetSoftenEdges(true);
    t.P().ArmPreview(10);
    QTRY_VERIFY_WITH_TIMEOUT(t.P().PreviewsShown() > shown, 3000);
    QTest::qWait(400);
    QCOMPARE(t.P().RawCropsShown(), raw);
  }
  // `brumeleaf PICTURE --tour FOLDER`: every main-window picture has one size, the settings
  // file is left as it was, and a missing picture is an error.
  void tourTakesPicturesOfOneSizeAndKeepsTheSettings() {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../app/brumeleaf");
    if (!QFileInfo::exists(program)) QSKIP("the desktop program is not built");
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("tour.png"));
    SavePicture(Photo(360, 240), picture.toStdString());
    const std::filesystem::path settings =
        std::filesystem::path(QFileInfo(program).absolutePath().toStdString()) / "Brumeleaf.ini";
    const bool hadSettings = std::filesystem::exists(settings);
    std::string kept;
    if (hadSettings) {
      std::ifstream in(settings, std::ios::binary);
      kept.assign(std::istreambuf_iterator<char>(in), {});
    }
    AppSettings saved;
    saved.updateCheck = false;
    saved.language = "English";
    saved.style = 2;
    const std::string ours = FormatSettings(saved, WindowPlacement{10, 10, 900, 650});
    std::ofstream(settings, std::ios::binary) << ours;
    auto run = [&program](const QStringList& arguments) {
      QProcess process;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
      process.setProcessEnvironment(environment);
      process.start(program, arguments);
      if (!process.waitForFinished(120000)) return -1;
      return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    };
    const QString shots = folder.filePath(QStringLiteral("shots"));
    QCOMPARE(run({QStringLiteral("--tour"), shots}), 1);
    QCOMPARE(run({folder.filePath(QStringLiteral("missing.jpg")), QStringLiteral("--tour"), shots}), 1);
    QCOMPARE(run({picture, QStringLiteral("--tour"), shots}), 0);
    std::string after;
    {
      std::ifstream in(settings, std::ios::binary);
      after.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (hadSettings) {
      std::ofstream(settings, std::ios::binary) << kept;
    } else {
      std::filesystem::remove(settings);
    }
    QVERIFY(after == ours);
    QSize size;
    for (const char* name : {"first-screen", "parameters-list", "drawing", "style-charcoal", "style-obsidian",
                             "style-slate", "crop-selection", "run-in-progress"}) {
      const QImage shot(QDir(shots).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
      QVERIFY2(!shot.isNull(), name);
      if (size.isEmpty()) size = shot.size();
      QVERIFY2(shot.size() == size, name);
    }
  }
};

BRUMELEAF_APP_TEST(FirstUseTest)
#include "FirstUseTest.moc"
