#include "support/raw_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace linkmill::testing {

namespace {

constexpr int kPollMs = 20;

// Waits until fd is readable or the server stops; true when readable.
bool WaitReadable(int fd, const std::atomic<bool>& stopping) {
  while (!stopping) {
    pollfd p{fd, POLLIN, 0};
    const int n = poll(&p, 1, kPollMs);
    if (n > 0) return true;
    if (n < 0) return false;
  }
  return false;
}

}  // namespace

RawConnection::RawConnection(int fd, const std::atomic<bool>& stopping)
    : fd_(fd), stopping_(stopping) {
  char buf[4096];
  while (request_.find("\r\n\r\n") == std::string::npos && WaitReadable(fd_, stopping_)) {
    const ssize_t n = recv(fd_, buf, sizeof buf, 0);
    if (n <= 0) break;
    request_.append(buf, static_cast<size_t>(n));
  }
}

bool RawConnection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    if (stopping_) return false;
    pollfd p{fd_, POLLOUT, 0};
    if (poll(&p, 1, kPollMs) <= 0) continue;
    const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void RawConnection::Hold() {
  char buf[256];
  while (WaitReadable(fd_, stopping_)) {
    if (recv(fd_, buf, sizeof buf, 0) <= 0) return;
  }
}

RawTestServer::RawTestServer(Handler handler) : handler_(std::move(handler)) {
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      listen(listen_fd_, 16) == 0 &&
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
    port_ = ntohs(addr.sin_port);
  }
  thread_ = std::thread([this] { Serve(); });
}

RawTestServer::~RawTestServer() { Stop(); }

void RawTestServer::Serve() {
  while (WaitReadable(listen_fd_, stopping_)) {
    const int fd = accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) continue;
    RawConnection connection(fd, stopping_);
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(connection.Request());
    }
    handler_(connection);
    close(fd);
  }
}

void RawTestServer::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  thread_.join();
  close(listen_fd_);
}

std::string RawTestServer::Host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string RawTestServer::Url(std::string_view path) const {
  return "http://" + Host() + std::string(path);
}

std::vector<std::string> RawTestServer::Requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

}  // namespace linkmill::testing
