#pragma once
// A panel picture kept by the undo history: the raw rows compressed with zlib at a fast level.
// Lossless, so that undo gives back exactly the picture that was recorded (the manual brush and
// every later effect work from restored pictures), at a fraction of the raw size.

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

class HistoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class StoredPicture {
 public:
  StoredPicture() = default;
  // Throws HistoryError when the compression fails (memory).
  explicit StoredPicture(const Bitmap& picture);

  // Throws HistoryError when the stored bytes do not decode to the recorded size.
  Bitmap Restore() const;

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::size_t CompressedBytes() const { return data_.size(); }

 private:
  int width_ = 0;
  int height_ = 0;
  std::size_t rawBytes_ = 0;
  std::vector<std::uint8_t> data_;
};

}  // namespace brumeleaf
