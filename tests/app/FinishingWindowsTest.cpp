// The frames and text windows driven as a user would: the style's controls and preview, the
// live caption that never touches the result, Cancel and OK.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "AppTests.h"
#include "app/FramesWindow.h"
#include "app/MainWindow.h"
#include "app/TextWindow.h"
#include "pipeline/PictureFrame.h"

using namespace brumeleaf;

namespace {

Bitmap Photo(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, MakeColour((x * 5) & 255, (y * 3) & 255, ((x + y) * 2) & 255));
  return b;
}

}  // namespace

class FinishingWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void framesWindowShowsEachStylesControlsAndPreview() {
    QWidget parent;
    FramesWindow frames(&parent);
    const Bitmap source = Photo(300, 220);
    PictureFrameOptions start;
    bool checked = false;
    QTimer::singleShot(0, &frames, [&] {
      auto* style = frames.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
      auto* margin = frames.findChild<QSpinBox*>(QStringLiteral("UpDown1"));
      auto* spacing = frames.findChild<QSpinBox*>(QStringLiteral("UpDown5"));
      auto* red = frames.findChild<QSlider*>(QStringLiteral("TrackBar1"));
      QCOMPARE(margin->value(), 150);
      style->setCurrentIndex(3);
      QVERIFY(red->isVisible());
      QVERIFY(!spacing->isVisible());
      red->setValue(40);
      style->setCurrentIndex(4);
      QVERIFY(spacing->isVisible());
      QVERIFY(!red->isVisible());
      style->setCurrentIndex(1);
      margin->setValue(40);
      frames.Timer1Timer();
      Random random(1);
      RunContext ctx({}, random);
      QCOMPARE(frames.PreviewPicture(), FramePreview(source, frames.Options(), ctx));
      checked = true;
      frames.accept();
    });
    const PictureFrameOptions chosen = frames.Edit(start, source);
    QVERIFY(checked);
    QCOMPARE(chosen.style, 1);
    QCOMPARE(chosen.Margin(), 40);
    QCOMPARE(chosen.tintRed, 40);
  }

  void liveTextNeverTouchesTheResultAndCancelLeavesIt() {
    MainWindow w;
    w.resize(900, 600);
    w.show();
    const Bitmap photo = Photo(320, 240);
    w.SetPictures(photo, photo);
    w.ShowTextWindow();
    auto* text = w.findChild<TextWindow*>(QStringLiteral("Form9"));
    QVERIFY(text);
    QVERIFY(text->isVisible());
    auto* edit = text->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    edit->clear();
    // The main window's single-key commands (R, L rotate) must not take these letters.
    QTest::keyClicks(edit, QStringLiteral("Live caption rl"));
    QCOMPARE(edit->text(), QStringLiteral("Live caption rl"));
    QCOMPARE(w.Result(), photo);
    edit->setText(QStringLiteral("Live caption"));
    text->findChild<QScrollBar*>(QStringLiteral("ScrollBar1"))->setValue(10);
    QCOMPARE(text->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentIndex(), 0);
    QTest::qWait(50);
    QCOMPARE(w.Result(), photo);
    // A new picture while the window is open: nothing old is pasted into it.
    const Bitmap other = Photo(200, 150);
    w.SetPictures(other, other);
    text->TextChange();
    text->findChild<QPushButton*>(QStringLiteral("Button3"))->click();
    QVERIFY(!text->isVisible());
    QCOMPARE(w.Result(), other);
    QCOMPARE(w.GetSession().Settings().Finishing().caption.text, std::string("Live caption"));
  }

  void okStampsTheCaptionAndRecordsIt() {
    MainWindow w;
    w.resize(900, 600);
    w.show();
    const Bitmap photo = Photo(320, 240);
    w.SetPictures(photo, photo);
    const bool undoBefore = w.UndoEnabled();
    w.ShowTextWindow();
    auto* text = w.findChild<TextWindow*>(QStringLiteral("Form9"));
    text->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("Signed"));
    text->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
    text->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    QVERIFY(!text->isVisible());
    QVERIFY(w.Result() != photo);
    QCOMPARE(w.Result().Width(), 320);
    QVERIFY(w.UndoEnabled() || undoBefore);
    // Top left: only the top-left corner changed.
    for (int y = 60; y < 240; ++y)
      for (int x = 0; x < 320; ++x) QCOMPARE(w.Result().Pixel(x, y), photo.Pixel(x, y));
  }
};

#include "FinishingWindowsTest.moc"

BRUMELEAF_APP_TEST(FinishingWindowsTest)
