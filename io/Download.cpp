#include "io/Download.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "io/PictureFile.h"

namespace brumeleaf {
namespace {

struct Transfer {
  std::vector<std::uint8_t> bytes;
  std::size_t maxBytes = 0;
  bool tooLarge = false;
};

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (n > t->maxBytes - t->bytes.size()) {
    t->tooLarge = true;
    return 0;  // makes the library stop the transfer with a write error
  }
  t->bytes.insert(t->bytes.end(), data, data + n);
  return n;
}

// curl_global_init is not thread-safe and must run once before the first handle.
void InitialiseOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Called by the library about once a second and on every piece received; a non-zero answer ends
// the transfer.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* cancel = static_cast<const std::atomic<bool>*>(user);
  return cancel != nullptr && cancel->load(std::memory_order_relaxed) ? 1 : 0;
}

std::string SizeText(std::size_t bytes) {
  if (bytes >= (1u << 20)) return std::to_string(bytes >> 20) + " MB";
  if (bytes >= 1024) return std::to_string(bytes >> 10) + " KB";
  return std::to_string(bytes) + " bytes";
}

struct CurlCleanup {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

void Configure(CURL* curl, const std::string& address, const DownloadLimits& limits, Transfer& t,
               char* errors) {
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // timeouts without signals: safe in any thread
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.timeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.minBytesPerSecond);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(limits.cancel));
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errors);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Brumeleaf");
}

}  // namespace

std::vector<std::uint8_t> FetchAddress(const std::string& address, const DownloadLimits& limits) {
  InitialiseOnce();
  std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
  if (!curl) throw FileError(address + ": the download could not be started");
  Transfer transfer;
  transfer.maxBytes = limits.maxBytes;
  char errors[CURL_ERROR_SIZE] = {};
  Configure(curl.get(), address, limits, transfer, errors);
  const CURLcode result = curl_easy_perform(curl.get());
  if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
    throw FileError(address + ": the download is larger than " + SizeText(limits.maxBytes));
  }
  if (result == CURLE_ABORTED_BY_CALLBACK) throw FileError(address + ": the download was cancelled");
  if (result == CURLE_HTTP_RETURNED_ERROR) {
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    throw FileError(address + ": the server answered with error " + std::to_string(status) +
                    (status == 404 ? " (not found)" : ""));
  }
  if (result == CURLE_TOO_MANY_REDIRECTS)
    throw FileError(address + ": the server redirected more than 5 times (a redirection loop?)");
  if (result == CURLE_OPERATION_TIMEDOUT) {
    throw FileError(address + ": the server was too slow (no answer within " +
                    std::to_string(limits.timeoutSeconds) + " s, or under " +
                    std::to_string(limits.minBytesPerSecond) + " bytes a second for " +
                    std::to_string(limits.stallSeconds) + " s)");
  }
  if (result != CURLE_OK) {
    throw FileError(address + ": " + (errors[0] != '\0' ? errors : curl_easy_strerror(result)));
  }
  return std::move(transfer.bytes);
}

Bitmap DecodeDownloaded(std::span<const std::uint8_t> bytes) {
  const PictureFormat format = SniffFormat(bytes);
  if (format == PictureFormat::Unknown) throw FileError("Unrecognized file format!");
  return DecodePicture(bytes, format);
}

Bitmap DownloadImage(const std::string& address, const DownloadLimits& limits) {
  const std::vector<std::uint8_t> bytes = FetchAddress(address, limits);
  if (SniffFormat(bytes) == PictureFormat::Unknown) throw FileError("Unrecognized file format!");
  try {
    return DecodeDownloaded(bytes);
  } catch (const FileError& e) {
    throw FileError(address + ": " + e.what());
  }
}

}  // namespace brumeleaf
