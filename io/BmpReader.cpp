#include <algorithm>
#include <cstring>
#include <string>

#include "io/BmpCodec.h"
#include "io/PictureFile.h"
#include "io/PictureSize.h"

namespace brumeleaf {
namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

[[noreturn]] void Damaged(const std::string& cause) { throw FileError("Damaged BMP file: " + cause); }

// Little-endian reads that refuse to leave the bytes.
class LittleEndian {
 public:
  explicit LittleEndian(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t U8(std::size_t o) const {
    Need(o, 1);
    return bytes_[o];
  }
  std::uint16_t U16(std::size_t o) const {
    Need(o, 2);
    return static_cast<std::uint16_t>(bytes_[o] | bytes_[o + 1] << 8);
  }
  std::uint32_t U32(std::size_t o) const {
    return static_cast<std::uint32_t>(U16(o)) | static_cast<std::uint32_t>(U16(o + 2)) << 16;
  }
  std::int32_t I32(std::size_t o) const { return static_cast<std::int32_t>(U32(o)); }
  void Need(std::uint64_t offset, std::uint64_t count) const {
    if (offset > bytes_.size() || count > bytes_.size() - offset) Damaged("the file is cut off");
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// One channel of a bit-field pixel: (value & mask) >> shift, scaled to 0..255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t maximum = 0;
  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
    maximum = mask >> shift;
  }
  std::uint8_t Level(std::uint32_t value) const {
    if (maximum == 0) return 0;
    return static_cast<std::uint8_t>(static_cast<std::uint64_t>((value & mask) >> shift) * 255 / maximum);
  }
};

struct Palette {
  std::vector<std::uint8_t> bgr;  // three bytes per entry
  int Count() const { return static_cast<int>(bgr.size() / 3); }
};

struct Layout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bits = 0;
  bool core = false;  // the 12-byte header of the oldest files: 16-bit sizes, 3-byte palette
  std::uint32_t infoSize = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colours = 0;
  Channel red, green, blue;
  std::uint64_t pixelOffset = 0;
  std::uint64_t rowBytes = 0;
};

bool KnownHeaderSize(std::uint32_t size) {
  return size == 12 || size == 16 || size == 40 || size == 52 || size == 56 || size == 64 ||
         size == 108 || size == 124;
}

void ReadHeader(const LittleEndian& in, Layout& l) {
  l.infoSize = in.U32(kFileHeader);
  if (!KnownHeaderSize(l.infoSize)) Damaged("unknown header size " + std::to_string(l.infoSize));
  in.Need(kFileHeader, l.infoSize);
  const std::size_t h = kFileHeader;
  l.core = l.infoSize == 12;
  std::int64_t height = 0;
  int planes = 0;
  if (l.core) {
    l.width = in.U16(h + 4);
    height = in.U16(h + 6);
    planes = in.U16(h + 8);
    l.bits = in.U16(h + 10);
  } else {
    l.width = in.I32(h + 4);
    height = in.I32(h + 8);
    planes = in.U16(h + 12);
    l.bits = in.U16(h + 14);
    if (l.infoSize >= 20) l.compression = in.U32(h + 16);
    if (l.infoSize >= 36) l.colours = in.U32(h + 32);
  }
  if (planes != 1) Damaged("the number of planes is " + std::to_string(planes));
  l.topDown = height < 0;
  height = height < 0 ? -height : height;
  // Checked before the picture is allocated: a header may claim any size.
  CheckPictureSize(l.width, height);
  l.height = static_cast<int>(height);
}

void CheckEncoding(const Layout& l) {
  const int b = l.bits;
  if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32)
    Damaged(std::to_string(b) + " bits per pixel");
  // OS/2 headers (16 and 64 bytes) give other meanings to the compression numbers.
  const bool os2 = l.infoSize == 16 || l.infoSize == 64;
  const bool rle = !os2 && (l.compression == kRle8 || l.compression == kRle4);
  if (rle && b != (l.compression == kRle8 ? 8 : 4)) Damaged("run-length coding does not match the depth");
  if (rle && l.topDown) Damaged("a run-length coded picture cannot be top-down");
  if (rle) return;
  const bool fields = !os2 && (l.compression == kBitFields || l.compression == kAlphaBitFields);
  if (l.compression != kRgb && !fields) throw FileError("This kind of BMP compression is not supported");
  if (fields && b != 16 && b != 32) Damaged("bit fields need 16 or 32 bits per pixel");
}

// Masks follow the 40-byte header, or sit inside the longer headers at the same place.
void ReadMasks(const LittleEndian& in, Layout& l) {
  if (l.compression == kBitFields || l.compression == kAlphaBitFields) {
    const std::size_t m = kFileHeader + 40;
    l.red = Channel(in.U32(m));
    l.green = Channel(in.U32(m + 4));
    l.blue = Channel(in.U32(m + 8));
  } else if (l.bits == 16) {
    l.red = Channel(0x7C00), l.green = Channel(0x03E0), l.blue = Channel(0x001F);
  } else {
    l.red = Channel(0xFF0000), l.green = Channel(0xFF00), l.blue = Channel(0xFF);
  }
  const std::uint64_t limit = l.bits == 16 ? 0xFFFF : 0xFFFFFFFF;
  if (l.red.mask > limit || l.green.mask > limit || l.blue.mask > limit) Damaged("bit fields wider than a pixel");
}

Palette ReadPalette(const LittleEndian& in, const Layout& l) {
  Palette palette;
  if (l.bits > 8) return palette;
  const std::uint32_t most = 1u << l.bits;
  // Some writers store more entries than the depth can address; the extra ones are unused.
  const std::uint32_t count = (l.colours == 0 || l.colours > most) ? most : l.colours;
  const std::size_t entry = l.core ? 3 : 4;
  std::uint64_t start = kFileHeader + l.infoSize;
  if (l.infoSize == 40 && l.compression == kBitFields) start += 12;
  if (l.infoSize == 40 && l.compression == kAlphaBitFields) start += 16;
  in.Need(start, static_cast<std::uint64_t>(count) * entry);
  palette.bgr.resize(static_cast<std::size_t>(count) * 3);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = static_cast<std::size_t>(start + i * entry);
    for (std::size_t c = 0; c < 3; ++c) palette.bgr[3 * i + c] = in.U8(at + c);
  }
  return palette;
}

void PlacePixels(const LittleEndian& in, std::span<const std::uint8_t> bytes, Layout& l) {
  l.pixelOffset = in.U32(10);
  l.rowBytes = (static_cast<std::uint64_t>(l.width) * l.bits + 31) / 32 * 4;
  if (l.pixelOffset < kFileHeader + l.infoSize || l.pixelOffset > bytes.size())
    Damaged("the pixel data offset points outside the file");
  // The last row's padding is often left out; the pixels themselves must all be there.
  const std::uint64_t lastRow = (static_cast<std::uint64_t>(l.width) * l.bits + 7) / 8;
  in.Need(l.pixelOffset, l.rowBytes * static_cast<std::uint64_t>(l.height - 1) + lastRow);
}

bool IsRunLength(const Layout& l) { return l.compression == kRle8 || l.compression == kRle4; }

// Run-length coded pictures: pairs (count, index) repeat an index (RLE4: two alternating
// indices in one byte); a zero count escapes to end of row (0), end of picture (1), a jump
// (2, dx, dy) or a literal run of n indices padded to an even byte count. Pixels the runs never
// reach stay white; runs past the right edge are clipped.
class RunLengthDecoder {
 public:
  // Without a picture the decoder only walks the runs: a dry run proves that the data does not
  // end early before the picture is allocated.
  RunLengthDecoder(std::span<const std::uint8_t> data, const Layout& l, const Palette& p, Bitmap* image)
      : data_(data), l_(l), palette_(p), image_(image) {}

  void Run() {
    // Rows past the top cannot be drawn, so the picture is complete once they are reached.
    while (row_ < l_.height) {
      const int count = Next(), value = Next();
      if (count > 0) {
        for (int i = 0; i < count; ++i) Put(Nibble(value, i));
      } else if (value == 0) {
        x_ = 0, ++row_;
      } else if (value == 1) {
        return;
      } else if (value == 2) {
        x_ = std::min(x_ + Next(), l_.width);
        row_ += Next();
      } else {
        Literal(value);
      }
    }
  }

 private:
  int Next() {
    if (at_ >= data_.size()) Damaged("the file is cut off");
    return data_[at_++];
  }
  int Nibble(int byte, int i) const {
    if (l_.bits == 8) return byte;
    return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
  }
  void Literal(int count) {
    const int bytes = l_.bits == 8 ? count : (count + 1) / 2;
    int index = 0;
    for (int b = 0; b < bytes; ++b) {
      const int byte = Next();
      for (int i = 0; i < (l_.bits == 8 ? 1 : 2) && index < count; ++i, ++index) Put(Nibble(byte, i));
    }
    if (bytes % 2 != 0) Next();
  }
  void Put(int index) {
    if (x_ >= l_.width) return;
    if (image_ == nullptr) {
      ++x_;
      return;
    }
    std::uint8_t* out = image_->ScanLine(l_.height - 1 - row_) + 3 * x_;
    if (index < palette_.Count()) std::memcpy(out, palette_.bgr.data() + 3 * index, 3);
    else out[0] = out[1] = out[2] = 0;
    ++x_;
  }

  std::span<const std::uint8_t> data_;
  const Layout& l_;
  const Palette& palette_;
  Bitmap* image_;
  std::size_t at_ = 0;
  int x_ = 0;
  int row_ = 0;
};

void IndexedRow(const std::uint8_t* in, std::uint8_t* out, const Layout& l, const Palette& p) {
  const int perByte = 8 / l.bits;
  const int mask = (1 << l.bits) - 1;
  for (int x = 0; x < l.width; ++x, out += 3) {
    const int shift = 8 - l.bits * (x % perByte + 1);
    const int index = (in[x / perByte] >> shift) & mask;
    if (index < p.Count()) {
      std::memcpy(out, p.bgr.data() + 3 * index, 3);
    } else {
      out[0] = out[1] = out[2] = 0;  // an index the palette lacks: black, as other viewers show it
    }
  }
}

void FieldRow(const std::uint8_t* in, std::uint8_t* out, const Layout& l) {
  const int bytesPerPixel = l.bits / 8;
  for (int x = 0; x < l.width; ++x, in += bytesPerPixel, out += 3) {
    std::uint32_t v = static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8;
    if (bytesPerPixel == 4) v |= static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
    out[0] = l.blue.Level(v);
    out[1] = l.green.Level(v);
    out[2] = l.red.Level(v);
  }
}

}  // namespace

Bitmap DecodeBmp(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') throw FileError("Not a BMP file");
  const LittleEndian in(bytes);
  Layout l;
  ReadHeader(in, l);
  CheckEncoding(l);
  ReadMasks(in, l);
  const Palette palette = ReadPalette(in, l);
  if (IsRunLength(l)) {
    l.pixelOffset = in.U32(10);
    if (l.pixelOffset < kFileHeader + l.infoSize || l.pixelOffset > bytes.size())
      Damaged("the pixel data offset points outside the file");
    const auto data = bytes.subspan(static_cast<std::size_t>(l.pixelOffset));
    RunLengthDecoder(data, l, palette, nullptr).Run();
    Bitmap image(l.width, l.height);
    RunLengthDecoder(data, l, palette, &image).Run();
    return image;
  }
  PlacePixels(in, bytes, l);

  Bitmap image(l.width, l.height);
  for (int r = 0; r < l.height; ++r) {
    const std::uint8_t* row = bytes.data() + l.pixelOffset + l.rowBytes * static_cast<std::uint64_t>(r);
    std::uint8_t* out = image.ScanLine(l.topDown ? r : l.height - 1 - r);
    if (l.bits <= 8) {
      IndexedRow(row, out, l, palette);
    } else if (l.bits == 24) {
      std::memcpy(out, row, static_cast<std::size_t>(l.width) * 3);
    } else {
      FieldRow(row, out, l);
    }
  }
  return image;
}

}  // namespace brumeleaf
