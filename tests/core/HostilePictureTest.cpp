// Picture files made to mislead: headers declaring absurd sizes, files named after another
// format.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <iterator>
#include <utility>
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

// The chunk checksum of PNG files (CRC-32, reflected, polynomial 0xEDB88320).
std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return c ^ 0xFFFFFFFFu;
}

// A PNG signature and header chunk declaring the given size (8-bit RGB), nothing after it.
std::vector<std::uint8_t> PngHeader(std::uint32_t width, std::uint32_t height) {
  // Sized once: growing an initialised vector trips a false bounds warning in GCC 12.
  std::vector<std::uint8_t> b(33, 0);
  const std::uint8_t start[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  std::copy(std::begin(start), std::end(start), b.begin());
  Put32(b, 16, width, true);
  Put32(b, 20, height, true);
  b[24] = 8;
  b[25] = 2;
  Put32(b, 29, Crc32(b.data() + 12, 17), true);
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

namespace brumeleaf {
namespace {

std::vector<std::uint8_t> Joined(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A few bytes declaring the largest picture, then too little data. Run by the command line in
// an address space far smaller than the picture: had the decoder allocated the picture first,
// the message would be about memory.
TEST(HostilePicture, ATinyFileDeclaringAHugePictureFailsBeforeAllocatingIt) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
  testing::ScratchFolder dir("tiny-huge");
  const int w = 32768, h = 15001;
  // PNG: the header and a chunk of pixel data far too small for 15001 rows.
  std::vector<std::uint8_t> png = PngHeader(w, h);
  png.resize(33);
  const std::vector<std::uint8_t> idat = {0, 0, 0, 100, 'I', 'D', 'A', 'T'};
  png = Joined({png, idat, std::vector<std::uint8_t>(104, 0x78)});
  // BMP: run-length coded rows whose data ends after a few rows.
  std::vector<std::uint8_t> rle = BmpHeader(w, h, 1024 + 16);
  rle[28] = 8;
  rle[30] = 1;  // RLE8
  Put32(rle, 10, 54 + 1024, false);
  // JPEG: a quantisation table, the frame header and the start of a scan, no data.
  std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
  jpeg.insert(jpeg.end(), 64, 1);
  const std::vector<std::uint8_t> frame = {0xFF, 0xC0, 0, 11, 8, 0x3A, 0x99, 0x80, 0x00, 1, 1, 0x11, 0,
                                           0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0, 0, 0, 0, 0};
  jpeg = Joined({jpeg, frame});
  for (const auto& [name, bytes] : {std::pair{"huge.png", png}, std::pair{"huge.bmp", rle},
                                    std::pair{"huge.jpg", jpeg}}) {
    const std::string path = dir.File(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::string err = dir.File("err.txt");
    const std::string command = "ulimit -v 700000; '" + std::string(BRUMELEAF_CLI) + "' info '" + path +
                                "' 2>'" + err + "' >/dev/null";
    const int status = std::system(("sh -c \"" + command + "\"").c_str());
    std::ifstream in(err);
    const std::string message{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << name << ": " << message;
    EXPECT_EQ(message.find("memory"), std::string::npos) << message;
    EXPECT_NE(message.find(name), std::string::npos) << message;
  }
}

}  // namespace
}  // namespace brumeleaf
