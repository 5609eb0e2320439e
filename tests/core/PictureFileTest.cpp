#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "TestPictures.h"
#include "io/ExifOrientation.h"
#include "io/FileBytes.h"
#include "io/JfifDensity.h"
#include "io/JpegCodec.h"
#include "io/PictureFile.h"

using namespace brumeleaf;
using brumeleaf::testing::Gradient;
using brumeleaf::testing::Near;
using brumeleaf::testing::Quadrants;
using brumeleaf::testing::ScratchFolder;

namespace {

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const FileError& e) {
    return e.what();
  }
  return "(no FileError)";
}

// An encoded JPEG whose JFIF density field says `x`, with units byte `units`.
std::vector<std::uint8_t> JpegWithDensity(int x, int units = 1) {
  std::vector<std::uint8_t> bytes = EncodeJpeg(Quadrants(16, 16), 90, 300);
  // SOI, APP0 marker and length, then "JFIF\0" at offset 6: units at 13, density at 14.
  bytes[13] = static_cast<std::uint8_t>(units);
  bytes[14] = static_cast<std::uint8_t>(x >> 8);
  bytes[15] = static_cast<std::uint8_t>(x & 0xFF);
  return bytes;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Round trips

TEST(PictureFileRoundTrip, PngAndBmpKeepEveryPixel) {
  ScratchFolder dir("roundtrip");
  const Bitmap original = Gradient(37, 23);  // odd width: rows carry padding
  for (const char* name : {"a.png", "a.bmp", "UPPER.PNG", "Mixed.Bmp"}) {
    SavePicture(original, dir.File(name));
    PictureInfo info;
    info.dpi = 1;
    const Bitmap loaded = LoadPicture(dir.File(name), &info);
    EXPECT_TRUE(loaded == original) << name;
    EXPECT_EQ(info.dpi, 300) << name;
  }
}

TEST(PictureFileRoundTrip, JpegKeepsColoursAndWritesDensity) {
  ScratchFolder dir("jpeg");
  const Bitmap original = Quadrants(64, 48);
  SaveOptions options;
  options.dpi = 96;
  for (const char* name : {"b.jpg", "b.jpeg", "B.JPG"}) {
    SavePicture(original, dir.File(name), options);
    PictureInfo info;
    const Bitmap loaded = LoadPicture(dir.File(name), &info);
    ASSERT_EQ(loaded.Width(), 64);
    ASSERT_EQ(loaded.Height(), 48);
    for (auto [x, y] : {std::pair{16, 12}, {48, 12}, {48, 36}, {16, 36}})
      EXPECT_TRUE(Near(loaded.Pixel(x, y), original.Pixel(x, y), 6)) << name << " " << x << "," << y;
    EXPECT_EQ(info.dpi, 96);
  }
  const std::vector<std::uint8_t> bytes = ReadFileBytes(dir.File("b.jpg"));
  EXPECT_EQ(bytes[13], 1);  // dots per inch
  EXPECT_EQ(bytes[14] * 256 + bytes[15], 96);
  EXPECT_EQ(bytes[16] * 256 + bytes[17], 96);
}

TEST(PictureFileRoundTrip, UnknownExtensionIsDecodedByItsContent) {
  ScratchFolder dir("sniff");
  const Bitmap original = Gradient(9, 5);
  SavePicture(original, dir.File("p.png"));
  std::filesystem::rename(dir.File("p.png"), dir.File("p.data"));
  EXPECT_TRUE(LoadPicture(dir.File("p.data")) == original);
}

TEST(PictureFileRoundTrip, SampleOpensWithItsDensity) {
  PictureInfo info;
  const Bitmap sample = LoadPicture(BRUMELEAF_SAMPLE, &info);
  EXPECT_EQ(sample.Width(), 512);
  EXPECT_EQ(sample.Height(), 512);
  EXPECT_EQ(info.dpi, 118);  // stored as 118 dots per centimetre; the units byte is not used
}

// ---------------------------------------------------------------------------------------------
// JFIF density

TEST(JfifDensity, ReadingFollowsTheRules) {
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(0)), 300);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(50)), 300);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(71)), 300);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(72)), 72);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(96)), 96);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(2400)), 2400);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(3000)), 2400);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(65535)), 2400);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(118, 2)), 118);
  EXPECT_EQ(ReadJfifDensity(JpegWithDensity(600, 0)), 600);
}

TEST(JfifDensity, MissingOrCutOffHeaderGives300) {
  std::vector<std::uint8_t> noJfif = JpegWithDensity(96);
  noJfif[6] = 'X';
  EXPECT_EQ(ReadJfifDensity(noJfif), 300);
  EXPECT_EQ(ReadJfifDensity({}), 300);
  // The tag must start within the first 50 bytes.
  std::vector<std::uint8_t> late(80, 0);
  std::copy_n("JFIF", 5, late.begin() + 50);
  late[58] = 0, late[59] = 96;
  EXPECT_EQ(ReadJfifDensity(late), 300);
  // A tag at the end of the bytes has no density field to read.
  std::vector<std::uint8_t> shortTail(49, 0);
  std::copy_n("JFIF", 5, shortTail.begin() + 44);
  EXPECT_EQ(ReadJfifDensity(shortTail), 300);
  std::vector<std::uint8_t> unchanged = shortTail;
  EXPECT_FALSE(WriteJfifDensity(shortTail, 96));
  EXPECT_EQ(shortTail, unchanged);
}

TEST(JfifDensity, WritingSetsUnitsAndBothDensities) {
  std::vector<std::uint8_t> bytes = JpegWithDensity(118, 2);
  ASSERT_TRUE(WriteJfifDensity(bytes, 600));
  EXPECT_EQ(bytes[13], 1);
  EXPECT_EQ(bytes[14] * 256 + bytes[15], 600);
  EXPECT_EQ(bytes[16] * 256 + bytes[17], 600);
  EXPECT_EQ(ReadJfifDensity(bytes), 600);
  EXPECT_FALSE(WriteJfifDensity(bytes, 0));
  EXPECT_FALSE(WriteJfifDensity(bytes, 70000));

  ScratchFolder dir("density");
  WriteBytes(dir.File("d.jpg"), JpegWithDensity(0));
  EXPECT_EQ(ReadJpegDensity(dir.File("d.jpg")), 300);
  WriteJpegDensity(dir.File("d.jpg"), 150);
  EXPECT_EQ(ReadJpegDensity(dir.File("d.jpg")), 150);
  EXPECT_NO_THROW(LoadPicture(dir.File("d.jpg")));  // only the header bytes changed
  EXPECT_THROW(ReadJpegDensity(dir.File("missing.jpg")), FileError);
}

// ---------------------------------------------------------------------------------------------
// Saving

TEST(PictureFileSaving, FailureLeavesNothingBehind) {
  ScratchFolder dir("save");
  const Bitmap picture = Gradient(8, 8);
  EXPECT_THROW(SavePicture(picture, dir.File("missing-folder/x.png")), FileError);
  std::filesystem::create_directory(dir.File("folder.png"));
  EXPECT_THROW(SavePicture(picture, dir.File("folder.png")), FileError);
  EXPECT_THROW(SavePicture(picture, dir.File("x.tif")), FileError);
  EXPECT_THROW(SavePicture(Bitmap(), dir.File("empty.png")), FileError);
  SaveOptions badQuality;
  badQuality.jpegQuality = 0;
  EXPECT_THROW(SavePicture(picture, dir.File("q.jpg"), badQuality), FileError);
  EXPECT_EQ(dir.Entries(), 1);  // only the folder made above
}

TEST(PictureFileSaving, ReplacesAnExistingFileWhole) {
  ScratchFolder dir("replace");
  WriteBytes(dir.File("r.bmp"), std::vector<std::uint8_t>(100000, 7));
  const Bitmap picture = Gradient(10, 10);
  SavePicture(picture, dir.File("r.bmp"));
  EXPECT_TRUE(LoadPicture(dir.File("r.bmp")) == picture);
  EXPECT_EQ(dir.Entries(), 1);
}

// The old file is replaced, never written over: another name for it (a hard link, a backup
// tool's reference) keeps the old bytes, and a crash mid-write could not have cut it short.
TEST(PictureFileSaving, NeverWritesIntoTheOldFile) {
  ScratchFolder dir("hardlink");
  const std::vector<std::uint8_t> old(5000, 9);
  WriteBytes(dir.File("r.bmp"), old);
  ASSERT_EQ(::link(dir.File("r.bmp").c_str(), dir.File("other-name.bmp").c_str()), 0);
  const Bitmap picture = Gradient(11, 7);
  SavePicture(picture, dir.File("r.bmp"));
  EXPECT_TRUE(LoadPicture(dir.File("r.bmp")) == picture);
  EXPECT_EQ(ReadFileBytes(dir.File("other-name.bmp")), old);
}

TEST(PictureFileSaving, PngIsRgbaWithOpaqueAlpha) {
  const std::vector<std::uint8_t> png = EncodePicture(Gradient(5, 3), PictureFormat::Png);
  // IHDR: bit depth at 24, colour type at 25 (6 = red, green, blue, alpha).
  EXPECT_EQ(png[24], 8);
  EXPECT_EQ(png[25], 6);
}

// ---------------------------------------------------------------------------------------------
// Bad input

TEST(PictureFileBadInput, EveryFailureNamesTheFileAndTheCause) {
  ScratchFolder dir("bad");
  WriteBytes(dir.File("text.jpg"), std::vector<std::uint8_t>{'H', 'e', 'l', 'l', 'o', '\n'});
  std::string m = MessageOf([&] { LoadPicture(dir.File("text.jpg")); });
  EXPECT_NE(m.find(dir.File("text.jpg")), std::string::npos) << m;
  EXPECT_NE(m.find("Not a JPEG file"), std::string::npos) << m;

  m = MessageOf([&] { LoadPicture(dir.File("nothing.png")); });
  EXPECT_NE(m.find("does not exist"), std::string::npos) << m;
  WriteBytes(dir.File("empty.gif"), {});
  m = MessageOf([&] { LoadPicture(dir.File("empty.gif")); });
  EXPECT_NE(m.find("empty"), std::string::npos) << m;
  m = MessageOf([&] { LoadPicture(dir.File("")); });
  EXPECT_NE(m.find("is a folder"), std::string::npos) << m;
  WriteBytes(dir.File("notes.txt"), std::vector<std::uint8_t>(20, 'a'));
  m = MessageOf([&] { LoadPicture(dir.File("notes.txt")); });
  EXPECT_NE(m.find("not a JPEG, PNG, GIF or BMP"), std::string::npos) << m;
}

TEST(PictureFileBadInput, TruncatedOrDamagedFilesAreRefused) {
  const Bitmap picture = Quadrants(40, 30);
  for (PictureFormat format : {PictureFormat::Jpeg, PictureFormat::Png, PictureFormat::Bmp}) {
    const std::vector<std::uint8_t> whole = EncodePicture(picture, format);
    for (std::size_t keep : {std::size_t{1}, std::size_t{10}, std::size_t{30}, whole.size() / 2, whole.size() - 3}) {
      std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep));
      EXPECT_THROW(DecodePicture(cut, format), FileError) << static_cast<int>(format) << " " << keep;
    }
  }
  // A damaged PNG checksum in the header chunk.
  std::vector<std::uint8_t> png = EncodePicture(picture, PictureFormat::Png);
  png[29] ^= 0xFF;
  EXPECT_THROW(DecodePicture(png, PictureFormat::Png), FileError);
}

// The size in a JPEG's frame header (SOF0: marker, length, precision, height, width).
void SetJpegSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8), jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8), jpeg[i + 8] = static_cast<std::uint8_t>(width);
      return;
    }
  }
  FAIL() << "no frame header";
}

TEST(PictureFileBadInput, HeaderSizesOutsideTheLimitsAreRefusedBeforeDecoding) {
  std::vector<std::uint8_t> jpeg = EncodeJpeg(Quadrants(16, 16), 90, 300);
  SetJpegSize(jpeg, 40000, 20000);
  std::string m = MessageOf([&] { DecodePicture(jpeg, PictureFormat::Jpeg); });
  EXPECT_NE(m.find("at most 32768 x 15001"), std::string::npos) << m;
  SetJpegSize(jpeg, 16, 0);
  EXPECT_THROW(DecodePicture(jpeg, PictureFormat::Jpeg), FileError);
}

// ---------------------------------------------------------------------------------------------
// EXIF orientation

namespace {

// An APP1 "Exif" segment holding one orientation entry, in either byte order.
std::vector<std::uint8_t> ExifSegment(int orientation, bool bigEndian) {
  std::vector<std::uint8_t> tiff;
  const auto put16 = [&](int v) {
    if (bigEndian) tiff.insert(tiff.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
    else tiff.insert(tiff.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
  };
  const auto put32 = [&](std::uint32_t v) {
    if (bigEndian) put16(int(v >> 16)), put16(int(v & 0xFFFF));
    else put16(int(v & 0xFFFF)), put16(int(v >> 16));
  };
  tiff.push_back(bigEndian ? 'M' : 'I');
  tiff.push_back(bigEndian ? 'M' : 'I');
  put16(42);
  put32(8);
  put16(2);  // two entries: an unrelated one first
  put16(0x010F), put16(2), put32(4), put32(0);
  put16(0x0112), put16(3), put32(1), put16(orientation), put16(0);
  put32(0);
  static constexpr std::uint8_t kHeader[10] = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  std::vector<std::uint8_t> segment(sizeof kHeader + tiff.size());
  std::copy(std::begin(kHeader), std::end(kHeader), segment.begin());
  std::copy(tiff.begin(), tiff.end(), segment.begin() + sizeof kHeader);
  const std::size_t length = segment.size() - 2;
  segment[2] = std::uint8_t(length >> 8), segment[3] = std::uint8_t(length);
  return segment;
}

// Inserted right after the JFIF segment, where cameras put it.
std::vector<std::uint8_t> WithExif(std::vector<std::uint8_t> jpeg, int orientation, bool bigEndian) {
  const std::vector<std::uint8_t> segment = ExifSegment(orientation, bigEndian);
  jpeg.insert(jpeg.begin() + 20, segment.begin(), segment.end());
  return jpeg;
}

}  // namespace

TEST(ExifOrientation, PicturesOpenUpright) {
  // Stored quadrants: red top-left, green top-right, blue bottom-right, yellow bottom-left.
  const Colour R = MakeColour(220, 30, 30), G = MakeColour(30, 200, 40), B = MakeColour(30, 40, 210),
               Y = MakeColour(230, 220, 30);
  // What each orientation shows at top-left, top-right, bottom-right, bottom-left.
  const Colour expected[9][4] = {{}, {R, G, B, Y}, {G, R, Y, B}, {B, Y, R, G}, {Y, B, G, R},
                                 {R, Y, B, G}, {Y, R, G, B}, {B, G, R, Y}, {G, B, Y, R}};
  const std::vector<std::uint8_t> plain = EncodeJpeg(Quadrants(64, 32), 95, 300);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    for (bool big : {false, true}) {
      const Bitmap shown = DecodeJpeg(WithExif(plain, orientation, big));
      const bool swapped = orientation >= 5;
      ASSERT_EQ(shown.Width(), swapped ? 32 : 64) << orientation;
      ASSERT_EQ(shown.Height(), swapped ? 64 : 32) << orientation;
      const int w = shown.Width(), h = shown.Height();
      const Colour corners[4] = {shown.Pixel(w / 4, h / 4), shown.Pixel(3 * w / 4, h / 4),
                                 shown.Pixel(3 * w / 4, 3 * h / 4), shown.Pixel(w / 4, 3 * h / 4)};
      for (int c = 0; c < 4; ++c)
        EXPECT_TRUE(Near(corners[c], expected[orientation][c], 8)) << "orientation " << orientation << " corner " << c;
    }
  }
}

TEST(ExifOrientation, MalformedTagsAreIgnored) {
  std::vector<std::uint8_t> segment = ExifSegment(6, false);
  std::span<const std::uint8_t> payload(segment.begin() + 4, segment.end());
  EXPECT_EQ(ExifOrientation(payload), 6);
  EXPECT_EQ(ExifOrientation(payload.first(20)), 1);  // directory cut off
  std::vector<std::uint8_t> bad(payload.begin(), payload.end());
  bad[6 + 8] = 0xFF, bad[6 + 9] = 0xFF;  // 65535 entries claimed, the orientation tag renamed
  bad[6 + 22] = 0x13;
  EXPECT_EQ(ExifOrientation(bad), 1);
  bad = std::vector<std::uint8_t>(payload.begin(), payload.end());
  bad[6 + 4] = 0xF0;  // directory offset far outside
  EXPECT_EQ(ExifOrientation(bad), 1);
  EXPECT_EQ(ExifOrientation(ExifSegment(9, true)), 1);
  EXPECT_EQ(ExifOrientation({}), 1);
  // A value outside 1..8 leaves the picture as stored.
  const Bitmap stored = DecodeJpeg(EncodeJpeg(Quadrants(20, 10), 90, 300));
  EXPECT_TRUE(DecodeJpeg(WithExif(EncodeJpeg(Quadrants(20, 10), 90, 300), 9, false)) == stored);
}

TEST(ExifOrientation, TurningMayNotExceedTheSizeLimits) {
  // 16000 columns fit, 16000 rows do not.
  const std::vector<std::uint8_t> wide = EncodeJpeg(Bitmap(16000, 8), 50, 300);
  EXPECT_NO_THROW(DecodeJpeg(wide));
  EXPECT_THROW(DecodePicture(WithExif(wide, 6, false), PictureFormat::Jpeg), FileError);
}

TEST(ExifOrientation, TurnsAreExactOnPixels) {
  const Bitmap g = Gradient(7, 4);
  const Bitmap turned = ApplyOrientation(g, 6);
  for (int y = 0; y < turned.Height(); ++y)
    for (int x = 0; x < turned.Width(); ++x) ASSERT_EQ(turned.Pixel(x, y), g.Pixel(y, g.Height() - 1 - x));
  // Four quarter turns clockwise, and two mirrors, come back to the start.
  EXPECT_TRUE(ApplyOrientation(ApplyOrientation(ApplyOrientation(turned, 6), 6), 6) == g);
  EXPECT_TRUE(ApplyOrientation(ApplyOrientation(g, 2), 2) == g);
  EXPECT_TRUE(ApplyOrientation(ApplyOrientation(g, 5), 5) == g);
  EXPECT_TRUE(ApplyOrientation(ApplyOrientation(g, 6), 8) == g);
  EXPECT_TRUE(ApplyOrientation(Bitmap(), 6).Empty());
}
