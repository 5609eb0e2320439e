#pragma once
// `brumeleaf --tour FOLDER`: walks the main window through its states (the three styles, a crop
// selection, a run in progress, a shifted divider) and saves a picture of each, for the
// documentation and for checking the look after a change. With a language (a table code such
// as "de" or a menu name such as "German") the tour is taken in that language, and it adds the
// main window with its Edit menu open beside the parameters window with its effect list, as one
// picture (language.png) for comparing the languages.

#include <QString>

namespace brumeleaf {

class MainWindow;

void RunScreenshotTour(MainWindow& window, const QString& folder, const QString& language = {});

}  // namespace brumeleaf
