#include "io/PngCodec.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include "io/PictureFile.h"
#include "io/PictureSize.h"

namespace brumeleaf {
namespace {

constexpr int kCompressionLevel = 3;

// libpng reports a fatal error through our callback, which jumps back to the setjmp of the
// function that called the library. Objects with destructors are created before that setjmp.
struct PngContext {
  std::span<const std::uint8_t> input;
  std::size_t position = 0;
  std::vector<std::uint8_t>* output = nullptr;
  char message[200] = {};
};

PngContext& ContextOf(png_structp png) { return *static_cast<PngContext*>(png_get_error_ptr(png)); }

void OnError(png_structp png, png_const_charp message) {
  std::snprintf(ContextOf(png).message, sizeof ContextOf(png).message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
  PngContext& c = ContextOf(png);
  if (length > c.input.size() - c.position) png_error(png, "The PNG file is cut off");
  std::memcpy(data, c.input.data() + c.position, length);
  c.position += length;
}

void WriteToMemory(png_structp png, png_bytep data, png_size_t length) {
  std::vector<std::uint8_t>& out = *ContextOf(png).output;
  out.insert(out.end(), data, data + length);
}

void FlushNothing(png_structp) {}

struct ReadGuard {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadGuard() { png_destroy_read_struct(&png, &info, nullptr); }
};

struct WriteGuard {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteGuard() { png_destroy_write_struct(&png, &info); }
};

// Every PNG becomes 8-bit RGBA rows, so one compositing loop serves them all.
void RequestRgba(png_structp png, png_infop info) {
  const int type = png_get_color_type(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
}

// Painted over white: level = (c·a + 255·(255 − a)) / 255, rounded.
void RgbaRowOverWhite(const std::uint8_t* rgba, std::uint8_t* bgr, int width) {
  for (int x = 0; x < width; ++x, rgba += 4, bgr += 3) {
    const int a = rgba[3];
    const int white = 255 * (255 - a) + 127;
    bgr[0] = static_cast<std::uint8_t>((rgba[2] * a + white) / 255);
    bgr[1] = static_cast<std::uint8_t>((rgba[1] * a + white) / 255);
    bgr[2] = static_cast<std::uint8_t>((rgba[0] * a + white) / 255);
  }
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// Looks at the header chunk before the library allocates anything, so that an over-limit or
// empty picture gets the program's own message.
void CheckHeaderSize(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return;
  const std::uint32_t width = BigEndian32(bytes.data() + 16);
  const std::uint32_t height = BigEndian32(bytes.data() + 20);
  CheckPictureSize(width, height);
}

// Bits per pixel of the stored rows, 0 for a combination the library will refuse anyway.
int StoredBitsPerPixel(int depth, int colourType) {
  switch (colourType) {
    case 0: case 3: return depth;      // grey, palette
    case 2: return 3 * depth;          // RGB
    case 4: return 2 * depth;          // grey and alpha
    case 6: return 4 * depth;          // RGBA
    default: return 0;
  }
}

// Deflate turns one bit into at most 258 bytes (a longest match coded in one bit, its distance
// in another): 1032 bytes out per byte in. Pixel data present in the file that could not fill
// every row even at that ratio means the file is cut off, and it is refused before the picture
// (up to 1.5 GB) is allocated. Chunks are walked as far as the file goes.
void CheckEnoughPixelData(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 33 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return;
  const std::uint64_t width = BigEndian32(bytes.data() + 16);
  const std::uint64_t height = BigEndian32(bytes.data() + 20);
  const int bits = StoredBitsPerPixel(bytes[24], bytes[25]);
  if (bits == 0) return;
  std::uint64_t compressed = 0;
  for (std::size_t at = 8; at + 8 <= bytes.size();) {
    const std::uint64_t length = BigEndian32(bytes.data() + at);
    const bool idat = std::memcmp(bytes.data() + at + 4, "IDAT", 4) == 0;
    const std::uint64_t present = std::min<std::uint64_t>(length, bytes.size() - (at + 8));
    if (idat) compressed += present;
    if (std::memcmp(bytes.data() + at + 4, "IEND", 4) == 0 || present < length) break;
    at += 12 + static_cast<std::size_t>(length);
  }
  // Each row stores a filter byte before its pixels; interlaced pictures need more, not less.
  const std::uint64_t needed = height * ((width * static_cast<std::uint64_t>(bits) + 7) / 8 + 1);
  constexpr std::uint64_t kMaxInflation = 1032;
  if (compressed * kMaxInflation < needed)
    throw FileError("Damaged PNG file: the pixel data ends long before the last row");
}

}  // namespace

Bitmap DecodePng(std::span<const std::uint8_t> bytes) {
  PngContext context;
  context.input = bytes;
  ReadGuard guard;
  Bitmap image;
  std::vector<std::uint8_t> rows;
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) throw FileError("Not a PNG file");
  CheckHeaderSize(bytes);
  CheckEnoughPixelData(bytes);
  guard.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
  if (guard.png == nullptr) throw FileError("Not enough memory to read the PNG file");
  guard.info = png_create_info_struct(guard.png);
  if (guard.info == nullptr) throw FileError("Not enough memory to read the PNG file");
  png_structp png = guard.png;
  png_infop info = guard.info;
  if (setjmp(png_jmpbuf(png))) throw FileError(std::string("Damaged PNG file: ") + context.message);

  png_set_read_fn(png, &context, ReadFromMemory);
  // The library refuses larger headers itself before allocating anything.
  png_set_user_limits(png, kMaxWidth, kMaxHeight);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  RequestRgba(png, info);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);

  image.SetSize(static_cast<int>(width), static_cast<int>(height));
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
  // The transformations above must have produced 8-bit RGBA; anything else would overrun.
  if (png_get_rowbytes(png, info) != rowBytes || png_get_channels(png, info) != 4)
    throw FileError("Unsupported PNG layout");
  // Interlaced pictures are filled in over several passes and need every row kept; the others
  // are composited row by row.
  rows.resize(passes > 1 ? rowBytes * height : rowBytes);
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, rows.data() + (passes > 1 ? rowBytes * y : 0), nullptr);
      if (pass == passes - 1) {
        const std::uint8_t* rgba = rows.data() + (passes > 1 ? rowBytes * y : 0);
        RgbaRowOverWhite(rgba, image.ScanLine(static_cast<int>(y)), image.Width());
      }
    }
  }
  png_read_end(png, nullptr);
  return image;
}

std::vector<std::uint8_t> EncodePng(const Bitmap& image, const std::atomic<bool>* stop) {
  if (image.Empty()) throw FileError("An empty picture cannot be saved");
  std::vector<std::uint8_t> out;
  PngContext context;
  context.output = &out;
  WriteGuard guard;
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(image.Width()) * 4);
  guard.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
  if (guard.png == nullptr) throw FileError("Not enough memory to write the PNG file");
  guard.info = png_create_info_struct(guard.png);
  if (guard.info == nullptr) throw FileError("Not enough memory to write the PNG file");
  png_structp png = guard.png;
  png_infop info = guard.info;
  if (setjmp(png_jmpbuf(png))) throw FileError(std::string("Cannot encode PNG: ") + context.message);

  png_set_write_fn(png, &context, WriteToMemory, FlushNothing);
  png_set_compression_level(png, kCompressionLevel);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()), static_cast<png_uint_32>(image.Height()),
               8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.Height(); ++y) {
    ThrowIfSaveStopped(stop, "PNG");
    const std::uint8_t* bgr = image.ScanLine(y);
    std::uint8_t* p = rgba.data();
    for (int x = 0; x < image.Width(); ++x, bgr += 3, p += 4) {
      p[0] = bgr[2];
      p[1] = bgr[1];
      p[2] = bgr[0];
      p[3] = 255;
    }
    png_write_row(png, rgba.data());
  }
  png_write_end(png, nullptr);
  return out;
}

}  // namespace brumeleaf
