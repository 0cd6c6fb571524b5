// A bare TCP server for the network tests whose point is a malformed or
// misbehaving answer: it listens on 127.0.0.1 with an ephemeral port and
// hands each connection, one at a time, to a handler that writes raw bytes.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace linkmill::testing {

class RawConnection {
 public:
  RawConnection(int fd, const std::atomic<bool>& stopping);

  // The request head (up to its blank line), or what arrived of it.
  const std::string& Request() const { return request_; }
  // False once the peer has gone or the server is stopping.
  bool Send(std::string_view bytes);
  // Returns when the peer closes or the server stops, having sent nothing.
  void Hold();

 private:
  int fd_;
  const std::atomic<bool>& stopping_;
  std::string request_;
};

class RawTestServer {
 public:
  using Handler = std::function<void(RawConnection&)>;

  // Listens at once; the connection is closed when the handler returns.
  explicit RawTestServer(Handler handler);
  ~RawTestServer();
  RawTestServer(const RawTestServer&) = delete;
  RawTestServer& operator=(const RawTestServer&) = delete;

  // Ends the handler's Send and Hold, closes the port and waits.
  void Stop();

  std::string Host() const;
  std::string Url(std::string_view path) const;
  std::vector<std::string> Requests();

 private:
  void Serve();

  Handler handler_;
  int listen_fd_ = -1;
  int port_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace linkmill::testing
