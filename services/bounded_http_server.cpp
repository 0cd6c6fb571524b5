#include "services/bounded_http_server.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>

namespace linkmill::services {
namespace {

// How often an idle connection looks whether the server is stopping.
constexpr int kIdleSliceMs = 50;

int ToMs(time_t sec, time_t usec) { return static_cast<int>(sec * 1000 + usec / 1000); }

// poll() for one event, retried on EINTR; the result of poll.
int WaitFor(socket_t sock, short events, int timeout_ms) {
  pollfd p{sock, events, 0};
  int r;
  do {
    r = poll(&p, 1, timeout_ms);
  } while (r < 0 && errno == EINTR);
  return r;
}

void Address(socket_t sock, bool peer, std::string& ip, int& port) {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  auto* a = reinterpret_cast<sockaddr*>(&addr);
  if ((peer ? getpeername(sock, a, &len) : getsockname(sock, a, &len)) != 0) return;
  char host[NI_MAXHOST];
  char service[NI_MAXSERV];
  if (getnameinfo(a, len, host, sizeof host, service, sizeof service,
                  NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
    ip = host;
    port = std::atoi(service);
  }
}

// A buffered socket stream whose reads stop once the current request has taken
// its budget of bytes.
class BudgetStream : public httplib::Stream {
 public:
  BudgetStream(socket_t sock, int read_timeout_ms, int write_timeout_ms)
      : sock_(sock), read_timeout_ms_(read_timeout_ms), write_timeout_ms_(write_timeout_ms) {}

  void StartRequest() {
    budget_ = BoundedHttpServer::kMaxRequestBytes;
    line_ended_ = false;
  }
  bool OverBudget() const { return budget_ == 0; }
  // Whether the request line of the current request has been read whole.
  bool LineEnded() const { return line_ended_; }

  // True when a request has begun to arrive within timeout_sec; false on
  // timeout, or once the server socket is closed by a stop.
  bool WaitForRequest(time_t timeout_sec, const std::atomic<socket_t>& server_socket) {
    if (begin_ < end_) return true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_sec);
    while (server_socket != INVALID_SOCKET && std::chrono::steady_clock::now() < deadline) {
      int r = WaitFor(sock_, POLLIN, kIdleSliceMs);
      if (r != 0) return r > 0;
    }
    return false;
  }

  bool is_readable() const override {
    return begin_ < end_ || WaitFor(sock_, POLLIN, read_timeout_ms_) > 0;
  }

  bool is_writable() const override { return WaitFor(sock_, POLLOUT, write_timeout_ms_) > 0; }

  ssize_t read(char* ptr, size_t size) override {
    if (budget_ == 0) return -1;
    if (begin_ == end_) {
      if (!is_readable()) return -1;
      ssize_t n;
      do {
        n = recv(sock_, buffer_, sizeof buffer_, 0);
      } while (n < 0 && errno == EINTR);
      if (n <= 0) return n;
      begin_ = 0;
      end_ = static_cast<size_t>(n);
    }
    size_t n = std::min({size, end_ - begin_, budget_});
    std::memcpy(ptr, buffer_ + begin_, n);
    if (!line_ended_ && std::memchr(buffer_ + begin_, '\n', n)) line_ended_ = true;
    begin_ += n;
    budget_ -= n;
    return static_cast<ssize_t>(n);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    ssize_t n;
    do {
      n = send(sock_, ptr, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    Address(sock_, true, ip, port);
  }

  void get_local_ip_and_port(std::string& ip, int& port) const override {
    Address(sock_, false, ip, port);
  }

  socket_t socket() const override { return sock_; }

 private:
  socket_t sock_;
  int read_timeout_ms_;
  int write_timeout_ms_;
  size_t budget_ = 0;
  bool line_ended_ = false;
  char buffer_[4096];
  size_t begin_ = 0;
  size_t end_ = 0;
};

// Answers a request over the budget that the HTTP library could not answer
// itself: one whose request line alone is too long.
void RefuseTooLong(BudgetStream& stream) {
  static constexpr std::string_view kAnswer =
      "HTTP/1.1 414 URI Too Long\r\nContent-Type: text/plain\r\nContent-Length: 18\r\n"
      "Connection: close\r\n\r\nrequest too large\n";
  stream.write(kAnswer.data(), kAnswer.size());
}

// Reads and drops what the client still sends, up to a bound, so that closing
// with unread data does not reset the connection before the client has read
// the answer.
void LingeringClose(socket_t sock) {
  constexpr size_t kMaxDrainBytes = 256 * 1024;
  constexpr int kDrainWaitMs = 100;
  shutdown(sock, SHUT_WR);
  char sink[4096];
  for (size_t drained = 0; drained < kMaxDrainBytes;) {
    if (WaitFor(sock, POLLIN, kDrainWaitMs) <= 0) break;
    ssize_t n = recv(sock, sink, sizeof sink, 0);
    if (n <= 0) break;
    drained += static_cast<size_t>(n);
  }
}

}  // namespace

void BoundedHttpServer::WidenBacklog() { ::listen(svr_sock_, SOMAXCONN); }

bool BoundedHttpServer::process_and_close_socket(socket_t sock) {
  // Headers and body go out in separate writes; without this the body waits
  // for the client's delayed acknowledgement of the headers.
  int yes = 1;
  setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  BudgetStream stream(sock, ToMs(read_timeout_sec_, read_timeout_usec_),
                      ToMs(write_timeout_sec_, write_timeout_usec_));
  bool served = false;
  for (size_t left = keep_alive_max_count_; left > 0; --left) {
    if (!stream.WaitForRequest(keep_alive_timeout_sec_, svr_sock_)) break;
    stream.StartRequest();
    bool closed = false;
    served = process_request(stream, left == 1, closed, nullptr);
    // What follows a request over the budget is the rest of it, not a request.
    if (stream.OverBudget()) {
      if (!stream.LineEnded()) RefuseTooLong(stream);
      LingeringClose(sock);
      break;
    }
    if (!served || closed) break;
  }
  shutdown(sock, SHUT_RDWR);
  close(sock);
  return served;
}

}  // namespace linkmill::services
