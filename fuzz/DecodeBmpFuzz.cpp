// Any bytes given to the Bmp decoder must end in a picture or a FileError, never a crash.
#include <cstddef>
#include <cstdint>

#include "io/BmpCodec.h"
#include "io/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    brumeleaf::DecodeBmp({data, size});
  } catch (const brumeleaf::FileError&) {
  } catch (const brumeleaf::ImageError&) {
  }
  return 0;
}
