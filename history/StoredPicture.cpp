#include "history/StoredPicture.h"

#include <zlib.h>

namespace brumeleaf {

namespace {
// Level 1: most of the gain of zlib at a speed that keeps recording a 12 MP result short.
constexpr int kCompressionLevel = 1;
}  // namespace

StoredPicture::StoredPicture(const Bitmap& picture)
    : width_(picture.Width()), height_(picture.Height()), rawBytes_(picture.ByteSize()) {
  if (rawBytes_ == 0) return;
  uLongf size = compressBound(static_cast<uLong>(rawBytes_));
  try {
    data_.resize(size);
  } catch (const std::bad_alloc&) {
    throw HistoryError("Not enough memory to record the picture in the undo history");
  }
  const int result = compress2(data_.data(), &size, picture.Data(),
                               static_cast<uLong>(rawBytes_), kCompressionLevel);
  if (result != Z_OK) throw HistoryError("The picture could not be recorded in the undo history");
  data_.resize(size);
  data_.shrink_to_fit();
}

Bitmap StoredPicture::Restore() const {
  Bitmap picture(width_, height_);
  if (rawBytes_ == 0) return picture;
  if (picture.ByteSize() != rawBytes_)
    throw HistoryError("A recorded picture of the undo history is damaged");
  uLongf size = static_cast<uLongf>(rawBytes_);
  const int result = uncompress(picture.Data(), &size, data_.data(), static_cast<uLong>(data_.size()));
  if (result != Z_OK || size != rawBytes_)
    throw HistoryError("A recorded picture of the undo history is damaged");
  return picture;
}

}  // namespace brumeleaf
