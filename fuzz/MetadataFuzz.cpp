// The hand-written parsers of JPEG metadata: EXIF orientation and the JFIF density field.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/ExifOrientation.h"
#include "io/JfifDensity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int orientation = brumeleaf::ExifOrientation({data, size});
  if (orientation < 1 || orientation > 8) __builtin_trap();
  const int dpi = brumeleaf::ReadJfifDensity({data, size});
  if (dpi < 72 || dpi > 2400) __builtin_trap();
  std::vector<std::uint8_t> copy(data, data + size);
  brumeleaf::WriteJfifDensity(copy, 96);
  return 0;
}
