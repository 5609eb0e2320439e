#pragma once
// Pictures fetched from a web address: the bytes over HTTP, then decoded by what the first
// bytes announce.

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

struct DownloadLimits {
  std::size_t maxBytes = 100u << 20;  // no picture the program can hold needs more
  long timeoutSeconds = 60;
  long connectTimeoutSeconds = 15;
  // A transfer slower than this many bytes a second for `stallSeconds` is given up early: a
  // server dripping its answer would otherwise hold the transfer for the whole time limit.
  long minBytesPerSecond = 256;
  long stallSeconds = 20;
  // When given and raised, the transfer ends at once (the user cancelled).
  const std::atomic<bool>* cancel = nullptr;
};

// Fetches an http:// or https:// address with a GET, following up to five redirections. Throws
// FileError naming the address and the cause for a network failure, an HTTP error status, a
// redirection loop, a body over the size cap (never collecting more than the cap), a transfer
// that exceeds the time limit or stalls, or a cancel.
std::vector<std::uint8_t> FetchAddress(const std::string& address, const DownloadLimits& limits = {});

// Decodes downloaded bytes by their first bytes; anything that is not BMP, GIF, PNG or JPEG
// gives "Unrecognized file format!".
Bitmap DecodeDownloaded(std::span<const std::uint8_t> bytes);

// Both of the above.
Bitmap DownloadImage(const std::string& address, const DownloadLimits& limits = {});

}  // namespace brumeleaf
