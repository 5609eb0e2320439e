#include <algorithm>
#include <cmath>
#include <cstring>

#include "io/BmpCodec.h"
#include "io/PictureFile.h"

namespace brumeleaf {
namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;

void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const Bitmap& image, int dpi) {
  if (image.Empty()) throw FileError("An empty picture cannot be saved");
  // The rows of a 24-bit BMP are padded to 4 bytes exactly like ours.
  const std::size_t rowBytes = (static_cast<std::size_t>(image.Width()) * 3 + 3) & ~std::size_t{3};
  const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(image.Height());
  const std::size_t offset = kFileHeader + kInfoHeader;
  std::vector<std::uint8_t> out(offset + pixelBytes, 0);
  std::uint8_t* h = out.data();
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<std::uint32_t>(out.size()));
  Put32(h + 10, static_cast<std::uint32_t>(offset));
  std::uint8_t* info = h + kFileHeader;
  Put32(info, kInfoHeader);
  Put32(info + 4, static_cast<std::uint32_t>(image.Width()));
  Put32(info + 8, static_cast<std::uint32_t>(image.Height()));
  Put16(info + 12, 1);   // planes
  Put16(info + 14, 24);  // bits per pixel
  Put32(info + 20, static_cast<std::uint32_t>(pixelBytes));
  const auto perMetre = static_cast<std::uint32_t>(std::lround(std::max(dpi, 0) / 0.0254));
  Put32(info + 24, perMetre);
  Put32(info + 28, perMetre);
  for (int y = 0; y < image.Height(); ++y) {
    const std::size_t fileRow = static_cast<std::size_t>(image.Height() - 1 - y);
    std::memcpy(h + offset + fileRow * rowBytes, image.ScanLine(y), static_cast<std::size_t>(image.Width()) * 3);
  }
  return out;
}

}  // namespace brumeleaf
