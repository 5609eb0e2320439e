#include "io/FileBytes.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "io/PictureFile.h"

namespace brumeleaf {
namespace {

std::string Cause(int error) { return std::strerror(error); }

FileError WriteFailure(const std::string& path, int error) {
  return FileError(path + ": cannot write the file (" + Cause(error) + ")");
}

// A name in the target's own folder, so that the final rename never crosses file systems.
std::string TemporaryName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path target(path);
  // Built by appending: gcc 12 warns falsely about "." + std::string.
  std::string name(1, '.');
  name += target.filename().string();
  name += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  return (target.parent_path() / name).string();
}

// Opens a file that did not exist before; a clash with another writer's name tries again.
int CreateExclusive(const std::string& path, std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = TemporaryName(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) throw FileError(path + ": the file does not exist");
  if (!std::filesystem::is_regular_file(status)) throw FileError(path + ": not a regular file");
  const std::uint64_t size = std::filesystem::file_size(path, ec);
  if (ec) throw FileError(path + ": cannot read the file (" + ec.message() + ")");
  if (size > kMaxFileBytes) throw FileError(path + ": the file is too large to be a picture");

  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path + ": cannot open the file (" + Cause(errno) + ")");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::uint64_t>(in.gcount()) != size)
    throw FileError(path + ": cannot read the whole file");
  return bytes;
}

void WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string temporary;
  const int fd = CreateExclusive(path, temporary);
  if (fd < 0) throw WriteFailure(path, errno);
  // Flushed to the disk before the rename, so that a crash right after it cannot leave an
  // empty file under the final name.
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = written ? 0 : errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    throw WriteFailure(path, error);
  }
}

}  // namespace brumeleaf
