#include "io/AtomicFile.h"

#include <atomic>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace brumeleaf {
namespace {

// A name no other writer in this or another process uses at the same time.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path tmp = path;
  tmp += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
  return tmp;
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::string_view contents) {
  const std::filesystem::path tmp = TemporaryBeside(path);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) throw FileWriteError("Cannot create the file " + path.string());
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(tmp, ignored);
      throw FileWriteError("Cannot write the file " + path.string());
    }
  }
  std::error_code error;
  std::filesystem::rename(tmp, path, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(tmp, ignored);
    throw FileWriteError("Cannot write the file " + path.string() + ": " + error.message());
  }
}

}  // namespace brumeleaf
