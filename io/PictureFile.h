#pragma once
// Picture files: decoding by extension, encoding by extension, JFIF density.

#include <string>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// A failure to read or write a file; the message names the file and the cause.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PictureInfo {
  int dpi = 300;  // density as the program uses it (JFIF rules applied)
};

// Decodes by the lower-cased extension: .jpg/.jpeg JPEG, .png PNG, .gif GIF, anything else BMP.
Bitmap LoadPicture(const std::string& path, PictureInfo* info = nullptr);

struct SaveOptions {
  int jpegQuality = 95;
  int dpi = 300;
};

// Encodes by the lower-cased extension (.jpg/.jpeg, .png, .bmp). Writes to a temporary name and
// renames, so a failure leaves no file behind.
void SavePicture(const Bitmap& image, const std::string& path, const SaveOptions& options = {});

}  // namespace brumeleaf
