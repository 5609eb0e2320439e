// Any bytes given to the Png decoder must end in a picture or a FileError, never a crash.
#include <cstddef>
#include <cstdint>

#include "io/PngCodec.h"
#include "io/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    brumeleaf::DecodePng({data, size});
  } catch (const brumeleaf::FileError&) {
  } catch (const brumeleaf::ImageError&) {
  }
  return 0;
}
