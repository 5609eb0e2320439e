// The brush mode of the result panel and the print preview, driven as a user would.

#include <QApplication>
#include <QFile>
#include <QWheelEvent>
#include <QTemporaryDir>
#include <QTest>

#include "AppTests.h"
#include "app/BrushWindow.h"
#include "app/MainWindow.h"
#include "app/PanelView.h"
#include "app/ParametersWindow.h"
#include "app/PrintPreviewWindow.h"
#include "history/History.h"

using namespace brumeleaf;

namespace {

constexpr int kFinishingOnlyEntry = 35;

Bitmap Filled(int w, int h, Colour c) {
  Bitmap b(w, h);
  b.Fill(c);
  return b;
}

struct BrushSetup {
  MainWindow w;
  QStringList messages;
  BrushSetup() {
    w.ShowMessage = [this](const QString& text) { messages << text; };
    w.AskOkCancel = [](const QString&, const QString&) { return true; };
    w.resize(1000, 700);
    w.show();
    Bitmap source = Filled(121, 91, MakeColour(200, 40, 10));
    source.FillRect(0, 0, 60, 91, MakeColour(10, 220, 30));
    w.SetPictures(source, Filled(121, 91, MakeColour(20, 90, 230)));
    w.ParametersForm().Model().SelectEntry(kFinishingOnlyEntry);
  }
  BrushWindow& Brush() { return w.ParametersForm().Brush(); }
};

}  // namespace

class BrushAndPrintTest : public QObject {
  Q_OBJECT

 private slots:
  void aStrokeIsOneHistoryStepAndUndoRestoresTheResult() {
    BrushSetup t;
    const Bitmap before = t.w.Result();
    t.w.ParametersForm().Button4Click();
    QVERIFY(t.Brush().Active());
    t.Brush().SetSettings({10, 100, false});
    t.Brush().SetBrushPicture(Filled(16, 16, kBlack));
    const int steps = t.w.HistoryCount();
    t.Brush().StrokePress();
    t.Brush().StrokeMove({30, 40});
    t.Brush().StrokeRelease({90, 40});
    t.w.WaitForComputation();
    QVERIFY(!t.Brush().PendingStroke().has_value());
    QCOMPARE(t.w.HistoryCount(), steps + 1);
    QCOMPARE(t.w.Result().Pixel(30, 40), t.w.Source().Pixel(30, 40));
    QCOMPARE(t.w.Result().Pixel(90, 40), t.w.Source().Pixel(90, 40));
    QCOMPARE(t.w.Result().Pixel(60, 40), before.Pixel(60, 40));  // between the two stamps
    t.w.Annuler1Click();
    QVERIFY(t.w.Result() == before);
    QVERIFY(t.messages.isEmpty());
  }

  void thePanelsMouseGoesToTheBrushWhileItIsOn() {
    BrushSetup t;
    const Bitmap before = t.w.Result();
    t.w.ParametersForm().Button4Click();
    t.Brush().SetSettings({10, 100, false});
    t.Brush().SetBrushPicture(Filled(16, 16, kBlack));
    PanelView& panel = t.w.Panel(2);
    const int zoom = t.w.Zoom();
    const QPoint at = panel.PictureRect().topLeft() + QPoint(100 * zoom / 100, 20 * zoom / 100);
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, at);
    t.w.WaitForComputation();
    QVERIFY(t.w.Result().Pixel(100, 20) != before.Pixel(100, 20));
    QCOMPARE(t.w.Result().Pixel(0, 90), before.Pixel(0, 90));
    // Off again: the panel pans as before and strokes do nothing.
    t.w.ParametersForm().Button4Click();
    QVERIFY(!t.Brush().Active());
  }

  void theBrushWindowsWheelAndPreview() {
    BrushSetup t;
    BrushWindow& brush = t.Brush();
    brush.SetSettings({197, 5, false});
    QWheelEvent toward(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
    QApplication::sendEvent(&brush, &toward);
    QCOMPARE(brush.Settings().size, 199);
    QCOMPARE(brush.PreviewPicture().Width(), 200);
  }

  void printPreviewOrientationScaleAndPdf() {
    const Bitmap wide = Filled(301, 200, MakeColour(200, 40, 10));
    PrintPreviewWindow window(wide, nullptr);
    QCOMPARE(window.Orientation(), PageOrientation::Landscape);
    window.Edit1Changed(QStringLiteral("150"));
    QCOMPARE(window.Scale(), 150);
    window.Edit1Changed(QStringLiteral("80%"));
    QCOMPARE(window.Scale(), 80);
    window.Edit1Changed(QStringLiteral("eighty"));
    QCOMPARE(window.Scale(), 80);
    window.RadioButton1Click();
    const PrintRect r = window.Layout();
    const PrinterPage page = window.Page();
    QVERIFY(r.left >= 0 && r.top >= 0 && r.left + r.width <= page.width && r.top + r.height <= page.height);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    QVERIFY(window.ExportPdf(path));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.read(5), QByteArray("%PDF-"));

    const Bitmap square = Filled(200, 200, kWhite);
    PrintPreviewWindow squareWindow(square, nullptr);
    QCOMPARE(squareWindow.Orientation(), PageOrientation::Portrait);
  }
};

BRUMELEAF_APP_TEST(BrushAndPrintTest)
#include "BrushAndPrintTest.moc"
