#include "io/ExifOrientation.h"

#include <cstring>

namespace brumeleaf {
namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::size_t kExifHeader = 6;  // "Exif\0\0"
constexpr std::size_t kEntryBytes = 12;

// Bounds-checked reads in the byte order the TIFF block declares.
class TiffReader {
 public:
  TiffReader(std::span<const std::uint8_t> tiff, bool bigEndian) : tiff_(tiff), big_(bigEndian) {}

  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= tiff_.size() && count <= tiff_.size() - offset;
  }
  std::uint16_t U16(std::size_t o) const {
    return big_ ? static_cast<std::uint16_t>(tiff_[o] << 8 | tiff_[o + 1])
                : static_cast<std::uint16_t>(tiff_[o + 1] << 8 | tiff_[o]);
  }
  std::uint32_t U32(std::size_t o) const {
    const std::uint32_t a = U16(o), b = U16(o + 2);
    return big_ ? (a << 16 | b) : (b << 16 | a);
  }

 private:
  std::span<const std::uint8_t> tiff_;
  bool big_;
};

int OrientationInFirstDirectory(std::span<const std::uint8_t> tiff) {
  if (tiff.size() < 8) return 1;
  const bool big = tiff[0] == 'M' && tiff[1] == 'M';
  if (!big && !(tiff[0] == 'I' && tiff[1] == 'I')) return 1;
  const TiffReader r(tiff, big);
  if (r.U16(2) != 42) return 1;
  const std::size_t directory = r.U32(4);
  if (!r.Has(directory, 2)) return 1;
  const std::size_t entries = r.U16(directory);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t e = directory + 2 + i * kEntryBytes;
    if (!r.Has(e, kEntryBytes)) return 1;
    if (r.U16(e) != kOrientationTag) continue;
    if (r.U16(e + 2) != kShortType || r.U32(e + 4) < 1) return 1;
    const int value = r.U16(e + 8);
    return value >= 1 && value <= 8 ? value : 1;
  }
  return 1;
}

// Where the pixel shown at (x, y) comes from in the stored picture of size w x h.
struct SourceStep {
  // source column = cx0 + x*cxx + y*cxy, source row = cy0 + x*cyx + y*cyy
  int cx0, cxx, cxy, cy0, cyx, cyy;
};

SourceStep StepFor(int orientation, int w, int h) {
  switch (orientation) {
    case 2: return {w - 1, -1, 0, 0, 0, 1};
    case 3: return {w - 1, -1, 0, h - 1, 0, -1};
    case 4: return {0, 1, 0, h - 1, 0, -1};
    case 5: return {0, 0, 1, 0, 1, 0};
    case 6: return {0, 0, 1, h - 1, -1, 0};
    case 7: return {w - 1, 0, -1, h - 1, -1, 0};
    case 8: return {w - 1, 0, -1, 0, 1, 0};
    default: return {0, 1, 0, 0, 0, 1};
  }
}

}  // namespace

int ExifOrientation(std::span<const std::uint8_t> app1) {
  if (app1.size() < kExifHeader || std::memcmp(app1.data(), "Exif\0\0", kExifHeader) != 0) return 1;
  return OrientationInFirstDirectory(app1.subspan(kExifHeader));
}

Bitmap ApplyOrientation(Bitmap image, int orientation) {
  if (orientation < 2 || orientation > 8 || image.Empty()) return image;
  const int w = image.Width(), h = image.Height();
  const bool swap = SwapsSides(orientation);
  Bitmap shown(swap ? h : w, swap ? w : h);
  const SourceStep s = StepFor(orientation, w, h);
  // Each output row walks the source along a row or a column: one offset step per pixel.
  const std::ptrdiff_t stride = image.RowDistance();
  const std::uint8_t* origin = image.Data();
  const std::ptrdiff_t stepPerX = s.cxx * 3 + s.cyx * stride;
  for (int y = 0; y < shown.Height(); ++y) {
    std::uint8_t* out = shown.ScanLine(y);
    std::ptrdiff_t at = (s.cy0 + y * s.cyy) * stride + (s.cx0 + y * s.cxy) * 3;
    for (int x = 0; x < shown.Width(); ++x, out += 3, at += stepPerX) {
      out[0] = origin[at];
      out[1] = origin[at + 1];
      out[2] = origin[at + 2];
    }
  }
  return shown;
}

}  // namespace brumeleaf
