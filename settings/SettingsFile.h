#pragma once
// The settings file "Brumeleaf.ini": 43 lines in a fixed order, each section header followed by
// a fixed number of value lines without key names. The reader checks the headers and stops at
// the first line that does not fit, keeping what it has read so far and the defaults for the
// rest. The values belong to several windows; this model only carries them between runs.

#include <filesystem>
#include <string>

#include "effects/EffectSettings.h"

namespace brumeleaf {

struct WindowPlacement {
  int left = 0;
  int top = 0;
  int width = 0;   // -1: maximised (height is then -1 too)
  int height = 0;
  bool Maximised() const { return width == -1; }
  bool operator==(const WindowPlacement&) const = default;
};

struct AppSettings {
  int style = 3;  // 1 Charcoal, 2 Slate, 3 Obsidian
  WindowPlacement placement;  // as read (before the desktop correction)
  bool placementRead = false;
  std::string language = "void";
  std::string openFolder;
  std::string brushFolder;
  // Frames window (a missing or short file gives margin 150, spacing 75, frames 1).
  PictureFrameOptions frame;
  bool addFrameChecked = false;  // written for the record; every run starts unchecked
  // Text window.
  CaptionOptions caption;
  // Texture.
  int textureNumber = -1;
  int textureStrength = -1;
  // Options.
  bool updateCheck = true;
  bool examplePictures = true;
  bool saveParametersInName = false;

  bool operator==(const AppSettings&) const = default;
};

// How far reading got. Refused: the file is far too large to be a settings file and was not read.
enum class SettingsReadResult { Missing, Complete, StoppedEarly, Refused };

// Window sides the reader accepts; anything outside leaves the default placement.
inline constexpr int kMinWindowSide = 100;
inline constexpr int kMaxWindowSide = 1 << 16;

// Reads the text of a settings file (CR LF or LF line ends) into `settings`, which should hold
// the defaults on entry. Reading stops at a header that does not match or a value line that is
// not a whole number where one is expected. A number outside the range its control accepts
// (or a window placement no screen could show) keeps the default, so it is never written back.
SettingsReadResult ParseSettings(const std::string& text, AppSettings& settings);

// The 43 lines, CR LF ended. `placement` is what the window reports (maximised: 0, 0, -1, -1).
std::string FormatSettings(const AppSettings& settings, const WindowPlacement& placement);

// The placement returned to the window: a window that would reach past the desktop's right or
// bottom edge is moved to 0 and given the desktop's width or height.
WindowPlacement CorrectPlacement(WindowPlacement placement, int desktopWidth, int desktopHeight);

// The same for a desktop (the screen's available area) that does not start at 0, 0: the result
// lies inside it. A window also reaching past the left or top edge is moved to that edge and
// given the desktop's width or height; one of an unusable size gets the default placement.
// Computed without overflow for any numbers.
WindowPlacement FitPlacement(WindowPlacement placement, int desktopLeft, int desktopTop,
                             int desktopWidth, int desktopHeight);

// The default placement: 95 % of the desktop, centred.
WindowPlacement DefaultPlacement(int desktopWidth, int desktopHeight);

// Where the file lives: beside the executable when that folder is writable, otherwise in the
// user's configuration folder (`configHome`/Brumeleaf), so that settings are never silently lost.
// An installed program (in /usr/bin, /usr/local/bin, ...) always uses the configuration folder.
std::filesystem::path SettingsFilePath(const std::filesystem::path& executableFolder,
                                       const std::filesystem::path& configHome);

// Reads the file at `path`; a missing or unreadable file leaves the defaults. A file too large
// to be a settings file is refused unread (Refused), with the reason in `message` if given.
SettingsReadResult LoadSettingsFile(const std::filesystem::path& path, AppSettings& settings,
                                    std::string* message = nullptr);

// Writes through a temporary file and a rename, creating the folder if needed. Returns false
// (and leaves any previous file untouched) when the folder cannot be written.
bool SaveSettingsFile(const std::filesystem::path& path, const AppSettings& settings,
                      const WindowPlacement& placement);

}  // namespace brumeleaf
