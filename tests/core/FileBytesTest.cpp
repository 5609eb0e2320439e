#include "io/FileBytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "io/PictureFile.h"

namespace brumeleaf {
namespace {

namespace fs = std::filesystem;

class FileBytesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("brumeleaf_filebytes_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Replace(const std::string& path, const std::string& text) {
    WriteFileReplacing(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }
  static unsigned Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
  }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  fs::path dir_;
};

TEST_F(FileBytesTest, ReplacingKeepsTheOldFilesPermissions) {
  for (const unsigned mode : {0600u, 0640u, 0604u}) {
    const std::string path = Path("private_" + std::to_string(mode));
    Put(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    Replace(path, "new contents");
    EXPECT_EQ(Get(path), "new contents");
    EXPECT_EQ(Mode(path), mode) << std::oct << mode;
  }
  // A new file gets the usual permissions: everything the umask allows, no execute bits.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  Replace(Path("fresh"), "x");
  EXPECT_EQ(Mode(Path("fresh")), 0666u & ~static_cast<unsigned>(mask));
  EXPECT_EQ(EntryCount(), 4u);  // no temporary file left
}

TEST_F(FileBytesTest, SmallFilesAreReadWholeAndLargeOnesRefused) {
  Put(Path("a.txt"), std::string("line\r\n\0x", 8));
  EXPECT_EQ(ReadSmallFile(Path("a.txt"), 100, "settings file"), std::string("line\r\n\0x", 8));
  Put(Path("exact"), std::string(100, 'e'));
  EXPECT_EQ(ReadSmallFile(Path("exact"), 100, "settings file").size(), 100u);
  Put(Path("over"), std::string(101, 'o'));
  try {
    ReadSmallFile(Path("over"), 100, "settings file");
    FAIL() << "a file over the limit was read";
  } catch (const FileError& e) {
    const std::string m = e.what();
    EXPECT_NE(m.find(Path("over")), std::string::npos) << m;
    EXPECT_NE(m.find("cannot be a settings file"), std::string::npos) << m;
  }
  EXPECT_THROW(ReadSmallFile(Path("missing"), 100, "x"), FileError);
  EXPECT_THROW(ReadSmallFile(dir_.string(), 100, "x"), FileError);
  EXPECT_THROW(ReadSmallFile("/dev/zero", 100, "x"), FileError);  // endless: never read
}

}  // namespace
}  // namespace brumeleaf
