// An HTTP server for the network tests: cpp-httplib on 127.0.0.1 with an
// ephemeral port, recording every request it receives, in arrival order.
#pragma once

#include <httplib.h>

#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace linkmill::testing {

struct RecordedRequest {
  std::string target;  // the request target as it arrived, escapes undecoded
  httplib::Headers headers;
};

class HttpTestServer {
 public:
  HttpTestServer();
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  // Routes are added before Start.
  void Get(const std::string& pattern, httplib::Server::Handler handler);
  void Start();
  void Stop();

  // "127.0.0.1:port", and "http://" + that + path.
  std::string Host() const;
  std::string Url(std::string_view path) const;

  std::vector<RecordedRequest> Requests();
  std::vector<std::string> Targets();

 private:
  httplib::Server server_;
  int port_ = -1;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
};

// %XX escapes replaced by their bytes, nothing else changed.
std::string PercentDecodeTarget(std::string_view target);

}  // namespace linkmill::testing
