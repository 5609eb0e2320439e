#pragma once
// The one raster type: 24-bit pixels stored blue, green, red; rows padded to 4 bytes.
// Every row is reached through ScanLine, which checks the row number, so no caller can
// walk off the picture. Sizes are limited to 32768 columns and 15001 rows; a larger size is
// refused with an ImageError before anything is allocated.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/PixelAllocator.h"

namespace brumeleaf {

// A failure inside an image routine: an over-limit size, a row outside the picture, an
// allocation that did not succeed. The message is shown to the user as it stands.
class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kMaxWidth = 32768;
inline constexpr int kMaxHeight = 15001;

// Colours handed to drawing routines: red in the lowest byte, green next, blue third.
using Colour = std::uint32_t;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0;
constexpr Colour MakeColour(int r, int g, int b) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// Clamps a computed level to 0..255.
constexpr std::uint8_t ClampLevel(int v) {
  return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height) { SetSize(width, height); }
  // A copy of `other` whose pixels are stored as `pages` says. Plain copies are stored in
  // ordinary pages whatever the original's storage.
  Bitmap(const Bitmap& other, PixelPages pages);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  // Bytes from one row to the next.
  std::ptrdiff_t RowDistance() const { return static_cast<std::ptrdiff_t>(stride_); }

  // Resizes; the picture becomes entirely white. Throws ImageError for a size outside
  // 0..32768 x 0..15001.
  void SetSize(int width, int height);
  // The same, with the pixels stored as `pages` says from now on.
  void SetSize(int width, int height, PixelPages pages);
  PixelPages Pages() const { return data_.get_allocator().Pages(); }
  // Resizes keeping the pixels that remain inside; new pixels are white.
  void Resize(int width, int height);
  // Deep copy of another picture (size and pixels).
  void Assign(const Bitmap& other) { *this = other; }

  std::uint8_t* ScanLine(int row);
  const std::uint8_t* ScanLine(int row) const;
  // Addresses of every row, top to bottom, for routines that jump between rows at random.
  // Valid until the picture is resized or freed.
  std::vector<std::uint8_t*> RowTable();
  std::vector<const std::uint8_t*> RowTable() const;

  // Pixel access for tests and setup code; effects walk rows through ScanLine.
  Colour Pixel(int x, int y) const;
  void SetPixel(int x, int y, Colour c);

  void Fill(Colour c);
  // Fills left <= x < right, top <= y < bottom, clipped to the picture.
  void FillRect(int left, int top, int right, int bottom, Colour c);

  // Copies the whole of `src` with its top-left corner at (x, y), clipped.
  void Draw(int x, int y, const Bitmap& src);

  bool operator==(const Bitmap& other) const;

  // Raw storage (rows top to bottom, each RowDistance() bytes), for codecs and hashing.
  std::uint8_t* Data() { return data_.data(); }
  const std::uint8_t* Data() const { return data_.data(); }
  std::size_t ByteSize() const { return data_.size(); }

  // Checks a size against the limits; throws ImageError with a clear message otherwise.
  static void CheckSize(int width, int height);

 private:
  int width_ = 0;
  int height_ = 0;
  std::size_t stride_ = 0;
  using Pixels = std::vector<std::uint8_t, PixelAllocator<std::uint8_t>>;
  Pixels data_;
};

}  // namespace brumeleaf
