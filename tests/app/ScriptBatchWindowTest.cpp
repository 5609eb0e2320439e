// The script and batch windows driven as a user would, each run waiting on the processing
// driver like "Draw!".

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>

#include "AppTests.h"
#include "app/BatchWindow.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/ProcessingDriver.h"
#include "app/ScriptBatchMenus.h"
#include "app/ScriptWindow.h"
#include "effects/Catalogue.h"
#include "io/PictureFile.h"
#include "script/ScriptRunner.h"

using namespace brumeleaf;

namespace {

Bitmap Photo(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int v = ((x / 7 + y / 5) % 2) * 120 + (x * 3 + y) % 90;
      b.SetPixel(x, y, MakeColour(v, (v + x) & 255, (200 - v + y) & 255));
    }
  return b;
}

struct Program {
  MainWindow w;
  QStringList messages;
  QTimer idle;
  std::vector<int> asked;  // answers the integer prompts take, in order
  Program() {
    w.AskOkCancel = [](const QString&, const QString&) { return true; };
    w.ShowMessage = [this](const QString& text) { messages << text; };
    QObject::connect(&idle, &QTimer::timeout, &w, &MainWindow::IdleReset);
    idle.start(10);
    w.resize(1000, 700);
    w.show();
    w.activateWindow();
    S().AskInteger = [this](const QString&, const QString&, int low, int high) -> std::optional<int> {
      if (asked.empty()) return std::nullopt;
      const int v = asked.front();
      asked.erase(asked.begin());
      if (v < low || v > high) return std::nullopt;
      return v;
    };
  }
  ScriptWindow& S() { return *FindScriptWindow(w); }
  BatchWindow& B() { return *FindBatchWindow(w); }
};

Script Steps(std::initializer_list<ScriptRow> rows) {
  Script script;
  int row = 1;
  for (const ScriptRow& r : rows) script.Row(row++) = r;
  return script;
}

}  // namespace

class ScriptBatchWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void menuCommandsOpenTheWindows() {
    Program t;
    QVERIFY(t.w.Action(QStringLiteral("Script1"))->isEnabled());
    QVERIFY(t.w.Action(QStringLiteral("Batchprocessing1"))->isEnabled());
    t.w.Action(QStringLiteral("Script1"))->trigger();
    QVERIFY(t.S().isVisible());
    QCOMPARE(t.S().Grid()->rowCount(), 49);
    QVERIFY(t.S().Grid()->isColumnHidden(6));
  }

  void popupCommandsFillTheCurrentRow() {
    Program t;
    ScriptWindow& s = t.S();
    s.SetCurrentRow(1);
    t.w.Parameters().SelectEntry(ListIndexOfCode(0));
    s.AddCurrentEffect();
    QCOMPARE(s.GetScript().Cell(6, 1), std::string("0"));
    QVERIFY(!s.GetScript().Cell(1, 1).empty());
    QCOMPARE(s.CurrentRow(), 2);
    s.AddOperation(kScriptSwap);
    QCOMPARE(s.GetScript().Cell(0, 2), std::string("Swap left and right images"));
    QCOMPARE(s.GetScript().Cell(6, 2), std::string("110"));
    QCOMPARE(s.CurrentRow(), 2);
    // Both prompts must be confirmed with whole numbers in range.
    t.asked = {640};
    s.AddResize(kScriptResizeLeft);
    QCOMPARE(s.GetScript().Cell(6, 2), std::string("110"));
    t.asked = {640, 0};
    s.AddResize(kScriptResizeLeft);
    QCOMPARE(s.GetScript().Cell(6, 2), std::string("110"));
    t.asked = {640, 480};
    s.AddResize(kScriptResizeRight);
    QCOMPARE(s.GetScript().Cell(1, 2), std::string("640"));
    QCOMPARE(s.GetScript().Cell(6, 2), std::string("109"));
    // "# = " puts the value in and shows the step on the sliders.
    t.asked = {7};
    s.EditCell(1, 2);
    QCOMPARE(s.GetScript().Cell(2, 1), std::string("7"));
    QCOMPARE(t.w.Parameters().Slider(2).position, t.w.Parameters().Slider(2).range.Clamp(7));
    s.InsertLine();
    QCOMPARE(s.GetScript().RowCount(), 51);
    QCOMPARE(s.GetScript().Cell(6, 3), std::string("109"));
    s.DeleteLine();
    QCOMPARE(s.GetScript().Cell(6, 2), std::string("109"));
  }

  void aScriptRunGivesTheBytesOfTheHeadlessRunAndRestoresTheChoices() {
    Program t;
    t.w.SetPictures(Photo(61, 43), Photo(61, 43));
    t.w.SaveToHistory(1);
    t.w.Parameters().ClickTextureNumber(2);
    QVERIFY(t.w.Parameters().Finishing().texture);
    const Script script = Steps({{"", "", "", "", "", "", "0"}, {"", "", "", "", "", "", "112"}});
    t.S().SetScript(script);

    Session headless(t.w.GetSession().Rand().Seed());
    headless.Settings() = t.w.GetSession().Settings();
    headless.OpenPicture(t.w.Source(), "x");
    std::optional<Bitmap> stored;
    QVERIFY(RunScript(headless, script, stored, "x").Completed());

    QSignalSpy finished(&t.S(), &ScriptWindow::ScriptFinished);
    t.S().Run();
    QVERIFY(t.S().Running());
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QVERIFY(t.w.Result() == headless.Result());
    QVERIFY(t.w.Source() == Photo(61, 43));
    QVERIFY(t.w.Parameters().Finishing().texture);
    QVERIFY(t.w.UndoEnabled());
    QVERIFY(!t.w.centralWidget()->findChild<QWidget*>(QStringLiteral("BusyOverlay"))->isVisible());
  }

  void copyAsCommandLineRepeatsDraw() {
    Program t;
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("my photo.png"));
    SavePicture(Photo(53, 37), photo.toStdString());
    QVERIFY(t.w.OpenPictureFile(photo));
    t.w.Parameters().SelectEntry(ListIndexOfCode(0));
    t.w.Parameters().ChangeSlider(1, t.w.Parameters().Slider(1).range.low + 2);
    t.w.Parameters().ClickTextureNumber(5);
    t.w.Action(QStringLiteral("Copyascommandline1"))->trigger();
    const QString line = QGuiApplication::clipboard()->text();
    QVERIFY(line.startsWith(QStringLiteral("brumeleaf-cli apply '") + photo));
    QVERIFY(line.contains(QStringLiteral("--effect 0 ")));
    QVERIFY(line.contains(QStringLiteral("--texture 6")));
    const int at = line.indexOf(QStringLiteral("--seed "));
    QVERIFY(at > 0);
    const auto seed = static_cast<std::uint32_t>(line.mid(at + 7).section(QLatin1Char(' '), 0, 0).toULongLong());
    QCOMPARE(seed, t.w.GetSession().Rand().Seed());

    // What the line runs (the command line's own test runs the line itself).
    Session headless(seed);
    headless.Settings() = t.w.GetSession().Settings();
    headless.OpenPicture(LoadPicture(photo.toStdString()), "x");
    QVERIFY(headless.Run().Completed());
    QSignalSpy finished(&t.w.ParametersForm().Driver(), &ProcessingDriver::RunFinished);
    t.w.ParametersForm().SpeedButton1Click();
    QVERIFY(finished.wait(20000));
    QVERIFY(t.w.Result() == headless.Result());
  }

  void escapeEndsAScriptAndRestoresTheBoxes() {
    Program t;
    t.w.SetPictures(Photo(400, 300), Photo(400, 300));
    t.w.Parameters().SetAddFrame(true);
    t.w.Parameters().SetAddText(true);
    t.S().SetScript(Steps({{"", "", "", "", "", "", "0"}, {"", "", "", "", "", "", "0"}, {"", "", "", "", "", "", "0"}}));
    QSignalSpy finished(&t.S(), &ScriptWindow::ScriptFinished);
    t.S().Run();
    QVERIFY(!t.w.Parameters().Finishing().addFrame);
    QTest::keyClick(&t.S(), Qt::Key_Escape);
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(t.w.Parameters().Finishing().addFrame);
    QVERIFY(t.w.Parameters().Finishing().addText);
    QVERIFY(!t.S().Running());
  }

  void aBatchReportsAnUnreadableFileAndGoesOn() {
    Program t;
    QTemporaryDir dir;
    const std::string a = dir.filePath(QStringLiteral("a.png")).toStdString();
    const std::string bad = dir.filePath(QStringLiteral("b.jpg")).toStdString();
    const std::string c = dir.filePath(QStringLiteral("c.bmp")).toStdString();
    SavePicture(Photo(31, 17), a);
    { std::ofstream(bad) << "no picture"; }
    SavePicture(Photo(13, 29), c);
    BatchWindow& b = t.B();
    b.AddFiles({QString::fromStdString(a), QString::fromStdString(bad), QString::fromStdString(c)});
    QCOMPARE(b.OutputFolder(), dir.path());

    // No folder, no batch.
    b.SetOutputFolder(QString());
    b.Process();
    QVERIFY(!b.Running());
    QCOMPARE(t.messages.size(), 1);

    b.SetOutputFolder(dir.filePath(QStringLiteral("out")));
    QSignalSpy finished(&b, &BatchWindow::BatchFinished);
    b.Process();
    QVERIFY(b.Running());
    QVERIFY(!t.w.Action(QStringLiteral("Rotateleft1"))->isEnabled());
    QVERIFY(finished.wait(30000));
    QCOMPARE(b.LastSummary().written, 2);
    QCOMPARE(b.LastSummary().failed, 1);
    QVERIFY(t.w.Action(QStringLiteral("Rotateleft1"))->isEnabled());
    QCOMPARE(b.Files(), QStringList{QString::fromStdString(bad)});
    QVERIFY(t.messages.last().contains(QStringLiteral("2 written, 0 skipped, 1 failed")));
    QCOMPARE(LoadPicture(dir.filePath(QStringLiteral("out/c_Brumeleaf.bmp")).toStdString()).Height(), 29);
  }
};

BRUMELEAF_APP_TEST(ScriptBatchWindowTest)
#include "ScriptBatchWindowTest.moc"
