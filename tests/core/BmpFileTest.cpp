#include <gtest/gtest.h>

#include <climits>

#include "TestPictures.h"
#include "io/BmpCodec.h"
#include "io/PictureFile.h"

using namespace brumeleaf;

namespace {

// Assembles a BMP file the way other programs write them, field by field.
struct BmpBuilder {
  std::uint32_t headerSize = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  int planes = 1;
  int bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  std::vector<std::uint32_t> masks;      // written after a 40-byte header or inside longer ones
  std::vector<std::uint32_t> palette;    // 0x00RRGGBB
  std::vector<std::vector<std::uint8_t>> rows;  // file order, unpadded
  bool padLastRow = true;

  std::vector<std::uint8_t> Build() const {
    std::vector<std::uint8_t> out(14 + headerSize, 0);
    const auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
      for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B', out[1] = 'M';
    put(14, headerSize, 4);
    if (headerSize == 12) {
      put(18, static_cast<std::uint32_t>(width), 2), put(20, static_cast<std::uint32_t>(height), 2);
      put(22, static_cast<std::uint32_t>(planes), 2), put(24, static_cast<std::uint32_t>(bits), 2);
    } else {
      put(18, static_cast<std::uint32_t>(width), 4), put(22, static_cast<std::uint32_t>(height), 4);
      put(26, static_cast<std::uint32_t>(planes), 2), put(28, static_cast<std::uint32_t>(bits), 2);
      put(30, compression, 4), put(46, coloursUsed, 4);
    }
    if (headerSize == 40 && !masks.empty()) out.resize(out.size() + 4 * masks.size());
    for (std::size_t i = 0; i < masks.size(); ++i) put(54 + 4 * i, masks[i], 4);
    for (std::uint32_t c : palette) {
      out.push_back(static_cast<std::uint8_t>(c)), out.push_back(static_cast<std::uint8_t>(c >> 8));
      out.push_back(static_cast<std::uint8_t>(c >> 16));
      if (headerSize != 12) out.push_back(0);
    }
    put(10, static_cast<std::uint32_t>(out.size()), 4);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      out.insert(out.end(), rows[r].begin(), rows[r].end());
      if (r + 1 < rows.size() || padLastRow)
        out.resize(out.size() + (4 - rows[r].size() % 4) % 4, 0);
    }
    put(2, static_cast<std::uint32_t>(out.size()), 4);
    return out;
  }
};

Bitmap Decode(const BmpBuilder& b) { return DecodeBmp(b.Build()); }

std::string Failure(const BmpBuilder& b) {
  try {
    DecodeBmp(b.Build());
  } catch (const FileError& e) {
    return e.what();
  }
  return "(decoded)";
}

// Two rows of three pixels in 24 bits: bottom row first in the file unless top-down.
BmpBuilder TwoRows24() {
  BmpBuilder b;
  b.width = 3, b.height = 2;
  b.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
  return b;
}

}  // namespace

TEST(BmpReading, RowOrderAndDepths) {
  BmpBuilder b = TwoRows24();
  Bitmap up = Decode(b);
  EXPECT_EQ(up.Pixel(0, 1), MakeColour(3, 2, 1));  // bottom row comes first
  EXPECT_EQ(up.Pixel(2, 0), MakeColour(18, 17, 16));
  b.height = -2;
  Bitmap down = Decode(b);
  EXPECT_EQ(down.Pixel(0, 0), MakeColour(3, 2, 1));
  b.padLastRow = false;  // many writers leave the last row's padding out
  EXPECT_TRUE(Decode(b) == down);

  BmpBuilder indexed;
  indexed.width = 10, indexed.height = 1, indexed.bits = 1;
  indexed.palette = {0x000000, 0xFF8000};
  indexed.rows = {{0b10100000, 0b01000000}};
  Bitmap one = Decode(indexed);
  EXPECT_EQ(one.Pixel(0, 0), MakeColour(255, 128, 0));
  EXPECT_EQ(one.Pixel(1, 0), kBlack);
  EXPECT_EQ(one.Pixel(9, 0), MakeColour(255, 128, 0));

  indexed.bits = 4, indexed.width = 3, indexed.coloursUsed = 3;
  indexed.palette = {0x112233, 0x445566, 0x778899};
  indexed.rows = {{0x12, 0xF0}};  // index 15 is beyond the palette
  Bitmap four = Decode(indexed);
  EXPECT_EQ(four.Pixel(0, 0), MakeColour(0x44, 0x55, 0x66));
  EXPECT_EQ(four.Pixel(1, 0), MakeColour(0x77, 0x88, 0x99));
  EXPECT_EQ(four.Pixel(2, 0), kBlack);

  indexed.bits = 8, indexed.width = 2, indexed.coloursUsed = 0;
  indexed.palette.assign(256, 0);
  indexed.palette[200] = 0xABCDEF;
  indexed.rows = {{200, 0}};
  EXPECT_EQ(Decode(indexed).Pixel(0, 0), MakeColour(0xAB, 0xCD, 0xEF));
  indexed.headerSize = 12;  // the oldest header: three-byte palette entries
  EXPECT_EQ(Decode(indexed).Pixel(0, 0), MakeColour(0xAB, 0xCD, 0xEF));
}

TEST(BmpReading, SixteenAndThirtyTwoBits) {
  BmpBuilder b;
  b.width = 2, b.height = 1, b.bits = 16;
  b.rows = {{0xFF, 0x7F, 0x00, 0x7C}};  // 5-5-5: white, pure red
  Bitmap p = Decode(b);
  EXPECT_EQ(p.Pixel(0, 0), kWhite);
  EXPECT_EQ(p.Pixel(1, 0), MakeColour(255, 0, 0));
  b.compression = 3, b.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
  b.rows = {{0xE0, 0x07, 0x1F, 0x00}};
  p = Decode(b);
  EXPECT_EQ(p.Pixel(0, 0), MakeColour(0, 255, 0));
  EXPECT_EQ(p.Pixel(1, 0), MakeColour(0, 0, 255));

  BmpBuilder w;
  w.width = 1, w.height = 1, w.bits = 32;
  w.rows = {{10, 20, 30, 99}};
  EXPECT_EQ(Decode(w).Pixel(0, 0), MakeColour(30, 20, 10));
  w.headerSize = 124, w.compression = 3, w.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  EXPECT_EQ(Decode(w).Pixel(0, 0), MakeColour(10, 20, 30));
}

TEST(BmpReading, RunLengthCodedPictures) {
  BmpBuilder b;
  b.width = 5, b.height = 3, b.bits = 8, b.compression = 1, b.coloursUsed = 3;
  b.palette = {0xFF0000, 0x00FF00, 0x0000FF};
  b.padLastRow = false;
  // Bottom row: 3 x index 1, then a literal 2, 0, 9 padded (the 9 falls past the edge); next row:
  // jump 1 right and 1 up, so the middle row stays white; top row: 7 x index 2 clipped to 5.
  b.rows = {{3, 1, 0, 3, 2, 0, 9, 0, 0, 0, 0, 2, 1, 1, 7, 2, 0, 1}};
  const Bitmap p = Decode(b);
  const Colour red = MakeColour(255, 0, 0), green = MakeColour(0, 255, 0), blue = MakeColour(0, 0, 255);
  const Colour bottom[5] = {green, green, green, blue, red};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(p.Pixel(x, 2), bottom[x]) << x;
  for (int x = 0; x < 5; ++x) EXPECT_EQ(p.Pixel(x, 1), kWhite) << x;
  EXPECT_EQ(p.Pixel(0, 0), kWhite);
  for (int x = 1; x < 5; ++x) EXPECT_EQ(p.Pixel(x, 0), blue) << x;

  BmpBuilder four;
  four.width = 4, four.height = 1, four.bits = 4, four.compression = 2, four.coloursUsed = 3;
  four.palette = {0x000000, 0xFFFFFF, 0xFF0000};
  four.padLastRow = false;
  four.rows = {{3, 0x12, 0, 3, 0x20, 0x00, 0, 1}};  // run 1,2,1, then a literal of three: 2 fits, the rest is clipped
  const Bitmap q = Decode(four);
  EXPECT_EQ(q.Pixel(0, 0), kWhite);
  EXPECT_EQ(q.Pixel(1, 0), MakeColour(255, 0, 0));
  EXPECT_EQ(q.Pixel(2, 0), kWhite);
  EXPECT_EQ(q.Pixel(3, 0), MakeColour(255, 0, 0));

  b.rows = {{3, 1, 0, 3, 2}};  // cut off in the middle of a literal run
  EXPECT_NE(Failure(b).find("cut off"), std::string::npos);
  b.rows = {{3, 1}};  // no end of picture
  EXPECT_NE(Failure(b).find("cut off"), std::string::npos);
  b.height = -3;
  EXPECT_NE(Failure(b).find("top-down"), std::string::npos);
}

TEST(BmpReading, WrittenFilesReadBack) {
  const Bitmap g = brumeleaf::testing::Gradient(13, 6);
  const std::vector<std::uint8_t> file = EncodeBmp(g, 300);
  EXPECT_EQ(file.size(), 54u + 40u * 6u);
  EXPECT_EQ(file[38] | file[39] << 8, 11811);  // 300 dpi in pixels per metre
  EXPECT_TRUE(DecodeBmp(file) == g);
}

TEST(BmpReading, EveryHeaderFieldIsChecked) {
  BmpBuilder b = TwoRows24();
  b.width = 40000, b.height = 20000;  // claimed; the pixels are not there
  EXPECT_NE(Failure(b).find("at most 32768 x 15001"), std::string::npos) << Failure(b);
  b = TwoRows24(), b.height = INT_MIN;
  EXPECT_NE(Failure(b).find("at most"), std::string::npos) << Failure(b);
  b = TwoRows24(), b.width = 0;
  EXPECT_NE(Failure(b).find("no pixels"), std::string::npos);
  b = TwoRows24(), b.width = -3;
  EXPECT_NE(Failure(b).find("no pixels"), std::string::npos);
  b = TwoRows24(), b.height = 0;
  EXPECT_NE(Failure(b).find("no pixels"), std::string::npos);
  b = TwoRows24(), b.planes = 2;
  EXPECT_NE(Failure(b).find("planes"), std::string::npos);
  b = TwoRows24(), b.bits = 7;
  EXPECT_NE(Failure(b).find("7 bits"), std::string::npos);
  b = TwoRows24(), b.headerSize = 99;
  EXPECT_NE(Failure(b).find("header size"), std::string::npos);
  b = TwoRows24(), b.compression = 1;
  EXPECT_NE(Failure(b).find("does not match the depth"), std::string::npos);
  b = TwoRows24(), b.compression = 4;
  EXPECT_NE(Failure(b).find("not supported"), std::string::npos);
  b = TwoRows24(), b.compression = 3;  // bit fields on 24 bits
  EXPECT_NE(Failure(b).find("bit fields"), std::string::npos);
  b = TwoRows24(), b.rows.pop_back();
  EXPECT_NE(Failure(b).find("cut off"), std::string::npos);

  BmpBuilder p;
  p.width = 1, p.height = 1, p.bits = 8, p.coloursUsed = 200;
  p.palette.assign(10, 0);  // 200 entries announced, 10 there, no pixels
  EXPECT_NE(Failure(p).find("cut off"), std::string::npos);

  std::vector<std::uint8_t> file = TwoRows24().Build();
  file[10] = 0xF0, file[11] = 0xFF;  // pixel offset beyond the end
  EXPECT_THROW(DecodeBmp(file), FileError);
  file = TwoRows24().Build();
  file[10] = 20;  // pixel offset inside the header
  EXPECT_THROW(DecodeBmp(file), FileError);
  for (std::size_t keep = 0; keep < 60; ++keep)
    EXPECT_THROW(DecodeBmp(std::span<const std::uint8_t>(file).first(keep)), FileError) << keep;
}
