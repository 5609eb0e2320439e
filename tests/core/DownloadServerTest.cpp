// Downloads against a small HTTP server on 127.0.0.1 run by the test itself: an oversized body,
// a drip-feeding server, a redirection loop, a missing page and a web page instead of a picture
// all end with a clear message, in bounded time and without collecting more than the cap.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "LocalHttpServer.h"
#include "TestPictures.h"
#include "io/Download.h"
#include "io/PictureFile.h"

namespace brumeleaf {
namespace {

using Clock = std::chrono::steady_clock;
using testing::LocalServer;

std::string Header(const std::string& status, const std::string& type, const std::string& extra = "") {
  return "HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nConnection: close\r\n" + extra + "\r\n";
}

void Answer(int socket, const std::string& path, const std::atomic<bool>& stopping) {
  if (path == "/picture.png") {
    const std::vector<std::uint8_t> png = EncodePicture(testing::Gradient(21, 9), PictureFormat::Png);
    LocalServer::Send(socket, Header("200 OK", "image/png", "Content-Length: " + std::to_string(png.size()) + "\r\n") +
                                  std::string(png.begin(), png.end()));
  } else if (path == "/declared-huge") {  // says how large it is
    LocalServer::Send(socket, Header("200 OK", "image/png", "Content-Length: 50000000\r\n"));
    for (int i = 0; i < 400 && !stopping && LocalServer::Send(socket, std::string(65536, 'x')); ++i) {}
  } else if (path == "/endless") {  // says nothing and keeps sending
    LocalServer::Send(socket, "HTTP/1.0 200 OK\r\nContent-Type: image/png\r\n\r\n\x89PNG");
    for (int i = 0; i < 400 && !stopping && LocalServer::Send(socket, std::string(65536, 'y')); ++i) {}
  } else if (path == "/drip") {  // a byte a second
    LocalServer::Send(socket, Header("200 OK", "image/png", "Content-Length: 1000\r\n"));
    for (int i = 0; i < 30 && !stopping && LocalServer::Send(socket, "z"); ++i)
      std::this_thread::sleep_for(std::chrono::seconds(1));
  } else if (path == "/loop") {
    LocalServer::Send(socket, Header("302 Found", "text/html", "Location: /loop\r\nContent-Length: 0\r\n"));
  } else if (path == "/page") {
    const std::string page = "<!DOCTYPE html><html><body>Here is the picture you asked for</body></html>";
    LocalServer::Send(socket, Header("200 OK", "text/html", "Content-Length: " + std::to_string(page.size()) + "\r\n") + page);
  } else {
    const std::string page = "<html><body>Not found</body></html>";
    LocalServer::Send(socket, Header("404 Not Found", "text/html", "Content-Length: " + std::to_string(page.size()) + "\r\n") + page);
  }
}

DownloadLimits Small() {
  DownloadLimits limits;
  limits.maxBytes = 1 << 20;
  limits.timeoutSeconds = 4;
  limits.connectTimeoutSeconds = 2;
  limits.stallSeconds = 2;
  return limits;
}

std::string FailureOf(const std::string& address, const DownloadLimits& limits, double& seconds) {
  const auto start = Clock::now();
  std::string message = "no failure";
  try {
    DownloadImage(address, limits);
  } catch (const FileError& e) {
    message = e.what();
  }
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return message;
}

TEST(DownloadServer, APictureArrivesWhole) {
  LocalServer server(Answer);
  const Bitmap picture = DownloadImage(server.Address("/picture.png"), Small());
  EXPECT_TRUE(picture == testing::Gradient(21, 9));
}

TEST(DownloadServer, EveryHostileAnswerEndsWithAClearMessageInBoundedTime) {
  LocalServer server(Answer);
  const DownloadLimits limits = Small();
  struct Case {
    const char* path;
    const char* expected;
  };
  for (const Case c : {Case{"/declared-huge", "larger than 1 MB"}, Case{"/endless", "larger than 1 MB"},
                       Case{"/drip", "too slow"}, Case{"/loop", "redirect"},
                       Case{"/missing.jpg", "error 404 (not found)"}, Case{"/page", "Unrecognized file format!"}}) {
    double seconds = 0;
    const std::string message = FailureOf(server.Address(c.path), limits, seconds);
    EXPECT_NE(message.find(c.expected), std::string::npos) << c.path << ": " << message;
    if (std::string(c.path) != "/page") {
      EXPECT_NE(message.find(c.path), std::string::npos) << message;
    }
    EXPECT_LT(seconds, 8.0) << c.path;
  }
}

TEST(DownloadServer, TheCapBoundsWhatIsCollected) {
  LocalServer server(Answer);
  DownloadLimits limits = Small();
  limits.maxBytes = 1000;
  double seconds = 0;
  EXPECT_NE(FailureOf(server.Address("/endless"), limits, seconds).find("larger than 1000 bytes"), std::string::npos);
  // The picture itself is a few hundred bytes: a cap just above its size lets it through.
  limits.maxBytes = 4096;
  EXPECT_EQ(DownloadImage(server.Address("/picture.png"), limits).Width(), 21);
}

TEST(DownloadServer, ACancelEndsTheTransferAtOnce) {
  LocalServer server(Answer);
  std::atomic<bool> cancel{false};
  DownloadLimits limits = Small();
  limits.timeoutSeconds = 30;
  limits.stallSeconds = 30;
  limits.cancel = &cancel;
  std::thread raise([&cancel] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    cancel = true;
  });
  double seconds = 0;
  const std::string message = FailureOf(server.Address("/drip"), limits, seconds);
  raise.join();
  EXPECT_NE(message.find("cancelled"), std::string::npos) << message;
  EXPECT_LT(seconds, 4.0);
}

}  // namespace
}  // namespace brumeleaf
