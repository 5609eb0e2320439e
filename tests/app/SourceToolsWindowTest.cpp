// The source tools' windows driven as a user would: the modification window's preview, Apply
// and Cancel, the resize window's boxes and OK, automatic contrast, and their commands.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "AppTests.h"
#include "app/MainWindow.h"
#include "app/ModifyWindow.h"
#include "app/ParametersWindow.h"
#include "app/ResizeWindow.h"
#include "app/StatusPanel.h"
#include "app/ToolBarPanel.h"
#include "tools/SourceTools.h"

using namespace brumeleaf;

namespace {

Bitmap Photo(int w, int h, int salt) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, MakeColour((x * 5 + salt + y) & 255, (y * 3 + x / 2) & 255, (x * y / 7 + salt * 3) & 255));
  return b;
}

struct Window {
  MainWindow w;
  QStringList messages;
  Window() {
    w.AskOkCancel = [](const QString&, const QString&) { return true; };
    w.ShowMessage = [this](const QString& text) { messages << text; };
    w.resize(1000, 700);
    w.show();
  }
};

}  // namespace

class SourceToolsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void commandsAreWiredToTheirKeysAndIcon() {
    Window t;
    QCOMPARE(t.w.Action(QStringLiteral("Modifysourceimage1"))->shortcut(), QKeySequence(Qt::Key_F9));
    QCOMPARE(t.w.Action(QStringLiteral("Resizesourceimage1"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    QCOMPARE(t.w.Action(QStringLiteral("Automaticcontrast1"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    QVERIFY(t.w.Tools().IconEnabled(8));
    t.w.Action(QStringLiteral("Modifysourceimage1"))->trigger();
    QVERIFY(t.w.ModifyForm().isVisible());
    t.w.ModifyForm().Button1Click();
    QVERIFY(!t.w.ModifyForm().isVisible());
    // While a computation runs the command does nothing.
    t.w.Flags().Processing = true;
    t.w.ModifySourceImage1Click();
    QVERIFY(!t.w.ModifyForm().isVisible());
    t.w.Flags().Processing = false;
  }

  void applyIsTheCoreChainRecordedAsOneStep() {
    Window t;
    const Bitmap photo = Photo(301, 203, 3);
    t.w.PastePicture(photo);
    const int steps = t.w.HistoryCount();
    const SourceMean mean = t.w.Mean();
    t.w.ModifySourceImage1Click();
    ModifyWindow& m = t.w.ModifyForm();
    QCOMPARE(m.Offset(), QPoint(110, 0));
    const ModifySettings settings{-20, 35, 40, -4, 2};
    for (int row = 1; row <= 5; ++row)
      m.SetSlider(row, row == 1 ? -20 : row == 2 ? 35 : row == 3 ? 40 : row == 4 ? -4 : 2);
    QVERIFY(m.Pending());
    QVERIFY(m.PreviewTimer()->isActive());
    QCOMPARE(m.PreviewTimer()->interval(), 200);
    m.Timer1Timer();
    QVERIFY(m.Preview() == ModifyPreview(photo, 110, 0, settings, mean));
    m.Button2Click();
    t.w.WaitForComputation();
    QTRY_VERIFY(!m.isVisible());
    Bitmap expected = photo;
    QVERIFY(ModifySourceImage(expected, settings, mean));
    QVERIFY(t.w.Source() == expected);
    QCOMPARE(t.w.HistoryCount(), steps + 1);
  }

  void cancelAndNeutralApplyLeaveTheSource() {
    Window t;
    const Bitmap photo = Photo(120, 90, 5);
    t.w.PastePicture(photo);
    const int steps = t.w.HistoryCount();
    t.w.ModifySourceImage1Click();
    ModifyWindow& m = t.w.ModifyForm();
    m.SetSlider(1, 60);
    m.Button1Click();
    QVERIFY(t.w.Source() == photo);
    QCOMPARE(t.w.HistoryCount(), steps);
    // Shown again: the sliders start neutral; applying them changes nothing but is one step.
    t.w.ModifySourceImage1Click();
    QCOMPARE(m.Slider(1)->value(), 0);
    QVERIFY(!m.Pending());
    m.Button2Click();
    t.w.WaitForComputation();
    QVERIFY(t.w.Source() == photo);
    QCOMPARE(t.w.HistoryCount(), steps + 1);
  }

  void aStoppedApplyRecordsNothing() {
    Window t;
    const Bitmap photo = Photo(400, 3000, 9);
    t.w.PastePicture(photo);
    const int steps = t.w.HistoryCount();
    t.w.ModifySourceImage1Click();
    ModifyWindow& m = t.w.ModifyForm();
    m.SetSlider(5, 9);
    m.SetSlider(3, 50);
    int questions = 0;
    t.w.AskOkCancel = [&questions](const QString&, const QString&) {
      ++questions;
      return true;
    };
    m.Button2Click();
    QVERIFY(m.Applying());
    QTest::keyClick(&m, Qt::Key_Escape);  // the stop question, answered OK
    QCOMPARE(questions, 1);
    t.w.WaitForComputation();
    QVERIFY(!m.Applying());
    QVERIFY(t.w.Source() == photo);
    QCOMPARE(t.w.HistoryCount(), steps);
    QVERIFY(m.isVisible());  // the user may try again or cancel
    m.Button1Click();
  }

  void previewStaysInsideANarrowSource() {
    Window t;
    const Bitmap photo = Photo(200, 120, 2);
    t.w.PastePicture(photo);
    t.w.ModifySourceImage1Click();
    ModifyWindow& m = t.w.ModifyForm();
    QCOMPARE(m.Offset(), QPoint(50, 0));
    m.PreviewDragged(-500, -500);  // the picture follows the mouse to the right and down
    QCOMPARE(m.Offset(), QPoint(50, 0));
    m.PreviewDragged(30, 0);
    QCOMPARE(m.Offset(), QPoint(20, 0));
    QVERIFY(!m.PreviewTimer()->isActive());
    m.PreviewReleased();
    QVERIFY(m.PreviewTimer()->isActive());
    QCOMPARE(m.Preview().Pixel(149, 119), photo.Pixel(169, 119));
    QCOMPARE(m.Preview().Pixel(10, 149), MakeColour(128, 128, 128));
    // A slider released after a mouse drag still counts as a change.
    m.Timer1Timer();
    m.SliderReleased();
    QVERIFY(m.Pending());
    QVERIFY(m.PreviewTimer()->isActive());
    m.Button1Click();
  }

  void resizeBoxesAndEnterApplyTheSize() {
    Window t;
    const Bitmap photo = Photo(100, 80, 4);
    const Bitmap result = Photo(100, 80, 8);
    t.w.SetPictures(photo, result);
    const int steps = t.w.HistoryCount();
    QSlider* previewZoom = t.w.ParametersForm().findChild<QSlider*>(QStringLiteral("TrackBar6"));
    QVERIFY(previewZoom);
    previewZoom->setValue(70);
    ResizeWindow& r = t.w.ResizeForm();
    r.Prepare(100, 80);
    r.show();
    QLineEdit* percent = r.Box(3);
    percent->selectAll();
    QTest::keyClicks(percent, QStringLiteral("250"));
    QCOMPARE(r.Box(1)->text(), QStringLiteral("250"));
    QCOMPARE(r.Box(2)->text(), QStringLiteral("200"));
    QCOMPARE(r.Box(4)->text(), QStringLiteral("250"));
    QTest::keyClick(percent, Qt::Key_Return);
    QVERIFY(!r.isVisible());
    QCOMPARE(t.w.Source().Width(), 250);
    QCOMPARE(t.w.Source().Height(), 200);
    QCOMPARE(t.w.Result().Width(), 250);
    QVERIFY(t.w.Result() == ResizePicture(result, 250, 200));
    QCOMPARE(t.w.HistoryCount(), steps + 2);
    QVERIFY(t.w.Status().Title().contains(QStringLiteral("250x200")));
    QCOMPARE(previewZoom->value(), 25);
  }

  void resizeBelowTwoKeepsTheWindowOpenAndChangesNothing() {
    Window t;
    const Bitmap photo = Photo(100, 80, 4);
    t.w.SetPictures(photo, photo);
    const int steps = t.w.HistoryCount();
    ResizeWindow& r = t.w.ResizeForm();
    r.Prepare(100, 80);
    r.show();
    r.KeepRatioBox()->click();
    QVERIFY(!r.Model().KeepRatio());
    QLineEdit* height = r.Box(2);
    height->selectAll();
    QTest::keyClicks(height, QStringLiteral("1"));
    QTest::keyClick(height, Qt::Key_Enter);
    QCOMPARE(t.messages.size(), 1);
    QVERIFY(r.isVisible());
    QVERIFY(t.w.Source() == photo);
    QCOMPARE(t.w.HistoryCount(), steps);
    // Desktop size takes the screen's size and unticks the ratio.
    r.desktopSize = [] { return QSize(1920, 1080); };
    r.DesktopBox()->click();
    QCOMPARE(r.Box(1)->text(), QStringLiteral("1920"));
    QCOMPARE(r.Box(3)->text(), QStringLiteral("1920"));
    QCOMPARE(r.Box(4)->text(), QStringLiteral("1350"));
    r.reject();
  }

  void automaticContrastIsTheCoreCommand() {
    Window t;
    const Bitmap photo = Photo(90, 70, 6);
    t.w.PastePicture(photo);
    const int steps = t.w.HistoryCount();
    t.w.Action(QStringLiteral("Automaticcontrast1"))->trigger();
    t.w.WaitForComputation();
    Bitmap expected = photo;
    AutomaticContrast(expected);
    QVERIFY(t.w.Source() == expected);
    QCOMPARE(t.w.HistoryCount(), steps + 1);
  }
};

BRUMELEAF_APP_TEST(SourceToolsWindowTest)
#include "SourceToolsWindowTest.moc"
