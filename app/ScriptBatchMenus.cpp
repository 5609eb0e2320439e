#include "app/ScriptBatchMenus.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>

#include <filesystem>

#include "app/BatchWindow.h"
#include "app/MainWindow.h"
#include "app/ScriptWindow.h"
#include "batch/Batch.h"
#include "batch/CommandLine.h"

namespace brumeleaf {

namespace {

// Ends a script or a batch while the main window still exists, when it is closed.
class CloseGuard : public QObject {
 public:
  CloseGuard(MainWindow& main, ScriptWindow& script, BatchWindow& batch)
      : QObject(&main), script_(script), batch_(batch) {
    main.installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      script_.Abandon();
      batch_.Abandon();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  ScriptWindow& script_;
  BatchWindow& batch_;
};

void Show(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

QString CopyAsCommandLine(MainWindow& main) {
  namespace fs = std::filesystem;
  const fs::path input = fs::path(main.Settings().openFolder) / main.PictureName();
  fs::path output = input.parent_path() / BatchOutputName(input);
  output.replace_extension(".png");  // lossless, so the bytes can be compared with the window's
  const CommandLineText text = ApplyCommandLine(main.GetSession().Settings(), main.GetSession().Rand().Seed(),
                                                input.string(), output.string());
  QString clip = QString::fromUtf8(text.line.c_str());
  if (!text.leftOut.empty()) {
    std::string note = "\n# not carried on the command line:";
    for (const std::string& item : text.leftOut) note += " " + item;
    clip += QString::fromUtf8(note.c_str());
  }
  QGuiApplication::clipboard()->setText(clip);
  return clip;
}

void InstallScriptAndBatchWindows(MainWindow& main) {
  auto* script = new ScriptWindow(main);
  auto* batch = new BatchWindow(main);
  new CloseGuard(main, *script, *batch);
  if (QAction* action = main.Action(QStringLiteral("Script1"))) {
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, script, [script] { Show(script); });
  }
  if (QAction* action = main.Action(QStringLiteral("Copyascommandline1")))
    QObject::connect(action, &QAction::triggered, &main, [&main] { CopyAsCommandLine(main); });
  if (QAction* action = main.Action(QStringLiteral("Batchprocessing1"))) {
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, batch, [batch] { Show(batch); });
  }
}

ScriptWindow* FindScriptWindow(MainWindow& main) { return main.findChild<ScriptWindow*>(QStringLiteral("Form14")); }
BatchWindow* FindBatchWindow(MainWindow& main) { return main.findChild<BatchWindow*>(QStringLiteral("Form2")); }

}  // namespace brumeleaf
