#pragma once
// JPEG through libjpeg-turbo. Library errors never end the program: they come back as
// FileError with the library's message as the cause.

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// Decodes straight into blue-green-red rows (grey and CMYK pictures converted) and turns the
// picture upright by its EXIF orientation. Truncated or damaged data is an error rather than a
// picture with a grey lower part.
Bitmap DecodeJpeg(std::span<const std::uint8_t> bytes);

// Encodes at a quality 1..100 with a JFIF header giving `dpi` dots per inch (1..65535).
// A raised `stop` ends the encoding with SaveStopped.
std::vector<std::uint8_t> EncodeJpeg(const Bitmap& image, int quality, int dpi,
                                     const std::atomic<bool>* stop = nullptr);

}  // namespace brumeleaf
