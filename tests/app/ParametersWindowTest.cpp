// The drawing-parameters window driven as a user would: choosing effects from the list, moving
// sliders, the live preview's timing and crop, "Draw!", stopping a run, the custom brush and
// collapsing the window.

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "AppTests.h"
#include "MainWindowHarness.h"
#include "app/Computation.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/ProcessingDriver.h"
#include "app/StatusPanel.h"
#include "pipeline/RunEffect.h"
#include "pipeline/Finalize.h"
#include "io/PictureFile.h"

using namespace brumeleaf;

namespace {

Bitmap Photo(int w, int h) { return test::DetailedPhoto(w, h); }

// The main window with its parameters window, shown from the start; idle moments also come
// whenever the event loop would block.
struct Program : test::MainWindowHarness {
  Program() {
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &w, &MainWindow::IdleReset);
    w.show();
    w.activateWindow();
  }
  // Shows the window and lets its first preview finish.
  void Open() {
    w.Sketchit1Click();
    QTRY_VERIFY_WITH_TIMEOUT(P().PreviewsShown() > 0, 5000);
  }
};

// The result of a run computed headless, to compare the window's result with.
Bitmap ExpectedPencilSketch(const Bitmap& source, const ParameterSnapshot& params) {
  Random random;
  RunContext ctx(params, random);
  ctx.processing = false;
  Bitmap result = source;
  RunEffect(0, source, result, ctx, FinishingSteps{});
  return result;
}

}  // namespace

class ParametersWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void clickingAHeaderChangesNothing() {
    Program t;
    t.P().ListBox1Click(14);  // Painting 4
    const std::string text = t.P().Model().EntryText();
    for (int header : {0, 7, 10, 21, 30, 34}) {
      t.P().ListBox1Click(header);
      QCOMPARE(t.P().Model().ListIndex(), 14);
      QCOMPARE(t.P().Model().CurrentEffect(), 7);
      QCOMPARE(t.P().Model().EntryText(), text);
    }
  }

  void mergeEntryWithPanelsOfDifferentSizesSelectsFrameOnly() {
    Program t;
    t.w.SetPictures(Photo(120, 90), Photo(140, 90));
    t.P().Edit1Click();
    QVERIFY(t.P().ListShown());
    QVERIFY(!t.P().Model().EntryEnabled(33));
    t.P().ListBox1Hover(32);
    t.P().ListBox1Hover(33);
    QCOMPARE(t.P().HighlightedEntry(), 32);  // not highlighted under the mouse
    t.P().ListBox1Click(33);
    QCOMPARE(t.P().Model().ListIndex(), 35);
    QCOMPARE(t.P().Model().CurrentEffect(), 14);
    QVERIFY(!t.P().ListShown());
    // Equal sizes make the merge entry selectable again.
    t.w.SetPictures(Photo(120, 90), Photo(120, 90));
    t.P().ListBox1Click(33);
    QCOMPARE(t.P().Model().CurrentEffect(), 13);
  }

  void paintingFourThenLinearHalftoning() {
    Program t;
    t.P().ListBox1Click(14);
    QCOMPARE(t.P().TrackBar(1)->maximum(), 10);
    QCOMPARE(t.P().TrackBar(1)->value(), 5);
    t.P().ListBox1Click(28);
    QCOMPARE(t.P().TrackBar(1)->minimum(), 0);
    QCOMPARE(t.P().TrackBar(1)->maximum(), 255);
    QCOMPARE(t.P().TrackBar(1)->value(), 12);
    QCOMPARE(t.P().ValueLabel(1)->text(), QStringLiteral("12"));
    QCOMPARE(t.P().TrackBar(2)->maximum(), 360);
    QVERIFY(!t.P().TrackBar(4)->isVisibleTo(&t.P()));
  }

  void sliderRowsAndExtrasFollowTheEffect() {
    Program t;
    t.P().ListBox1Click(35);  // frame only: no rows at all
    for (int row = 1; row <= 5; ++row) QVERIFY(!t.P().CaptionLabel(row)->isVisibleTo(&t.P()));
    t.P().ListBox1Click(26);  // Emergence: MAX beside row 2
    QLabel* max = t.P().findChild<QLabel*>(QStringLiteral("Image4"));
    QVERIFY(max->isVisibleTo(&t.P()));
    t.P().ValueLabelClicked(2);
    QCOMPARE(t.P().TrackBar(2)->value(), 255);
    QCOMPARE(t.P().ValueLabel(2)->text(), QStringLiteral("MAX"));
    t.P().ListBox1Click(1);
    QVERIFY(!max->isVisibleTo(&t.P()));
    // A double-click on a caption puts that slider back to its default.
    t.P().TrackBar(3)->setValue(10);
    t.P().CaptionDoubleClicked(3);
    QCOMPARE(t.P().TrackBar(3)->value(), 80);
  }

  void quickSliderChangesStartOnePreviewHalfASecondAfterTheLast() {
    Program t;
    t.w.SetPictures(Photo(400, 300), Photo(400, 300));
    t.Open();
    const int before = t.P().PreviewsStarted();
    QElapsedTimer sinceLast;
    for (int v : {30, 35, 40}) {
      QTest::qWait(120);
      t.P().TrackBar(1)->setValue(v);
      sinceLast.start();
    }
    QTest::qWait(380);
    QCOMPARE(t.P().PreviewsStarted(), before);
    QTRY_COMPARE_WITH_TIMEOUT(t.P().PreviewsStarted(), before + 1, 3000);
    QVERIFY(sinceLast.elapsed() >= 480);
    QTRY_VERIFY_WITH_TIMEOUT(!t.P().PreviewRunning(), 5000);
    QTest::qWait(700);
    QCOMPARE(t.P().PreviewsStarted(), before + 1);
  }

  void drawWhileAPreviewComputesEndsItAndRunsAfterTheDelay() {
    Program t;
    t.w.SetPictures(Photo(1000, 900), Photo(1000, 900));
    t.Open();
    t.P().TrackBar6Change(100);  // zoom 25 %: an 800 x 800 crop keeps the preview busy a while
    QTest::qWait(50);
    t.P().PreviewTimer()->stop();
    t.P().Timer1Timer();
    QVERIFY(t.P().PreviewRunning());
    const int shown = t.P().PreviewsShown();
    QSignalSpy started(&t.P().Driver(), &ProcessingDriver::RunStarted);
    QElapsedTimer clock;
    clock.start();
    t.P().SpeedButton1Click();
    QVERIFY(!t.P().isVisible());
    QVERIFY(started.wait(10000));
    QVERIFY(clock.elapsed() >= 400);
    QVERIFY(!t.P().PreviewRunning());
    QCOMPARE(t.P().PreviewsShown(), shown);  // the overtaken preview shows nothing
    QVERIFY(t.WaitRun());
  }

  // A preview tick that arrives while the worker still computes must neither start a second
  // computation nor be lost: it waits and runs once the worker is free.
  void aPreviewTickWhileTheWorkerIsBusyWaitsAndThenRuns() {
    Program t;
    t.w.SetPictures(Photo(1000, 900), Photo(1000, 900));
    t.Open();
    t.P().TrackBar6Change(100);  // an 800 x 800 crop keeps the worker busy a while
    QTest::qWait(50);
    t.P().PreviewTimer()->stop();
    t.P().Timer1Timer();
    QVERIFY(t.P().PreviewRunning());
    const int started = t.P().PreviewsStarted();
    t.P().Timer1Timer();  // the tick of a later change, while the first preview computes
    QCOMPARE(t.P().PreviewsStarted(), started);
    QVERIFY(t.P().PreviewTimer()->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(t.P().PreviewsStarted(), started + 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!t.P().PreviewRunning(), 10000);
  }

  void aRunKeepsTheZoomAndRecordsTheResult() {
    Program t;
    const Bitmap source = Photo(160, 120);
    t.w.SetPictures(source, source);
    t.w.SaveToHistory(1);
    t.w.SaveToHistory(2);
    t.w.SetZoom(60);
    const int steps = t.w.HistoryCount();
    t.P().ListBox1Click(1);
    const ParameterSnapshot params = t.P().Model().Snapshot();
    t.P().SpeedButton1Click();
    QVERIFY(t.WaitRun());
    QCOMPARE(t.w.Zoom(), 60);
    QCOMPARE(t.w.HistoryCount(), steps + 1);
    QVERIFY(t.w.Result() == ExpectedPencilSketch(source, params));
    QVERIFY(t.w.Flags().ReopenParameters || t.P().isVisible());
    // Undo brings the previous result back.
    t.w.Annuler1Click();
    QVERIFY(t.w.Result() == source);
  }

  void stopAtFortyPercent() {
    Program t;
    const Bitmap source = Photo(500, 400);
    t.w.SetPictures(source, source);
    t.P().ListBox1Click(1);
    const Bitmap complete = ExpectedPencilSketch(source, t.P().Model().Snapshot());

    // OK: the run stops and the partial drawing stays, without finishing steps.
    t.w.Status().SetStopPercent(40);
    t.answer = true;
    t.P().SpeedButton1Click();
    QVERIFY(t.WaitRun());
    QCOMPARE(t.questions, 1);
    QCOMPARE(t.w.Result().Width(), source.Width());
    QVERIFY(!(t.w.Result() == complete));
    QVERIFY(!(t.w.Result() == source));
    QTRY_VERIFY_WITH_TIMEOUT(t.P().isVisible() || !t.w.isActiveWindow(), 3000);  // back for another try

    // Cancel: the run goes on to the end and the marker is back at 100.
    QTest::qWait(50);
    t.answer = false;
    t.P().SpeedButton1Click();
    QVERIFY(t.WaitRun());
    QCOMPARE(t.questions, 2);
    QVERIFY(t.w.Result() == complete);
    QCOMPARE(t.w.Status().StopPercent(), 100);
  }

  void customBrushIsCentredOnAWhiteSquare() {
    Program t;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("brush.png"));
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 40));
    QVERIFY(image.save(path));
    QVERIFY(t.P().LoadCustomBrush(path));
    const Bitmap* brush = t.P().CustomBrush();
    QVERIFY(brush != nullptr);
    QCOMPARE(brush->Width(), 142);
    QCOMPARE(brush->Height(), 142);
    QCOMPARE(brush->Pixel(20, 46), kWhite);
    QCOMPARE(brush->Pixel(21, 45), kWhite);
    QCOMPARE(brush->Pixel(21, 46), MakeColour(200, 30, 40));
    QCOMPARE(brush->Pixel(120, 95), MakeColour(200, 30, 40));
    QCOMPARE(brush->Pixel(121, 95), kWhite);
    QVERIFY(t.P().Model().Finishing().customBrush);
    // A file that is not a picture changes nothing and says why.
    const QString bad = dir.filePath(QStringLiteral("bad.png"));
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    QVERIFY(!t.P().LoadCustomBrush(bad));
    QCOMPARE(t.messages.size(), 1);
    QCOMPARE(t.P().CustomBrush()->Width(), 142);
  }

  void previewCropFollowsDragAndZoomAndResetsForANewSource() {
    Program t;
    t.w.SetPictures(Photo(1000, 700), Photo(1000, 700));
    t.Open();
    QCOMPARE(t.P().Crop().x0, 400);
    QCOMPARE(t.P().Crop().y0, 250);
    t.P().Image2MouseDown(QPoint(100, 100));
    t.P().Image2MouseMove(QPoint(60, 130));
    t.P().Image2MouseUp();
    QCOMPARE(t.P().Crop().x0, 440);
    QCOMPARE(t.P().Crop().y0, 220);
    QVERIFY(t.P().PreviewTimer()->isActive());
    QVERIFY(t.P().PreviewTimer()->interval() <= 700);
    t.P().TrackBar6Change(100);  // zoom 25 %: 800 x 800, kept centred and inside
    QCOMPARE(t.P().Crop().Size(), 800);
    QCOMPARE(t.P().Crop().x0, 140);
    QCOMPARE(t.P().Crop().y0, 0);
    t.w.PastePicture(Photo(150, 100));
    QCOMPARE(t.P().Crop().x0, 0);
    QCOMPARE(t.P().Crop().y0, 0);
  }

  void collapseToAThumbnailAndBack() {
    Program t;
    t.Open();
    const int width = t.P().width();
    t.P().Image7Click();
    QVERIFY(t.P().Collapsed());
    QTRY_VERIFY_WITH_TIMEOUT(!t.P().Animating(), 3000);
    QCOMPARE(t.P().size(), QSize(80, 80));
    t.P().Image8Enter();
    QTRY_VERIFY_WITH_TIMEOUT(!t.P().Collapsed(), 3000);
    QVERIFY(t.P().CollapsedMark());
    QCOMPARE(t.P().width(), width);
    t.w.Sketchit1Click();
    QVERIFY(!t.P().CollapsedMark());
  }

  // The time from the last slider release to the finished preview of Pencil sketch 1.
  void previewLatency() {
    Program t;
    t.w.SetPictures(Photo(1200, 900), Photo(1200, 900));
    t.Open();
    QSignalSpy shown(&t.P(), &ParametersWindow::PreviewShown);
    QElapsedTimer clock;
    clock.start();
    t.P().TrackBar(2)->setValue(120);
    QVERIFY(shown.wait(5000));
    const qint64 total = clock.elapsed();
    qInfo("Pencil sketch 1 preview at 100 %%: %lld ms from the slider change (500 ms of it the "
          "coalescing delay)", static_cast<long long>(total));
    QVERIFY(total >= 500);
    // At 25 % the crop is 800 x 800.
    t.P().TrackBar6Change(100);
    QVERIFY(shown.wait(5000));
    clock.restart();
    t.P().TrackBar(2)->setValue(130);
    QVERIFY(shown.wait(10000));
    qInfo("Pencil sketch 1 preview at 25 %%: %lld ms from the slider change",
          static_cast<long long>(clock.elapsed()));
  }

  void keysMoveThroughTheListWithoutSkippingHeaders() {
    Program t;
    t.Open();
    QWidget* focus = t.P().TrackBar(1);
    QTest::keyClick(focus, Qt::Key_Up);  // entry 1: nothing above it
    QCOMPARE(t.P().Model().ListIndex(), 1);
    QVERIFY(t.P().ListShown());
    QTest::keyClick(focus, Qt::Key_Escape);
    QVERIFY(!t.P().ListShown());
    for (int i = 0; i < 6; ++i) QTest::keyClick(focus, Qt::Key_Down);
    QCOMPARE(t.P().Model().ListIndex(), 7);  // a header, running as frame-only
    QCOMPARE(t.P().Model().CurrentEffect(), 14);
    // With panels of different sizes the merge entry is stepped over to 31 going up.
    t.w.SetPictures(Photo(100, 80), Photo(120, 80));
    t.P().ListBox1Click(34 - 1);  // 33 is refused: 35 is chosen
    QCOMPARE(t.P().Model().ListIndex(), 35);
    QTest::keyClick(focus, Qt::Key_Down);
    QCOMPARE(t.P().Model().ListIndex(), 35);
    QTest::keyClick(focus, Qt::Key_Up);
    QCOMPARE(t.P().Model().ListIndex(), 34);
    QTest::keyClick(focus, Qt::Key_Up);
    QCOMPARE(t.P().Model().ListIndex(), 31);
  }

  void insertCyclesTheWindowStyles() {
    Program t;
    t.Open();
    t.w.SetStyle(view::WindowStyle::Charcoal);
    QTest::keyClick(t.P().TrackBar(2), Qt::Key_Insert);
    QCOMPARE(t.w.Style(), view::WindowStyle::Obsidian);
    QTest::keyClick(t.P().TrackBar(2), Qt::Key_Insert);
    QCOMPARE(t.w.Style(), view::WindowStyle::Slate);
  }

  void finishingOptionsDelayThePreview() {
    Program t;
    t.Open();
    QTimer* timer = t.P().PreviewTimer();
    timer->stop();
    QCheckBox* texture = t.P().findChild<QCheckBox*>(QStringLiteral("CheckBox3"));
    QComboBox* strength = t.P().findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    QVERIFY(!strength->isEnabled());
    texture->setChecked(true);
    QVERIFY(strength->isEnabled());
    QCOMPARE(timer->interval(), 100);
    for (int i = 0; i < 6; ++i) texture->setChecked(i % 2 == 1);
    QCOMPARE(timer->interval(), 500);  // 100 added each time, capped at 500
    QToolButton* up = t.P().findChild<QToolButton*>(QStringLiteral("UpDown1Up"));
    for (int i = 0; i < 4; ++i) up->click();
    QCOMPARE(timer->interval(), 700);  // the release caps the arrows' delay at 700
    QCOMPARE(t.P().Model().Finishing().textureNumber, 4);
    QCOMPARE(t.P().findChild<QLabel*>(QStringLiteral("Label12"))->text(), QStringLiteral("Texture 5  "));
    QVERIFY(t.P().Model().Snapshot().texture);
  }

  void brushEffectsWidenTheWindow() {
    Program t;
    t.Open();
    const int narrow = t.P().width();
    t.P().ListBox1Click(17);  // Painting 7
    QVERIFY(t.P().width() > narrow);
    QVERIFY(t.P().findChild<QWidget*>(QStringLiteral("spSkinButton1"))->isVisible());
    QVERIFY(t.P().findChild<QWidget*>(QStringLiteral("CheckBox6"))->isVisible());
    t.P().ListBox1Click(20);  // Painting 10
    QVERIFY(t.P().findChild<QWidget*>(QStringLiteral("Button6"))->isVisible());
    QVERIFY(!t.P().findChild<QWidget*>(QStringLiteral("spSkinButton1"))->isVisible());
    t.P().ListBox1Click(1);
    QCOMPARE(t.P().width(), narrow);
  }

  void parametersSavedAndLoadedThroughTheMenu() {
    Program t;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mine"));
    t.P().ListBox1Click(12);  // Painting 2
    t.P().TrackBar(3)->setValue(77);
    t.P().ChooseSaveFile = [&](const QString&, const QString&, const QString&) { return path; };
    t.P().Saveparameters1Click();
    QVERIFY(QFile::exists(path + QStringLiteral(".bfp")));
    t.P().Resetparameters1Click();
    t.P().ListBox1Click(1);
    QCOMPARE(t.P().TrackBar(3)->value(), 80);
    t.P().ChooseOpenFile = [&](const QString&, const QString&, const QString&) {
      return path + QStringLiteral(".bfp");
    };
    t.P().Loadparameters1Click();
    QCOMPARE(t.P().Model().ListIndex(), 12);
    QCOMPARE(t.P().TrackBar(3)->value(), 77);
    // A file that is not a parameter file is refused with a message and changes nothing.
    QFile bad(dir.filePath(QStringLiteral("bad.bfp")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("[0]\r\nnot a number\r\n");
    bad.close();
    t.P().ChooseOpenFile = [&](const QString&, const QString&, const QString&) { return bad.fileName(); };
    t.P().Loadparameters1Click();
    QCOMPARE(t.messages.size(), 1);
    QCOMPARE(t.P().TrackBar(3)->value(), 77);
  }

  void closingDuringARunWaitsForItsEnd() {
    Program t;
    t.w.SetPictures(Photo(900, 700), Photo(900, 700));
    t.P().ListBox1Click(1);
    QSignalSpy started(&t.P().Driver(), &ProcessingDriver::RunStarted);
    t.P().SpeedButton1Click();
    QVERIFY(started.wait(5000));
    t.P().show();
    QVERIFY(!t.P().close());  // refused while the run goes on; the run is asked to stop
    QVERIFY(t.w.Flags().StopRequested.load());
    // The idle reset leaves the flags alone while the computation is still there.
    t.w.IdleReset();
    QVERIFY(t.w.Flags().StopRequested.load());
    QVERIFY(t.w.Flags().Processing);
    QVERIFY(t.WaitRun());
    QTRY_VERIFY_WITH_TIMEOUT(!t.P().isVisible(), 3000);
  }

  void aFinishedRunReopensTheWindowWhenIdle() {
    Program t;
    t.w.SetPictures(Photo(120, 90), Photo(120, 90));
    t.P().ListBox1Click(35);
    t.P().SpeedButton1Click();
    QVERIFY(t.WaitRun());
    QTRY_VERIFY_WITH_TIMEOUT(t.P().isVisible() || !t.w.isActiveWindow(), 3000);
    if (t.w.isActiveWindow()) QVERIFY(!t.w.Flags().ReopenParameters);
    QCOMPARE(t.w.Status().Status().trimmed(), QStringLiteral("Frame, texture and text only"));
  }

  void screenshots() {
    const QByteArray folder = qgetenv("BRUMELEAF_SHOTS");
    if (folder.isEmpty()) QSKIP("set BRUMELEAF_SHOTS to a folder to save pictures of the window");
    Program t;
    t.w.LoadImageFile(QStringLiteral(BRUMELEAF_SAMPLE));
    t.w.WaitForComputation();
    t.Open();
    const int shown = t.P().PreviewsShown();
    QTRY_VERIFY_WITH_TIMEOUT(t.P().PreviewsShown() > shown || !t.P().PreviewTimer()->isActive(), 5000);
    QTest::qWait(300);
    const char* names[] = {"charcoal", "slate", "obsidian"};
    const view::WindowStyle styles[] = {view::WindowStyle::Charcoal, view::WindowStyle::Slate,
                                        view::WindowStyle::Obsidian};
    t.P().ListBox1Click(1);
    QTest::qWait(700);
    for (int i = 0; i < 3; ++i) {
      t.w.SetStyle(styles[i]);
      QTest::qWait(100);
      t.P().grab().save(QDir(QString::fromUtf8(folder)).filePath(QStringLiteral("params-%1.png").arg(QString::fromLatin1(names[i]))));
    }
    t.w.SetStyle(view::WindowStyle::Charcoal);
    t.P().Edit1Click();
    t.P().ListBox1Hover(1);
    QTest::qWait(100);
    const QImage window = t.P().grab().toImage();
    const QImage example = t.P().ExampleWindow()->grab().toImage();
    window.save(QDir(QString::fromUtf8(folder)).filePath(QStringLiteral("params-list.png")));
    // The window with its list open and the example picture beside it, as the user sees them.
    QImage both(window.width() + 16 + example.width(), window.height(), QImage::Format_RGB32);
    both.fill(QColor(44, 44, 44));
    QPainter painter(&both);
    painter.drawImage(0, 0, window);
    painter.drawImage(window.width() + 8, 90, example);
    painter.end();
    both.save(QDir(QString::fromUtf8(folder)).filePath(QStringLiteral("params-with-example.png")));
    const QImage charcoal(QDir(QString::fromUtf8(folder)).filePath(QStringLiteral("params-charcoal.png")));
    QImage doc(charcoal.width() + 12 + both.width(), std::max(charcoal.height(), both.height()), QImage::Format_RGB32);
    doc.fill(QColor(44, 44, 44));
    QPainter docPainter(&doc);
    docPainter.drawImage(0, 0, charcoal);
    docPainter.drawImage(charcoal.width() + 12, 0, both);
    docPainter.end();
    doc.save(QDir(QString::fromUtf8(folder)).filePath(QStringLiteral("params-doc.png")));
    // The whole screen, with the window over the main window (meaningful on a real display).
    if (QScreen* screen = t.w.screen()) {
      screen->grabWindow(0).save(QDir(QString::fromUtf8(folder)).filePath(QStringLiteral("params-screen.png")));
    }
    t.P().HideList();
    t.P().ListBox1Click(17);
    QTest::qWait(300);
    t.P().grab().save(QDir(QString::fromUtf8(folder)).filePath(QStringLiteral("params-wide.png")));
    t.P().Image7Click();
    QTRY_VERIFY_WITH_TIMEOUT(!t.P().Animating(), 3000);
    QTest::qWait(100);
    if (QScreen* screen = t.w.screen()) {
      screen->grabWindow(0).save(QDir(QString::fromUtf8(folder)).filePath(QStringLiteral("params-collapsed.png")));
    }
  }
};

BRUMELEAF_APP_TEST(ParametersWindowTest)
#include "ParametersWindowTest.moc"
