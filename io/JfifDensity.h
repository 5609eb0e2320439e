#pragma once
// The print density kept in a JPEG file's JFIF header. The program reads and writes the field
// itself, looking for "JFIF" and a zero byte within the first 50 bytes of the file.

#include <cstdint>
#include <span>
#include <string>

namespace brumeleaf {

inline constexpr int kDefaultDensity = 300;

// The density the program uses for these JPEG bytes: 300 without a JFIF header, otherwise the
// horizontal density x, where x < 72 counts as 300 and the result is kept within 72..2400.
// The units byte is ignored, so 118 dots per centimetre reads as 118.
int ReadJfifDensity(std::span<const std::uint8_t> bytes);

// Sets the units byte to 1 (dots per inch) and both densities to `dpi` (1..65535). Returns
// false, changing nothing, when there is no JFIF header or the fields lie outside the bytes.
bool WriteJfifDensity(std::span<std::uint8_t> bytes, int dpi);

// The same on a file: reading opens it for reading only; writing changes the fields in place.
// Both throw FileError when the file cannot be opened.
int ReadJpegDensity(const std::string& path);
void WriteJpegDensity(const std::string& path, int dpi);

}  // namespace brumeleaf
