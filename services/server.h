// The HTTP face of the services: the hash lookup "/f2e?ID=" and the link query
// "/queryfid?type=str&url=", answered from a Store.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "services/bounded_http_server.h"
#include "services/store.h"

namespace linkmill::services {

class Server {
 public:
  explicit Server(Store& store);

  // Binds host and port, port 0 choosing a free one; the bound port, or -1.
  int Bind(const std::string& host, int port);
  // Answers requests until Stop; false when the server failed.
  bool Run();
  // Ends Run, or keeps it from starting; safe from any thread, at any time.
  void Stop();

 private:
  void AnswerHashLookup(const httplib::Request& request, httplib::Response& response);
  void AnswerLinkQuery(const httplib::Request& request, httplib::Response& response);

  Store& store_;
  BoundedHttpServer http_;
  std::mutex mutex_;
  std::condition_variable finished_;
  bool running_ = false;
  bool stopping_ = false;
};

}  // namespace linkmill::services
