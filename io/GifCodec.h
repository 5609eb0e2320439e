#pragma once
// GIF reading through giflib: pictures fetched from the web may be GIF.

#include <cstdint>
#include <span>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// Decodes the first frame onto a white picture of the logical screen's size, transparent
// pixels left white. Errors come back as FileError.
Bitmap DecodeGif(std::span<const std::uint8_t> bytes);

}  // namespace brumeleaf
