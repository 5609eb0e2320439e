#include "io/PictureFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "io/BmpCodec.h"
#include "io/FileBytes.h"
#include "io/GifCodec.h"
#include "io/JfifDensity.h"
#include "io/JpegCodec.h"
#include "io/PngCodec.h"

namespace brumeleaf {
namespace {

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

Bitmap DecodeKnown(std::span<const std::uint8_t> bytes, PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg: return DecodeJpeg(bytes);
    case PictureFormat::Png: return DecodePng(bytes);
    case PictureFormat::Gif: return DecodeGif(bytes);
    case PictureFormat::Bmp: return DecodeBmp(bytes);
    case PictureFormat::Unknown: break;
  }
  throw FileError("The file is not a JPEG, PNG, GIF or BMP picture");
}

}  // namespace

void ThrowIfSaveStopped(const std::atomic<bool>* stop, const std::string& path) {
  if (stop != nullptr && stop->load(std::memory_order_relaxed))
    throw SaveStopped(path + ": the save was stopped; nothing was written");
}

PictureFormat FormatFromExtension(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == ".jpg" || ext == ".jpeg") return PictureFormat::Jpeg;
  if (ext == ".png") return PictureFormat::Png;
  if (ext == ".gif") return PictureFormat::Gif;
  if (ext == ".bmp") return PictureFormat::Bmp;
  return PictureFormat::Unknown;
}

PictureFormat SniffFormat(std::span<const std::uint8_t> bytes) {
  const auto starts = [&](std::size_t at, std::string_view tag) {
    return bytes.size() >= at + tag.size() && std::equal(tag.begin(), tag.end(), bytes.begin() + at,
                                                        [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
  };
  if (starts(0, "BM")) return PictureFormat::Bmp;
  if (starts(0, "GIF")) return PictureFormat::Gif;
  // The PNG signature is 0x89 followed by "PNG": the letters are the second to fourth bytes.
  if (starts(1, "PNG")) return PictureFormat::Png;
  if (starts(0, "\xFF\xD8")) return PictureFormat::Jpeg;
  return PictureFormat::Unknown;
}

Bitmap DecodePicture(std::span<const std::uint8_t> bytes, PictureFormat format, PictureInfo* info) {
  if (bytes.empty()) throw FileError("The file is empty");
  Bitmap image;
  try {
    image = DecodeKnown(bytes, format);
  } catch (const ImageError& e) {
    // Over-limit sizes and memory failures reach the user as a file problem.
    throw FileError(e.what());
  }
  if (info != nullptr) {
    info->dpi = format == PictureFormat::Jpeg ? ReadJfifDensity(bytes) : kDefaultDensity;
  }
  return image;
}

Bitmap LoadPicture(const std::string& path, PictureInfo* info) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  // The content decides when it announces a format we read: renamed downloads often carry the
  // wrong extension (a PNG named .jpg), and they open without a word.
  const PictureFormat announced = SniffFormat(bytes);
  const PictureFormat format = announced != PictureFormat::Unknown ? announced : FormatFromExtension(path);
  try {
    return DecodePicture(bytes, format, info);
  } catch (const FileError& e) {
    throw FileError(path + ": " + e.what());
  }
}

std::vector<std::uint8_t> EncodePicture(const Bitmap& image, PictureFormat format,
                                        const SaveOptions& options) {
  try {
    switch (format) {
      case PictureFormat::Jpeg: return EncodeJpeg(image, options.jpegQuality, options.dpi, options.stop);
      case PictureFormat::Png: return EncodePng(image, options.stop);
      case PictureFormat::Bmp: return EncodeBmp(image, options.dpi);
      case PictureFormat::Gif:
      case PictureFormat::Unknown: break;
    }
  } catch (const ImageError& e) {
    throw FileError(e.what());
  }
  throw FileError("Pictures can be saved as .jpg, .jpeg, .png or .bmp only");
}

void SavePicture(const Bitmap& image, const std::string& path, const SaveOptions& options) {
  ThrowIfSaveStopped(options.stop, path);
  std::vector<std::uint8_t> bytes;
  try {
    bytes = EncodePicture(image, FormatFromExtension(path), options);
  } catch (const SaveStopped&) {
    ThrowIfSaveStopped(options.stop, path);
    throw;
  } catch (const FileError& e) {
    throw FileError(path + ": " + e.what());
  }
  WriteFileReplacing(path, bytes, options.stop);
}

}  // namespace brumeleaf
