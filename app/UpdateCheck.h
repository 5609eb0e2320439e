#pragma once
// The update check: a short version file at the program's own address, compared with the
// version of this build.

#include <string>

namespace brumeleaf {

// The version in the four-character form the version file uses ("0.00").
inline constexpr const char* kProgramVersion = "0.10";
inline constexpr const char* kVersionAddress = "https://brumeleaf.example/currentversion.txt";
inline constexpr const char* kDownloadPage = "https://brumeleaf.example/download";

// The first four characters of the file laid over the template "0.00", character by character.
inline std::string RemoteVersion(const std::string& fileText) {
  std::string version = "0.00";
  for (std::size_t i = 0; i < version.size() && i < fileText.size(); ++i) version[i] = fileText[i];
  return version;
}

}  // namespace brumeleaf
