#pragma once
// The main window as the program runs it, for the window tests: idle resets on a timer (QTest's
// waits handle events without ever blocking, so the idle moments are simulated), questions and
// messages answered and recorded by the test.

#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <utility>

#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/ProcessingDriver.h"
#include "imaging/Bitmap.h"
#include "imaging/Colour.h"

namespace brumeleaf::test {

// Detail on every row, in colour, so that every effect has work everywhere.
inline Bitmap DetailedPhoto(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int v = ((x / 7 + y / 5) % 2) * 120 + (x * 3 + y) % 90;
      b.SetPixel(x, y, MakeColour(v, (v + x) & 255, (200 - v + y) & 255));
    }
  }
  return b;
}

struct MainWindowHarness {
  MainWindow w;
  int questions = 0;
  bool answer = true;
  QStringList messages;
  QTimer idle;
  explicit MainWindowHarness(QStringList arguments = {}) : w(std::move(arguments)) {
    w.AskOkCancel = [this](const QString&, const QString&) {
      ++questions;
      return answer;
    };
    w.ShowMessage = [this](const QString& text) { messages << text; };
    QObject::connect(&idle, &QTimer::timeout, &w, &MainWindow::IdleReset);
    idle.start(10);
    w.resize(1100, 760);
  }
  ParametersWindow& P() { return w.ParametersForm(); }
  bool WaitRun() {
    QSignalSpy finished(&P().Driver(), &ProcessingDriver::RunFinished);
    return finished.wait(30000);
  }
};

}  // namespace brumeleaf::test
