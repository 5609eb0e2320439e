#pragma once
// PNG through libpng. Library errors never end the program: they come back as FileError.

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// Decodes any PNG (palette, grey, 16-bit, interlaced) to 24 bits, painting transparent and
// half-transparent parts over white.
Bitmap DecodePng(std::span<const std::uint8_t> bytes);

// Encodes as 8-bit RGBA with every alpha value 255, at zlib compression level 3.
// A raised `stop` ends the encoding with SaveStopped.
std::vector<std::uint8_t> EncodePng(const Bitmap& image, const std::atomic<bool>* stop = nullptr);

}  // namespace brumeleaf
