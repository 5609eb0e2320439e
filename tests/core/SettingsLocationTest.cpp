// Where the desktop program keeps its settings file once it is installed.

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/SettingsFile.h"
#include "tests/core/TestPictures.h"

using brumeleaf::SettingsFilePath;
using brumeleaf::testing::ScratchFolder;

// Installed by a package, the program lives in a system folder that root can write; its
// settings must still go to the user's configuration folder, or removing the package would
// leave a stray Brumeleaf.ini among the system's programs.
TEST(SettingsLocation, InstalledProgramsKeepSettingsInTheUsersConfiguration) {
  const std::filesystem::path config = "/home/ana/.config";
  const std::filesystem::path expected = config / "Brumeleaf" / "Brumeleaf.ini";
  for (const char* folder : {"/usr/bin", "/usr/local/bin", "/usr/local/bin/", "/usr/bin/../bin", "/bin"})
    EXPECT_EQ(SettingsFilePath(folder, config), expected) << folder;
  // A copy unpacked anywhere else keeps its settings beside itself, as before.
  ScratchFolder portable("settings-beside");
  const std::filesystem::path folder = std::filesystem::path(portable.File("x")).parent_path();
  EXPECT_EQ(SettingsFilePath(folder, config), folder / "Brumeleaf.ini");
  EXPECT_EQ(SettingsFilePath("/usr/lib/brumeleaf-no-such-folder", config), expected);
}
