// The window's parts as the mouse and keyboard reach them: tool bar, zoom label, status
// marker, divider, panel painting; and the names the program proposes and accepts.

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "AppTests.h"
#include "app/MainWindow.h"
#include "app/PictureNames.h"
#include "app/StatusPanel.h"
#include "app/ToolBarPanel.h"
#include "app/UpdateCheck.h"

using namespace brumeleaf;

namespace {

struct Window {
  MainWindow w;
  Window() {
    w.AskOkCancel = [](const QString&, const QString&) { return true; };
    w.ShowMessage = [](const QString&) {};
    w.resize(1000, 700);
    w.show();
    QCoreApplication::processEvents();
  }
};

QRgb PixelOf(QWidget& widget, QPoint at) { return widget.grab().toImage().pixel(at); }

}  // namespace

class WidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void namesForSavingAndLoading() {
    QCOMPARE(ProposedInProgressName("Brumeleaf image", 42), std::string("Brumeleaf image 42.jpg"));
    QCOMPARE(ProposedInProgressName("beach.jpg", 7), std::string("Brumeleaf 7 beach.jpg"));
    QCOMPARE(NameForFormat("photo.jpeg", SaveFormat::Jpeg), std::string("photo.jpeg"));
    QCOMPARE(NameForFormat("photo.JPEG", SaveFormat::Jpeg), std::string("photo.JPEG"));
    QCOMPARE(NameForFormat("photo.png", SaveFormat::Jpeg), std::string("photo.png.jpg"));
    QCOMPARE(NameForFormat("photo.JPG", SaveFormat::Jpeg), std::string("photo.JPG"));
    QCOMPARE(NameForFormat("photo.Png", SaveFormat::Png), std::string("photo.Png"));
    QCOMPARE(NameForFormat("photo", SaveFormat::Bmp), std::string("photo.bmp"));
    QCOMPARE(NameForFormat("photo.BMP", SaveFormat::Bmp), std::string("photo.BMP"));
    QVERIFY(IsLoadablePicture("/tmp/A.PNG"));
    QVERIFY(IsLoadablePicture("x.JpEg"));
    QVERIFY(!IsLoadablePicture("x.gif"));
    QVERIFY(!IsLoadablePicture("/tmp/folder.png/file"));
    QCOMPARE(LowerExtension("/a.b/c"), std::string());
    QVERIFY(IsWebAddress("HTTP://example.org/a.png"));
    QVERIFY(IsWebAddress("https://example.org/a.png"));
    QVERIFY(!IsWebAddress("ftp://example.org/a.png"));
    QCOMPARE(FileNameOf("/home/ana/beach.jpg"), std::string("beach.jpg"));
  }

  void remoteVersionFillsTheTemplate() {
    QCOMPARE(RemoteVersion("3.41\r\n"), std::string("3.41"));
    QCOMPARE(RemoteVersion("2"), std::string("2.00"));
    QCOMPARE(RemoteVersion(""), std::string("0.00"));
  }

  void typedZoomThroughTheLabel() {
    Window t;
    ToolBarPanel& tools = t.w.Tools();
    QTest::mouseClick(tools.ZoomLabel(), Qt::LeftButton);
    QVERIFY(tools.ZoomEditVisible());
    QCOMPARE(tools.ZoomEdit()->text(), QStringLiteral("100"));
    tools.ZoomEdit()->setText(QStringLiteral("250"));
    QTest::keyClick(tools.ZoomEdit(), Qt::Key_Return);
    QCOMPARE(t.w.Zoom(), 250);
    QCOMPARE(tools.ZoomLabel()->text(), QStringLiteral("250 %"));
    QTest::mouseClick(tools.ZoomLabel(), Qt::LeftButton);
    tools.ZoomEdit()->setText(QStringLiteral("2x0"));
    QTest::keyClick(tools.ZoomEdit(), Qt::Key_Return);
    QCOMPARE(t.w.Zoom(), 250);
    QTest::mouseClick(tools.ZoomLabel(), Qt::LeftButton);
    QTest::keyClick(tools.ZoomEdit(), Qt::Key_Escape);
    QVERIFY(!tools.ZoomEditVisible());
  }

  void toolBarIconsByPosition() {
    Window t;
    ToolBarPanel& tools = t.w.Tools();
    QList<int> pressed;
    QObject::connect(&tools, &ToolBarPanel::IconPressed, [&pressed](int icon, Qt::MouseButton) { pressed << icon; });
    QTest::mouseClick(&tools, Qt::RightButton, {}, QPoint(5 + 16, 20));
    QTest::mouseClick(&tools, Qt::RightButton, {}, QPoint(5 + 38 * 6 + 16, 20));
    QTest::mouseClick(&tools, Qt::RightButton, {}, QPoint(tools.IconLeft(16) + 16, 20));
    QTest::mouseClick(&tools, Qt::RightButton, {}, QPoint(tools.IconLeft(14) + 120, 20));
    QCOMPARE(pressed, (QList<int>{1, 7, 16}));
    // Undo and redo show their disabled look until there is something to undo or redo.
    QVERIFY(!tools.IconEnabled(5));
    t.w.SetResult(Bitmap(10, 10), "Sketch");
    QVERIFY(tools.IconEnabled(5));
    QVERIFY(!tools.IconEnabled(6));
  }

  void zoomIconsHeldAndFitted() {
    Window t;
    t.w.SetPictures(Bitmap(2000, 1000), Bitmap(2000, 1000));
    t.w.SetZoom(100);
    emit t.w.Tools().IconPressed(15, Qt::LeftButton);
    t.w.Timer3Timer();
    t.w.Timer3Timer();
    emit t.w.Tools().IconReleased(15, Qt::LeftButton);
    // The press steps at once (100 - 100 div 5 = 80), then the ticks: 80 - 1 div 5 - 80 div 35
    // = 78, and 78 - 2 div 5 - 78 div 35 = 76.
    QCOMPARE(t.w.Zoom(), 76);
    emit t.w.Tools().IconReleased(16, Qt::RightButton);
    const int fit = t.w.Zoom();
    QVERIFY(fit < 100);
    QVERIFY(2000 * fit / 100 <= t.w.Panel(1).width());
    emit t.w.Tools().IconReleased(16, Qt::LeftButton);
    QCOMPARE(t.w.Zoom(), 100);
  }

  void wheelZoomsInStepsOfFive() {
    Window t;
    t.w.SetZoom(100);
    QWheelEvent away(QPointF(50, 50), t.w.Panel(1).mapToGlobal(QPointF(50, 50)), QPoint(),
                     QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&t.w.Panel(1), &away);
    QCOMPARE(t.w.Zoom(), 110);
  }

  void dividerKeys() {
    Window t;
    const int half = t.w.centralWidget()->width() / 2;
    QTest::keyClick(&t.w, Qt::Key_Left);
    QTRY_COMPARE(t.w.DividerOffset(), half - 10);
    QTest::keyClick(&t.w, Qt::Key_Up);
    QCOMPARE(t.w.DividerOffset(), 0);
    QTest::keyClick(&t.w, Qt::Key_Right);
    QTRY_COMPARE(t.w.DividerOffset(), 10 - half);
    QTest::keyClick(&t.w, Qt::Key_Down);
    QCOMPARE(t.w.DividerOffset(), 0);
    QCOMPARE(t.w.Panel(1).width(), half - 7);
  }

  void dividerDraggedAndDoubleClicked() {
    Window t;
    DividerListener& divider = t.w;
    const int leftBefore = t.w.Panel(1).width();
    divider.DividerDragged(-100);
    divider.DividerReleased(-100);
    QCOMPARE(t.w.DividerOffset(), 104);
    QCOMPARE(t.w.Panel(1).width(), leftBefore - 104);
    divider.DividerDoubleClicked();
    divider.DividerReleased(0);
    QCOMPARE(t.w.DividerOffset(), 0);
    divider.DividerReleased(-5000);
    QCOMPARE(t.w.DividerOffset(), t.w.centralWidget()->width() / 2 - 10);
  }

  void aDiagonalFlickGlidesAndSlowsDown() {
    Window t;
    t.w.SetPictures(Bitmap(3000, 3000), Bitmap(3000, 3000));
    t.w.SetZoom(100);
    PanelListener& mouse = t.w;
    PanelMouse m;
    m.panel = 1;
    m.button = Qt::LeftButton;
    m.onPicture = true;
    m.picture = QPoint(400, 400);
    m.global = QPoint(500, 500);
    mouse.PanelPress(m);
    m.global += QPoint(-12, -12);
    mouse.PanelMove(m);
    mouse.PanelRelease(m);
    const QPoint before = t.w.Panel(1).PictureRect().topLeft();
    const QPoint before2 = t.w.Panel(2).PictureRect().topLeft();
    t.w.AccelTimerTimer();
    QCOMPARE(t.w.Panel(1).PictureRect().topLeft(), before + QPoint(-24, -24));
    t.w.AccelTimerTimer();
    QCOMPARE(t.w.Panel(1).PictureRect().topLeft(), before + QPoint(-24 - 20, -24 - 20));
    // The result picture glides with the source.
    QCOMPARE(t.w.Panel(2).PictureRect().topLeft() - before2, QPoint(-44, -44));
  }

  void copyThenPasteGivesTheResultAsSource() {
    Window t;
    Bitmap result(30, 20);
    result.Fill(MakeColour(10, 200, 30));
    t.w.SetPictures(Bitmap(50, 50), result);
    t.w.Copierledessindanslepressepapier1Click();
    t.w.Colleruneimagedepuislepressepapier1Click();
    QVERIFY(t.w.Source() == result);
  }

  void insertCyclesTheStyles() {
    Window t;
    t.w.SetStyle(view::WindowStyle::Charcoal);
    QTest::keyClick(&t.w, Qt::Key_Insert);
    QCOMPARE(t.w.Style(), view::WindowStyle::Obsidian);
    QTest::keyClick(&t.w, Qt::Key_Insert);
    QCOMPARE(t.w.Style(), view::WindowStyle::Slate);
    // The light style paints the panel background light, the dark ones dark.
    t.w.SetPictures(Bitmap(10, 10), Bitmap(10, 10));
    const QRgb light = PixelOf(t.w.Panel(1), QPoint(3, 200));
    QVERIFY(qGray(light) > 140);
    QTest::keyClick(&t.w, Qt::Key_Insert);
    QCOMPARE(t.w.Style(), view::WindowStyle::Charcoal);
    QVERIFY(qGray(PixelOf(t.w.Panel(1), QPoint(3, 200))) < 70);
  }

  void panelShowsThePictureWithAShadow() {
    Window t;
    Bitmap red(120, 90);
    red.Fill(MakeColour(255, 0, 0));
    t.w.SetPictures(red, red);
    t.w.SetZoom(100);
    PanelView& panel = t.w.Panel(1);
    const QRect shown = panel.PictureRect();
    QCOMPARE(shown.size(), QSize(120, 90));
    const QImage image = panel.grab().toImage();
    QCOMPARE(image.pixel(shown.center()), qRgb(255, 0, 0));
    // Below the picture, towards its right end, the background is darkened.
    const QRgb shadow = image.pixel(shown.right() - 5, shown.bottom() + 2);
    const QRgb plain = image.pixel(shown.right() - 5, shown.bottom() + 40);
    QVERIFY(qGray(shadow) < qGray(plain));
    // A zoom of 50 halves the shown size.
    t.w.SetZoom(50);
    QCOMPARE(panel.PictureRect().size(), QSize(60, 45));
  }

  void stopMarkerDraggedAlongTheStatusBar() {
    Window t;
    StatusPanel& status = t.w.Status();
    status.DragMarkerTo(status.width() / 2 + 10);
    QCOMPARE(status.StopPercent(), (status.width() / 2 + 15) * 100 / status.width());
    QCOMPARE(status.MarkerLeft(), status.width() / 2);
    status.DragMarkerTo(100000);
    QCOMPARE(status.StopPercent(), 100);
    status.SetStopPercent(100);
    QCOMPARE(status.MarkerLeft(), status.width() - 15);
  }
};

BRUMELEAF_APP_TEST(WidgetsTest)
#include "WidgetsTest.moc"
