#include <gtest/gtest.h>

#include <string_view>

#include "TestPictures.h"
#include "io/Download.h"
#include "io/PictureFile.h"

using namespace brumeleaf;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

}  // namespace

TEST(DownloadSniffing, FirstBytesChooseTheFormat) {
  EXPECT_EQ(SniffFormat(Bytes("BM\x10\x00")), PictureFormat::Bmp);
  EXPECT_EQ(SniffFormat(Bytes("GIF89a")), PictureFormat::Gif);
  EXPECT_EQ(SniffFormat(Bytes("\x89PNG\r\n\x1a\n")), PictureFormat::Png);
  EXPECT_EQ(SniffFormat(Bytes("\xFF\xD8\xFF\xE0")), PictureFormat::Jpeg);
  EXPECT_EQ(SniffFormat(Bytes("\xFF\xD8")), PictureFormat::Jpeg);
  // Letters one byte further on are not a PNG signature.
  EXPECT_EQ(SniffFormat(Bytes("\x89xPNG")), PictureFormat::Unknown);
  for (std::string_view tooShort : {"", "B", "GI", "\x89PN", "\xFF"})
    EXPECT_EQ(SniffFormat(Bytes(tooShort)), PictureFormat::Unknown) << tooShort;
  EXPECT_EQ(SniffFormat(Bytes("<html>")), PictureFormat::Unknown);
}

TEST(DownloadSniffing, DecodesEveryFormatFromMemory) {
  const Bitmap g = brumeleaf::testing::Gradient(12, 7);
  EXPECT_TRUE(DecodeDownloaded(EncodePicture(g, PictureFormat::Png)) == g);
  EXPECT_TRUE(DecodeDownloaded(EncodePicture(g, PictureFormat::Bmp)) == g);
  const Bitmap jpeg = DecodeDownloaded(EncodePicture(g, PictureFormat::Jpeg));
  EXPECT_EQ(jpeg.Width(), 12);
  EXPECT_EQ(jpeg.Height(), 7);
}

TEST(DownloadSniffing, AnythingElseIsUnrecognized) {
  for (std::string_view body : {"", "<html><body>Not found</body></html>", "\x89PN"}) {
    try {
      DecodeDownloaded(Bytes(body));
      ADD_FAILURE() << body;
    } catch (const FileError& e) {
      EXPECT_STREQ(e.what(), "Unrecognized file format!");
    }
  }
  // Recognised by its first bytes but damaged: the decoder's own error.
  EXPECT_THROW(DecodeDownloaded(Bytes("BMnothing")), FileError);
  EXPECT_THROW(DecodeDownloaded(Bytes("\xFF\xD8\xFF")), FileError);
}

TEST(DownloadFetching, FailuresAreErrorsNamingTheAddress) {
  // No network needed: a refused local connection and a scheme that is not fetched.
  DownloadLimits quick;
  quick.timeoutSeconds = 5;
  quick.connectTimeoutSeconds = 2;
  for (const char* address : {"http://127.0.0.1:1/picture.jpg", "file:///etc/hostname", "ftp://127.0.0.1/x.png"}) {
    try {
      FetchAddress(address, quick);
      ADD_FAILURE() << address;
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find(address), std::string::npos) << e.what();
    }
  }
}
