// An HTTP server that reads at most a fixed number of bytes per request.
// cpp-httplib limits the length of the request line but not the number of
// header lines, so one client could make the server hold any amount of memory;
// this server reads every connection through a stream with a per-request
// budget and closes the connection when a request exceeds it.
#pragma once

#include <httplib.h>

#include <cstddef>

namespace linkmill::services {

class BoundedHttpServer : public httplib::Server {
 public:
  // The request line, headers and body of one request together.
  static constexpr std::size_t kMaxRequestBytes = 16 * 1024;

  // cpp-httplib listens with a backlog of 5, so a burst of new connections
  // overflows it and waits for the client to retry its SYN, a second later.
  // Linux widens the backlog of a bound socket on a second listen(); call this
  // after binding.
  void WidenBacklog();

 private:
  // Serves one connection: its keep-alive requests one after another, ending
  // on an idle timeout, a stop of the server, or a request over the budget.
  bool process_and_close_socket(socket_t sock) override;
};

}  // namespace linkmill::services
