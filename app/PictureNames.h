#pragma once
// Names around picture files: the name proposed while a run is in progress, the extension
// rules of saving and of the command line. (The title line and the save dialog's proposed
// name live with the picture and parameter files.)

#include <string>

namespace brumeleaf {

inline constexpr const char* kDefaultPictureName = "Brumeleaf image";

// The name proposed while a run is in progress, with the progress bar's position.
std::string ProposedInProgressName(const std::string& pictureName, int position);

enum class SaveFormat { Jpeg, Png, Bmp };

// The name actually written for the chosen format: ".jpg" is appended unless the name ends in
// ".jpg" (any case), ".png" unless it ends in ".png"; BMP names are kept as typed.
std::string NameForFormat(const std::string& chosenName, SaveFormat format);

// Lower-cased extension including the dot ("" when there is none).
std::string LowerExtension(const std::string& path);

// Whether a command-line argument names a picture the loader takes (.jpg, .jpeg, .bmp, .png in
// any case).
bool IsLoadablePicture(const std::string& path);

// Whether an argument is a web address ("http://" or "https://" in any case).
bool IsWebAddress(const std::string& argument);

// The file name without its folder.
std::string FileNameOf(const std::string& path);

}  // namespace brumeleaf
