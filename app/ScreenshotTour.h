#pragma once
// `brumeleaf --tour FOLDER`: walks the main window through its states (the three styles, a crop
// selection, a run in progress, a shifted divider) and saves a picture of each, for the
// documentation and for checking the look after a change.

#include <QString>

namespace brumeleaf {

class MainWindow;

void RunScreenshotTour(MainWindow& window, const QString& folder);

}  // namespace brumeleaf
