#pragma once
// Picture files: decoding by extension, encoding by extension, JFIF density.

#include <atomic>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// A failure to read or write a file; the message names the file and the cause.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A save that was asked to stop (Ctrl-C) before it finished; nothing was written.
class SaveStopped : public FileError {
 public:
  using FileError::FileError;
};

// Throws SaveStopped naming `path` when `stop` is set.
void ThrowIfSaveStopped(const std::atomic<bool>* stop, const std::string& path);

struct PictureInfo {
  int dpi = 300;  // density as the program uses it (JFIF rules applied)
};

enum class PictureFormat { Jpeg, Png, Gif, Bmp, Unknown };

// The format a file name asks for, by its lower-cased extension: .jpg/.jpeg, .png, .gif, .bmp.
PictureFormat FormatFromExtension(const std::string& path);

// The format the first bytes announce ("BM", "GIF", "PNG" after the 0x89 byte, 0xFF 0xD8);
// Unknown when none of them matches or there are too few bytes.
PictureFormat SniffFormat(std::span<const std::uint8_t> bytes);

// Decodes bytes of a known format. Throws FileError whose message gives the cause only; the
// callers below prefix it with the file name. Every picture comes back as 24-bit, transparent
// parts painted over white, a JPEG turned upright by its EXIF orientation.
Bitmap DecodePicture(std::span<const std::uint8_t> bytes, PictureFormat format,
                     PictureInfo* info = nullptr);

// Decodes by what the file's first bytes announce (SniffFormat), whatever its extension; a file
// whose bytes announce nothing known is decoded by its lower-cased extension (.jpg/.jpeg JPEG,
// .png PNG, .gif GIF, .bmp BMP), which then gives the decoder's message. For a JPEG the density comes from its
// JFIF header; every other picture gets 300 dpi.
Bitmap LoadPicture(const std::string& path, PictureInfo* info = nullptr);

struct SaveOptions {
  int jpegQuality = 95;
  int dpi = 300;
  // When set, the save stops as soon as it is raised (before, during the encoding and before
  // the final rename) and throws SaveStopped, leaving no file behind.
  const std::atomic<bool>* stop = nullptr;
};

// Encodes into memory in the given format (Jpeg, Png or Bmp).
std::vector<std::uint8_t> EncodePicture(const Bitmap& image, PictureFormat format,
                                        const SaveOptions& options = {});

// Encodes by the lower-cased extension (.jpg/.jpeg, .png, .bmp). Writes to a temporary name and
// renames, so a failure or a stop leaves no file behind (an existing file stays as it was).
void SavePicture(const Bitmap& image, const std::string& path, const SaveOptions& options = {});

}  // namespace brumeleaf
