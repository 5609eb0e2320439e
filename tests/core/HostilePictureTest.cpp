// Picture files made to mislead: headers declaring absurd sizes, files named after another
// format.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "TestPictures.h"
#include "imaging/Colour.h"
#include "io/PictureFile.h"

namespace brumeleaf {
namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, bool bigEndian) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(v >> (bigEndian ? 24 - 8 * i : 8 * i));
}

// A 54-byte BMP header declaring the given size, 24 bits per pixel, and `pixelBytes` of data.
std::vector<std::uint8_t> BmpHeader(std::int32_t width, std::int32_t height, std::size_t pixelBytes = 0) {
  std::vector<std::uint8_t> b(54 + pixelBytes, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()), false);
  Put32(b, 10, 54, false);
  Put32(b, 14, 40, false);
  Put32(b, 18, static_cast<std::uint32_t>(width), false);
  Put32(b, 22, static_cast<std::uint32_t>(height), false);
  b[26] = 1;
  b[28] = 24;
  return b;
}

// A PNG signature and header chunk declaring the given size (8-bit RGB), nothing after it.
std::vector<std::uint8_t> PngHeader(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  b.resize(33, 0);
  Put32(b, 16, width, true);
  Put32(b, 20, height, true);
  b[24] = 8;
  b[25] = 2;
  return b;
}

std::string DecodeMessage(const std::vector<std::uint8_t>& bytes, PictureFormat format) {
  try {
    DecodePicture(bytes, format);
  } catch (const FileError& e) {
    return e.what();
  }
  return "decoded";
}

TEST(HostilePicture, OverLimitMessagesGiveTheDeclaredSize) {
  std::string m = DecodeMessage(BmpHeader(2147483647, 1), PictureFormat::Bmp);
  EXPECT_NE(m.find("2147483647 x 1 pixels"), std::string::npos) << m;
  m = DecodeMessage(BmpHeader(5, INT32_MIN), PictureFormat::Bmp);  // top-down, as large as it gets
  EXPECT_NE(m.find("5 x 2147483648 pixels"), std::string::npos) << m;
  m = DecodeMessage(BmpHeader(32769, 15001), PictureFormat::Bmp);
  EXPECT_NE(m.find("32769 x 15001 pixels"), std::string::npos) << m;
  m = DecodeMessage(PngHeader(2147483647u, 3), PictureFormat::Png);
  EXPECT_NE(m.find("2147483647 x 3 pixels"), std::string::npos) << m;
  m = DecodeMessage(PngHeader(7, 4000000000u), PictureFormat::Png);
  EXPECT_NE(m.find("7 x 4000000000 pixels"), std::string::npos) << m;
  EXPECT_NE(m.find("at most 32768 x 15001"), std::string::npos) << m;
}

}  // namespace
}  // namespace brumeleaf

namespace brumeleaf {
namespace {

// Renamed downloads: the content's signature decides, silently.
TEST(HostilePicture, APictureWithTheWrongExtensionOpensByItsContent) {
  testing::ScratchFolder dir("wrong-extension");
  Bitmap picture(13, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) picture.SetPixel(x, y, MakeColour(x * 19, y * 31, 200 - x * y));
  const auto put = [&](const std::string& name, PictureFormat format) {
    const std::vector<std::uint8_t> bytes = EncodePicture(picture, format);
    std::ofstream(dir.File(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return dir.File(name);
  };
  EXPECT_EQ(LoadPicture(put("png-named.jpg", PictureFormat::Png)), picture);
  EXPECT_EQ(LoadPicture(put("bmp-named.JPEG", PictureFormat::Bmp)), picture);
  EXPECT_EQ(LoadPicture(put("png-named.bmp", PictureFormat::Png)), picture);
  const Bitmap jpeg = LoadPicture(put("jpeg-named.png", PictureFormat::Jpeg));
  EXPECT_EQ(jpeg.Width(), 13);
  EXPECT_EQ(jpeg.Height(), 7);
  // Bytes that announce nothing still get the extension's decoder and its message.
  std::ofstream(dir.File("text.jpg")) << "not a picture at all";
  try {
    LoadPicture(dir.File("text.jpg"));
    FAIL() << "text decoded";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("Not a JPEG file"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace brumeleaf
