#pragma once
// Whole-file reading and replace-by-rename writing, shared by every file the program writes.

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brumeleaf {

// Files larger than this are refused before reading: the largest picture a decoder accepts
// (32768 x 15001 pixels of 32-bit BMP) stays below it.
inline constexpr std::uint64_t kMaxFileBytes = 2ull << 30;

// Reads a whole regular file. Throws FileError naming the file and the cause.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// Settings, parameter and script files are a few kilobytes; anything above this is refused
// without being read, so that a huge file cannot make the program allocate its size.
inline constexpr std::uint64_t kMaxTextFileBytes = 256u << 10;

// Reads a whole regular file of at most `maxBytes` bytes (reading no more than one byte past
// that). `kind` names what the file should be ("parameter file") in the message about a larger
// one. Throws FileError naming the file and the cause, as ReadFileBytes does.
std::string ReadSmallFile(const std::string& path, std::uint64_t maxBytes, const std::string& kind);

// Writes the bytes to a new file in the same folder and renames it over `path`, so the target
// is either the old file or the complete new one, never half a file. Throws FileError naming
// the file and the cause; no temporary file remains after a failure.
// A raised `stop` (checked before, while writing and right before the rename) removes the
// temporary file and throws SaveStopped; the target is then left as it was.
void WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes,
                        const std::atomic<bool>* stop = nullptr);

}  // namespace brumeleaf
