#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>

#include "io/GifCodec.h"
#include "io/PictureFile.h"
#include "io/PngCodec.h"

using namespace brumeleaf;

namespace {

// A PNG of any colour type written with libpng itself, the way other programs write them.
struct PngSpec {
  int width = 2, height = 2;
  int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::vector<std::uint8_t>> rows;
  std::vector<png_color> palette;
  std::vector<std::uint8_t> paletteAlpha;
};

void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

std::vector<std::uint8_t> WritePng(const PngSpec& s) {
  std::vector<std::uint8_t> out;
  if (static_cast<int>(s.rows.size()) != s.height) {
    ADD_FAILURE() << "test PNG needs one row per line";
    return out;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "test PNG not written";
    return {};
  }
  png_set_write_fn(png, &out, Append, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.bitDepth,
               s.colourType, s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
  if (!s.paletteAlpha.empty())
    png_set_tRNS(png, info, s.paletteAlpha.data(), static_cast<int>(s.paletteAlpha.size()), nullptr);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& r : s.rows) rows.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, rows.data());  // writes every interlace pass itself
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A GIF written with giflib: one or two frames, an optional transparent index.
struct GifSpec {
  int screenWidth = 4, screenHeight = 3;
  int left = 0, top = 0, width = 4, height = 3;
  bool interlaced = false;
  int transparent = -1;
  std::vector<GifColorType> colours = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {0, 255, 0}};
  std::vector<std::uint8_t> pixels;  // width x height indices, rows top to bottom
  bool secondFrame = false;
};

int AppendGif(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

std::vector<std::uint8_t> WriteGif(const GifSpec& s) {
  std::vector<std::uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendGif, &error);
  ColorMapObject* map = GifMakeMapObject(static_cast<int>(s.colours.size()), s.colours.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, s.screenWidth, s.screenHeight, 8, 0, map);
  if (s.transparent >= 0) {
    GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(s.transparent)};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
  }
  const int frames = s.secondFrame ? 2 : 1;
  for (int f = 0; f < frames; ++f) {
    EGifPutImageDesc(gif, s.left, s.top, s.width, s.height, s.interlaced, nullptr);
    static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    std::vector<int> order;
    for (int p = 0; p < (s.interlaced ? 4 : 1); ++p)
      for (int y = s.interlaced ? kStart[p] : 0; y < s.height; y += s.interlaced ? kStep[p] : 1) order.push_back(y);
    for (int y : order) {
      std::vector<GifPixelType> line(s.pixels.begin() + y * s.width, s.pixels.begin() + (y + 1) * s.width);
      if (f == 1) std::fill(line.begin(), line.end(), 3);
      EGifPutLine(gif, line.data(), s.width);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

}  // namespace

TEST(PngReading, TransparencyIsPaintedOverWhite) {
  PngSpec s;
  s.rows = {{255, 0, 0, 255, 0, 0, 255, 0}, {0, 0, 0, 128, 10, 20, 30, 255}};
  const Bitmap p = DecodePng(WritePng(s));
  EXPECT_EQ(p.Pixel(0, 0), MakeColour(255, 0, 0));
  EXPECT_EQ(p.Pixel(1, 0), kWhite);              // fully transparent blue
  EXPECT_EQ(p.Pixel(0, 1), MakeColour(127, 127, 127));  // half-transparent black
  EXPECT_EQ(p.Pixel(1, 1), MakeColour(10, 20, 30));
}

// A coloured, partly transparent pixel: each channel rounds to the nearest level on its own
// (a truncating blend gives 179 for red, a red/blue swap puts 239 there).
TEST(PngReading, PartialTransparencyRoundsEachChannelOverWhite) {
  PngSpec s;
  s.width = 3;
  s.height = 1;
  s.rows = {{5, 130, 201, 77, 255, 255, 255, 1, 0, 0, 0, 254}};
  const Bitmap p = DecodePng(WritePng(s));
  EXPECT_EQ(p.Pixel(0, 0), MakeColour(180, 217, 239));
  EXPECT_EQ(p.Pixel(1, 0), kWhite);
  EXPECT_EQ(p.Pixel(2, 0), MakeColour(1, 1, 1));
}

TEST(PngReading, PaletteGreySixteenBitAndInterlaced) {
  PngSpec pal;
  pal.colourType = PNG_COLOR_TYPE_PALETTE;
  pal.palette = {{1, 2, 3}, {200, 100, 50}};
  pal.paletteAlpha = {255, 0};
  pal.rows = {{0, 1}, {1, 0}};
  const Bitmap p = DecodePng(WritePng(pal));
  EXPECT_EQ(p.Pixel(0, 0), MakeColour(1, 2, 3));
  EXPECT_EQ(p.Pixel(1, 0), kWhite);

  PngSpec grey;
  grey.colourType = PNG_COLOR_TYPE_GRAY, grey.bitDepth = 16;
  grey.rows = {{0x12, 0x34, 0xFF, 0xFF}, {0, 0, 0x80, 0}};
  const Bitmap g = DecodePng(WritePng(grey));
  EXPECT_EQ(g.Pixel(0, 0), MakeColour(0x12, 0x12, 0x12));
  EXPECT_EQ(g.Pixel(1, 0), kWhite);
  EXPECT_EQ(g.Pixel(1, 1), MakeColour(0x80, 0x80, 0x80));

  PngSpec inter;
  inter.colourType = PNG_COLOR_TYPE_RGB, inter.interlaced = true, inter.width = 11, inter.height = 9;
  for (int y = 0; y < 9; ++y) {
    inter.rows.emplace_back();
    for (int x = 0; x < 11; ++x) inter.rows.back().insert(inter.rows.back().end(), {std::uint8_t(x * 20), std::uint8_t(y * 25), 7});
  }
  const Bitmap i = DecodePng(WritePng(inter));
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 11; ++x) ASSERT_EQ(i.Pixel(x, y), MakeColour(x * 20, y * 25, 7)) << x << "," << y;
}

TEST(PngReading, HeaderSizesAreCheckedFirst) {
  PngSpec s;
  s.rows = {{0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}};
  std::vector<std::uint8_t> file = WritePng(s);
  // IHDR width and height, big-endian at 16 and 20; the checksum no longer matches either.
  file[16] = 0, file[17] = 0, file[18] = 0x9C, file[19] = 0x40;  // 40000
  file[20] = 0, file[21] = 0, file[22] = 0x4E, file[23] = 0x20;  // 20000
  try {
    DecodePng(file);
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("at most 32768 x 15001"), std::string::npos) << e.what();
  }
  file[18] = 0, file[19] = 0;
  EXPECT_THROW(DecodePng(file), FileError);
  EXPECT_THROW(DecodePng(std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 13, 10, 26, 10}), FileError);
}

TEST(GifReading, FirstFrameOverWhite) {
  GifSpec s;
  s.transparent = 0;
  s.pixels = {1, 2, 0, 2, 0, 0, 0, 0, 3, 3, 3, 3};
  s.secondFrame = true;  // must not show
  const Bitmap g = DecodeGif(WriteGif(s));
  ASSERT_EQ(g.Width(), 4);
  ASSERT_EQ(g.Height(), 3);
  EXPECT_EQ(g.Pixel(0, 0), MakeColour(255, 0, 0));
  EXPECT_EQ(g.Pixel(1, 0), MakeColour(0, 0, 255));
  EXPECT_EQ(g.Pixel(2, 0), kWhite);
  EXPECT_EQ(g.Pixel(3, 0), MakeColour(0, 0, 255));
  EXPECT_EQ(g.Pixel(3, 1), kWhite);
  EXPECT_EQ(g.Pixel(0, 2), MakeColour(0, 255, 0));
}

TEST(GifReading, FrameInsideTheScreenAndInterlaced) {
  GifSpec s;
  s.screenWidth = 6, s.screenHeight = 12, s.left = 2, s.top = 1, s.width = 3, s.height = 10;
  s.interlaced = true;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 3; ++x) s.pixels.push_back(static_cast<std::uint8_t>(1 + (y % 3)));
  const Bitmap g = DecodeGif(WriteGif(s));
  EXPECT_EQ(g.Pixel(0, 0), kWhite);
  EXPECT_EQ(g.Pixel(5, 11), kWhite);
  const Colour rows[3] = {MakeColour(255, 0, 0), MakeColour(0, 0, 255), MakeColour(0, 255, 0)};
  for (int y = 0; y < 10; ++y) EXPECT_EQ(g.Pixel(3, 1 + y), rows[y % 3]) << y;
}

TEST(GifReading, DamagedFilesAreRefused) {
  GifSpec s;
  s.pixels.assign(12, 1);
  const std::vector<std::uint8_t> whole = WriteGif(s);
  for (std::size_t keep : {std::size_t{0}, std::size_t{5}, std::size_t{13}, std::size_t{30}, whole.size() - 4})
    EXPECT_THROW(DecodeGif(std::span<const std::uint8_t>(whole).first(keep)), FileError) << keep;
  GifSpec big = s;
  big.screenWidth = 40000, big.screenHeight = 20000;
  try {
    DecodeGif(WriteGif(big));
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("at most"), std::string::npos) << e.what();
  }
  // Header and trailer only: no picture at all.
  std::vector<std::uint8_t> empty(whole.begin(), whole.begin() + 13 + 3 * 4);
  empty.push_back(0x3B);
  EXPECT_THROW(DecodeGif(empty), FileError);
  std::vector<std::uint8_t> text = {'G', 'I', 'F', 'x', 'y', 'z', 1, 2, 3};
  EXPECT_THROW(DecodePicture(text, PictureFormat::Gif), FileError);
}
