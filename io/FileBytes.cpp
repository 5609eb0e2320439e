#include "io/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// Writes in pieces so that a stop is noticed within one piece; false with errno on failure,
// false with `stopped` set on a stop.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, const std::atomic<bool>* stop, bool& stopped) {
  constexpr std::size_t kPiece = 4 << 20;
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
      stopped = true;
      return false;
    }
    const ssize_t n = ::write(fd, bytes.data() + done, std::min(kPiece, bytes.size() - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Checks that `path` names a regular file and returns its size; the message says what it is
// instead (missing, a folder, a device or pipe) or why it cannot be examined.
std::uint64_t CheckReadable(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) {
    if (ec && ec != std::errc::no_such_file_or_directory)
      throw FileError(path + ": cannot read the file (" + ec.message() + ")");
    throw FileError(path + ": the file does not exist");
  }
  if (std::filesystem::is_directory(status)) throw FileError(path + ": this is a folder, not a file");
  if (!std::filesystem::is_regular_file(status))
    throw FileError(path + ": not a regular file (a device, pipe or socket)");
  const std::uint64_t size = std::filesystem::file_size(path, ec);
  if (ec) throw FileError(path + ": cannot read the file (" + ec.message() + ")");
  return size;
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  const std::uint64_t size = CheckReadable(path);
  if (size > kMaxFileBytes) throw FileError(path + ": the file is too large to be a picture");

  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path + ": cannot open the file (" + Cause(errno) + ")");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::uint64_t>(in.gcount()) != size)
    throw FileError(path + ": cannot read the whole file");
  return bytes;
}

std::string ReadSmallFile(const std::string& path, std::uint64_t maxBytes, const std::string& kind) {
  const auto tooLarge = [&] {
    return FileError(path + ": the file is larger than " + std::to_string(maxBytes / 1024) +
                     " KB and cannot be a " + kind);
  };
  if (CheckReadable(path) > maxBytes) throw tooLarge();
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path + ": cannot open the file (" + Cause(errno) + ")");
  // The size may have changed since it was asked for: the read itself stops past the limit.
  std::string text(static_cast<std::size_t>(maxBytes) + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) throw FileError(path + ": cannot read the file");
  if (static_cast<std::uint64_t>(in.gcount()) > maxBytes) throw tooLarge();
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

void WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes,
                        const std::atomic<bool>* stop) {
  ThrowIfSaveStopped(stop, path);
  std::string temporary;
  const int fd = CreateExclusive(path, temporary);
  if (fd < 0) throw WriteFailure(path, errno);
  // A file being replaced keeps its permissions: a private file must not become readable to
  // everyone because it was saved again. A new file gets the usual ones (0666 less the umask).
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
      ::fchmod(fd, existing.st_mode & 07777) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    throw WriteFailure(path, error);
  }
  // Flushed to the disk before the rename, so that a crash right after it cannot leave an
  // empty file under the final name.
  bool stopped = false;
  const bool written = WriteAll(fd, bytes, stop, stopped) && ::fsync(fd) == 0;
  int error = written || stopped ? 0 : errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  // The last moment a stop can still leave the old file in place.
  stopped = stopped || (stop != nullptr && stop->load());
  if (error == 0 && !stopped && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0 || stopped) {
    ::unlink(temporary.c_str());
    if (stopped) ThrowIfSaveStopped(stop, path);
    throw WriteFailure(path, error);
  }
}

}  // namespace brumeleaf
