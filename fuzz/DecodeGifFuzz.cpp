// Any bytes given to the Gif decoder must end in a picture or a FileError, never a crash.
#include <cstddef>
#include <cstdint>

#include "io/GifCodec.h"
#include "io/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    brumeleaf::DecodeGif({data, size});
  } catch (const brumeleaf::FileError&) {
  } catch (const brumeleaf::ImageError&) {
  }
  return 0;
}
