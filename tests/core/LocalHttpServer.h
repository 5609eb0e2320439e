#pragma once
// A small HTTP server on 127.0.0.1 for tests of downloads: it binds a free port, answers each
// connection on a thread of its own through a function given by the test, and stops and joins
// everything when destroyed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace brumeleaf::testing {

// Serves each connection on a thread of its own; every answer closes its connection. `respond` writes the
// answer for a request path and may keep sending for as long as `stopping` allows.
class LocalServer {
 public:
  using Respond = std::function<void(int socket, const std::string& path, const std::atomic<bool>& stopping)>;

  explicit LocalServer(Respond respond) : respond_(std::move(respond)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      port_ = -1;  // Address() then names a port nothing listens on
    if (port_ == 0) port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
  }
  std::string Address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  static bool Send(int socket, const std::string& text) {
    return ::send(socket, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
  }

 private:
  void Serve() {
    while (!stopping_) {
      pollfd waiting{listener_, POLLIN, 0};
      if (::poll(&waiting, 1, 50) <= 0) continue;
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client >= 0) clients_.emplace_back([this, client] { Handle(client); });
    }
    for (std::thread& t : clients_) t.join();
  }

  void Handle(int client) {
    {
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd readable{client, POLLIN, 0};
        if (::poll(&readable, 1, 2000) <= 0) break;
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
      }
      const std::size_t start = request.find(' ') + 1;
      respond_(client, request.substr(start, request.find(' ', start) - start), stopping_);
      ::close(client);
    }
  }

  std::vector<std::thread> clients_;

  Respond respond_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace brumeleaf::testing
