#pragma once
// The size check every decoder makes on the header's numbers, before it allocates anything.

#include <algorithm>
#include <cstdint>

#include "imaging/Bitmap.h"
#include "io/PictureFile.h"

namespace brumeleaf {

// Throws FileError for an empty picture or one over the Bitmap limits. Takes 64-bit numbers so
// that any header field can be passed as it was read.
inline void CheckPictureSize(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) throw FileError("The picture has no pixels");
  try {
    constexpr std::int64_t kShown = 1 << 30;  // keeps the message's numbers within int
    Bitmap::CheckSize(static_cast<int>(std::min(width, kShown)), static_cast<int>(std::min(height, kShown)));
  } catch (const ImageError& e) {
    throw FileError(e.what());
  }
}

}  // namespace brumeleaf
