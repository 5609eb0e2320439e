// The view arithmetic of the main window, on the numbers the window's rules are known by.

#include <QTest>

#include "AppTests.h"
#include "app/ViewMath.h"

using namespace brumeleaf::view;

class ViewMathTest : public QObject {
  Q_OBJECT

 private slots:
  void continuousZoomInFromHundred() {
    int zoom = 100;
    int counter = 1;
    QList<int> seen;
    for (int tick = 0; tick < 4; ++tick) {
      zoom = ZoomInTick(zoom, counter++);
      seen << zoom;
    }
    QCOMPARE(seen, (QList<int>{103, 106, 109, 113}));
    // The steps grow as the counter rises, and the slider's range caps them.
    QVERIFY(ZoomInTick(500, 40) - 500 > ZoomInTick(500, 1) - 500);
    QCOMPARE(ZoomInTick(990, 50), 1000);
    QCOMPARE(ZoomOutTick(6, 50), 5);
    QCOMPARE(ZoomOutTick(100, 1), 98);
  }

  void rightClickSteps() {
    QCOMPARE(ZoomOutStep(105), std::optional<int>(5));
    QCOMPARE(ZoomOutStep(100), std::optional<int>(90));
    QCOMPARE(ZoomOutStep(15), std::optional<int>(5));
    QCOMPARE(ZoomOutStep(14), std::nullopt);
    QCOMPARE(ZoomInStep(900), std::optional<int>(1000));
    QCOMPARE(ZoomInStep(950), std::nullopt);
    QCOMPARE(WheelZoom(100, -1), 95);
    QCOMPARE(WheelZoom(998, 2), 1000);
  }

  void typedZoom() {
    QCOMPARE(ParseTypedZoom("250"), std::optional<int>(250));
    QCOMPARE(ParseTypedZoom("5"), std::optional<int>(5));
    QCOMPARE(ParseTypedZoom("4"), std::nullopt);
    QCOMPARE(ParseTypedZoom("1000"), std::optional<int>(1000));
    QCOMPARE(ParseTypedZoom("1001"), std::nullopt);
    QCOMPARE(ParseTypedZoom("12a"), std::nullopt);
    QCOMPARE(ParseTypedZoom("-50"), std::nullopt);
    QCOMPARE(ParseTypedZoom(""), std::nullopt);
    QCOMPARE(ParseTypedZoom("99999999999999999999"), std::nullopt);
  }

  void fitZoom() {
    QCOMPARE(FitZoom(600, 400, 1200, 400, true), 50);
    QCOMPARE(FitZoom(600, 400, 300, 200, true), 100);
    QCOMPARE(FitZoom(600, 400, 300, 200, false), 200);
    QCOMPARE(FitZoom(600, 400, 0, 0, false), 100);
    QCOMPARE(FitZoom(10, 10, 30000, 30000, false), 5);
  }

  void boundingKeepsSmallInsideAndLargeWithoutGap() {
    // Small picture (300 in a 500 box): stays wholly inside.
    QCOMPARE(BoundOffset(-20, 500, 300), 0);
    QCOMPARE(BoundOffset(250, 500, 300), 200);
    QCOMPARE(BoundOffset(120, 500, 300), 120);
    // Large picture (800 in a 500 box): never shows a gap.
    QCOMPARE(BoundOffset(30, 500, 800), 0);
    QCOMPARE(BoundOffset(-400, 500, 800), -300);
    QCOMPARE(BoundOffset(-100, 500, 800), -100);
    QCOMPARE(CentredOffset(500, 301), 100);
  }

  void cropSpanIsTheSameWhicheverWayItIsDragged() {
    QCOMPARE(CropSpan(10, 50, 100), CropSpan(50, 10, 100));
    QCOMPARE(CropSpan(10, 50, 100), (Span{10, 51}));
    // Both ends lie inside the picture; a drag past the edge is clipped to it.
    QCOMPARE(CropSpan(-5, 120, 100), (Span{0, 100}));
    QCOMPARE(CropSpan(120, 130, 100), (Span{100, 100}));
    QCOMPARE(SelectionSpan(80, 10, 50), (Span{10, 49}));
  }

  void layoutFollowsTheDivider() {
    const WindowLayout centred = ComputeLayout(1000, 700, 0, 48, 30, 0);
    QCOMPARE(centred.leftPanel, (Rect{4, 56, 493, 601}));
    QCOMPARE(centred.rightPanel, (Rect{503, 56, 492, 601}));
    QCOMPARE(centred.divider.left, 496);
    QCOMPARE(centred.statusBar.top, centred.leftPanel.Bottom() + 5);
    // The left arrow's extreme: the right panel takes all but 10 pixels each side of the middle.
    QCOMPARE(ClampDivider(10000, 1000), 490);
    QCOMPARE(ClampDivider(-10000, 1000), -490);
    const WindowLayout wide = ComputeLayout(1000, 700, 0, 48, 30, 490);
    QCOMPARE(wide.leftPanel.width, 3);
    QCOMPARE(wide.rightPanel.left + wide.rightPanel.width, 995);
  }

  void toolBarPositions() {
    const ZoomControlsLayout z = ComputeZoomControls(991, 56);
    QCOMPARE(z.icon17, 954);
    QCOMPARE(z.icon16, 916);
    QCOMPARE(z.icon15, 878);
    QCOMPARE(z.label, 798);
    QCOMPARE(ToolIconAt(5, z.icon15), 1);
    QCOMPARE(ToolIconAt(5 + 38 * 13 + 10, z.icon15), 14);
    QCOMPARE(ToolIconAt(z.icon15 + 1, z.icon15), 15);
    QCOMPARE(ToolIconAt(z.icon17 + 20, z.icon15), 17);
    // The empty stretch between icon 14 and the zoom icons belongs to no icon.
    QCOMPARE(ToolIconAt(700, z.icon15), 0);
  }

  void stopMarker() {
    QCOMPARE(StopMarkerLeft(100, 900, 4), 885);
    QCOMPARE(StopMarkerLeft(40, 900, 4), 350);
    QCOMPARE(StopMarkerLeft(0, 900, 4), -1);
    QCOMPARE(StopMarkerDragLeft(2000, 900, 4), 885);
    QCOMPARE(StopMarkerDragLeft(0, 900, 4), -1);
  }

  void glide() {
    QVERIFY(!GlideStarts(40, 0, 10));  // a purely horizontal flick does not glide
    QVERIFY(GlideStarts(12, -12, 10));
    QVERIFY(!GlideStarts(8, 8, 10));
    QVERIFY(GlideStarts(8, 8, 7));
    QCOMPARE(GlideSlowdown(40), 34);
    QCOMPARE(GlideSlowdown(-40), -34);
    QVERIFY(GlideEnds(1, -1));
    QVERIFY(!GlideEnds(2, 0));
  }

  void fullScreenFit() {
    QCOMPARE(FullScreenRect(1600, 900, 1700, 1000), (Rect{0, 0, 1600, 900}));
    // A wide panorama fills the width, centred vertically.
    const Rect wide = FullScreenRect(1600, 900, 3000, 1000);
    QCOMPARE(wide.width, 1600);
    QCOMPARE(wide.height, 33 * 1600 / 100);
    QCOMPARE(wide.top, (900 - wide.height) / 2);
    const Rect tall = FullScreenRect(1600, 900, 500, 1000);
    QCOMPARE(tall.height, 900);
    QCOMPARE(tall.width, 50 * 900 / 100);
    QCOMPARE(FullScreenRect(1600, 900, 0, 0), (Rect{0, 0, 1600, 900}));
  }

  void styleOrderAndShadow() {
    QCOMPARE(NextStyle(WindowStyle::Charcoal), WindowStyle::Obsidian);
    QCOMPARE(NextStyle(WindowStyle::Obsidian), WindowStyle::Slate);
    QCOMPARE(NextStyle(WindowStyle::Slate), WindowStyle::Charcoal);
    QCOMPARE(ShadowDepth(200), 5);
    QCOMPARE(ShadowDepth(201), 7);
    QCOMPARE(ShadowDepth(20), 0);
  }
};

BRUMELEAF_APP_TEST(ViewMathTest)
#include "ViewMathTest.moc"
