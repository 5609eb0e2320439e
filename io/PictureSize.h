#pragma once
// The size check every decoder makes on the header's numbers, before it allocates anything.

#include <cstdint>
#include <string>

#include "imaging/Bitmap.h"
#include "io/PictureFile.h"

namespace brumeleaf {

// Throws FileError for an empty picture or one over the Bitmap limits. Takes 64-bit numbers so
// that any header field can be passed as it was read.
inline void CheckPictureSize(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) throw FileError("The picture has no pixels");
  // The message gives the numbers the file declares, however large.
  if (width > kMaxWidth || height > kMaxHeight)
    throw FileError("The picture is " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels; pictures of at most " + std::to_string(kMaxWidth) + " x " +
                    std::to_string(kMaxHeight) + " pixels can be processed.");
}

}  // namespace brumeleaf
