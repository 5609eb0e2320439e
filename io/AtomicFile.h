#pragma once
// Writing a whole file so that a crash or a full disk never leaves half of it: the bytes go to
// a temporary file beside the target, which then replaces the target in one rename.

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace brumeleaf {

class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces `path` with `contents`. Throws FileWriteError (and leaves any old file untouched)
// when the folder cannot be written.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view contents);

}  // namespace brumeleaf
