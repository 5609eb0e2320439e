#include "app/PictureNames.h"

#include <algorithm>
#include <cctype>

namespace brumeleaf {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool EndsWithLower(const std::string& name, const std::string& suffix) {
  return name.size() >= suffix.size() && Lower(name.substr(name.size() - suffix.size())) == suffix;
}

}  // namespace

std::string ProposedInProgressName(const std::string& pictureName, int position) {
  if (pictureName == kDefaultPictureName) {
    return std::string(kDefaultPictureName) + " " + std::to_string(position) + ".jpg";
  }
  return "Brumeleaf " + std::to_string(position) + " " + pictureName;
}

std::string NameForFormat(const std::string& chosenName, SaveFormat format) {
  switch (format) {
    // Either spelling of the JPEG extension is kept: "photo.jpeg" is not "photo.jpeg.jpg". A
    // name without the format's extension gets it, so that the file can be opened again.
    case SaveFormat::Jpeg:
      return EndsWithLower(chosenName, ".jpg") || EndsWithLower(chosenName, ".jpeg") ? chosenName
                                                                                      : chosenName + ".jpg";
    case SaveFormat::Png: return EndsWithLower(chosenName, ".png") ? chosenName : chosenName + ".png";
    case SaveFormat::Bmp: return EndsWithLower(chosenName, ".bmp") ? chosenName : chosenName + ".bmp";
  }
  return chosenName;
}

std::string LowerExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return Lower(path.substr(dot));
}

bool IsLoadablePicture(const std::string& path) {
  const std::string ext = LowerExtension(path);
  return ext == ".jpg" || ext == ".jpeg" || ext == ".bmp" || ext == ".png";
}

bool IsWebAddress(const std::string& argument) {
  return Lower(argument.substr(0, 7)) == "http://" || Lower(argument.substr(0, 8)) == "https://";
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace brumeleaf
