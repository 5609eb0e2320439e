#pragma once
// The script window (F5) and the batch window (Ctrl+B): created with the main window, shown
// from its Edit menu.

#include <QString>

namespace brumeleaf {

class BatchWindow;
class MainWindow;
class ScriptWindow;

// Creates both windows as children of `main` and enables and connects the two menu commands.
void InstallScriptAndBatchWindows(MainWindow& main);

// "Copy as command line": the brumeleaf-cli line that repeats "Draw!" with the current effect,
// values, finishing options and seed, put on the clipboard (and returned).
QString CopyAsCommandLine(MainWindow& main);

ScriptWindow* FindScriptWindow(MainWindow& main);
BatchWindow* FindBatchWindow(MainWindow& main);

}  // namespace brumeleaf
