#include "imaging/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace brumeleaf {

void Bitmap::CheckSize(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxWidth || height > kMaxHeight) {
    throw ImageError("The picture is " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels; pictures of at most " + std::to_string(kMaxWidth) + " x " +
                     std::to_string(kMaxHeight) + " pixels can be processed.");
  }
}

void Bitmap::SetSize(int width, int height) {
  CheckSize(width, height);
  std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  if (bytes == data_.size()) {
    // The same number of bytes: whitened in place rather than held twice while a new block is
    // made (a 12-megapixel picture is 36 MB).
    std::fill(data_.begin(), data_.end(), std::uint8_t{255});
  } else {
    try {
      Pixels data(bytes, 255, data_.get_allocator());
      data_.swap(data);
    } catch (const std::bad_alloc&) {
      throw ImageError("Sorry, not enough memory to proceed. Try decreasing the size of the source image.");
    }
  }
  width_ = width;
  height_ = height;
  stride_ = stride;
}

void Bitmap::SetSize(int width, int height, PixelPages pages) {
  CheckSize(width, height);
  if (pages != Pages()) data_ = Pixels(PixelAllocator<std::uint8_t>(pages));
  SetSize(width, height);
}

Bitmap::Bitmap(const Bitmap& other, PixelPages pages) : width_(other.width_), height_(other.height_), stride_(other.stride_) {
  try {
    data_ = Pixels(other.data_.begin(), other.data_.end(), PixelAllocator<std::uint8_t>(pages));
  } catch (const std::bad_alloc&) {
    throw ImageError("Sorry, not enough memory to proceed. Try decreasing the size of the source image.");
  }
}

void Bitmap::Resize(int width, int height) {
  if (width == width_ && height == height_) return;
  Bitmap bigger;
  bigger.SetSize(width, height, Pages());
  bigger.Draw(0, 0, *this);
  *this = std::move(bigger);
}

std::uint8_t* Bitmap::ScanLine(int row) {
  if (row < 0 || row >= height_) {
    throw ImageError("Row " + std::to_string(row) + " is outside the picture of height " +
                     std::to_string(height_) + ".");
  }
  return data_.data() + stride_ * static_cast<std::size_t>(row);
}

const std::uint8_t* Bitmap::ScanLine(int row) const {
  return const_cast<Bitmap*>(this)->ScanLine(row);
}

std::vector<std::uint8_t*> Bitmap::RowTable() {
  std::vector<std::uint8_t*> rows(static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) rows[static_cast<std::size_t>(y)] = ScanLine(y);
  return rows;
}

std::vector<const std::uint8_t*> Bitmap::RowTable() const {
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) rows[static_cast<std::size_t>(y)] = ScanLine(y);
  return rows;
}

Colour Bitmap::Pixel(int x, int y) const {
  if (x < 0 || x >= width_) throw ImageError("Column " + std::to_string(x) + " is outside the picture.");
  const std::uint8_t* p = ScanLine(y) + 3 * x;
  return MakeColour(p[2], p[1], p[0]);
}

void Bitmap::SetPixel(int x, int y, Colour c) {
  if (x < 0 || x >= width_) throw ImageError("Column " + std::to_string(x) + " is outside the picture.");
  std::uint8_t* p = ScanLine(y) + 3 * x;
  p[0] = static_cast<std::uint8_t>(BlueOf(c));
  p[1] = static_cast<std::uint8_t>(GreenOf(c));
  p[2] = static_cast<std::uint8_t>(RedOf(c));
}

void Bitmap::Fill(Colour c) { FillRect(0, 0, width_, height_, c); }

void Bitmap::FillRect(int left, int top, int right, int bottom, Colour c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (left >= right || top >= bottom) return;
  const std::uint8_t b = static_cast<std::uint8_t>(BlueOf(c));
  const std::uint8_t g = static_cast<std::uint8_t>(GreenOf(c));
  const std::uint8_t r = static_cast<std::uint8_t>(RedOf(c));
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* p = ScanLine(y) + 3 * left;
    for (int x = left; x < right; ++x, p += 3) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

void Bitmap::Draw(int x, int y, const Bitmap& src) {
  const int sx0 = std::max(0, -x), sy0 = std::max(0, -y);
  const int sx1 = std::min(src.width_, width_ - x), sy1 = std::min(src.height_, height_ - y);
  if (sx0 >= sx1 || sy0 >= sy1) return;
  const std::size_t bytes = static_cast<std::size_t>(sx1 - sx0) * 3;
  if (&src == this) {
    // Drawing a picture onto itself: go through a copy so rows do not overlap mid-copy.
    Bitmap copy(src);
    Draw(x, y, copy);
    return;
  }
  for (int sy = sy0; sy < sy1; ++sy) {
    std::memcpy(ScanLine(sy + y) + 3 * (sx0 + x), src.ScanLine(sy) + 3 * sx0, bytes);
  }
}

bool Bitmap::operator==(const Bitmap& other) const {
  if (width_ != other.width_ || height_ != other.height_) return false;
  const std::size_t bytes = static_cast<std::size_t>(width_) * 3;
  if (bytes == 0) return true;  // 0 x N pictures have no block: memcmp must not see its null rows
  for (int y = 0; y < height_; ++y) {
    if (std::memcmp(ScanLine(y), other.ScanLine(y), bytes) != 0) return false;
  }
  return true;
}

}  // namespace brumeleaf
