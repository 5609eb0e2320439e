#pragma once
// BMP files, read and written by our own code.

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// Reads uncompressed BMP files of 1, 4, 8, 16, 24 and 32 bits per pixel, with the core (12
// byte) header or the 40..124 byte headers, bit-field masks, bottom-up or top-down rows. Every
// header field is checked against the bytes there are before anything is allocated; a
// failure is a FileError giving the cause.
Bitmap DecodeBmp(std::span<const std::uint8_t> bytes);

// Writes a 24-bit bottom-up BMP with a 40-byte header; the density is stored in pixels per
// metre.
std::vector<std::uint8_t> EncodeBmp(const Bitmap& image, int dpi);

}  // namespace brumeleaf
