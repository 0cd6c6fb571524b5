#include "services/server.h"

#include <sys/socket.h>

#include <chrono>

#include "services/request.h"

namespace linkmill::services {
namespace {

// Every connection holds a worker while it is open, so the pool is sized for
// many concurrent clients rather than for the number of cores.
constexpr std::size_t kWorkerThreads = 64;
constexpr std::size_t kKeepAliveRequests = 1000;
// Lookups are GET requests; a body is never needed.
constexpr std::size_t kMaxBodyBytes = 1024;

constexpr const char* kPlainText = "text/plain";

void Refuse(httplib::Response& response, std::string_view fault) {
  response.status = 400;
  response.set_content("bad request: " + std::string(fault) + "\n", kPlainText);
}

// The answer to a lookup that did not find its key, or could not look.
void AnswerMiss(httplib::Response& response, LookupStatus status, const char* unknown) {
  if (status == LookupStatus::kUnknown) {
    response.status = 404;
    response.set_content(unknown, kPlainText);
  } else {
    response.status = 503;
    response.set_content("store unavailable\n", kPlainText);
  }
}

}  // namespace

Server::Server(Store& store) : store_(store) {
  // Without SO_REUSEPORT, a second server on a port in use fails to bind
  // instead of silently sharing the port with the first.
  http_.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  http_.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  http_.set_keep_alive_max_count(kKeepAliveRequests);
  http_.set_payload_max_length(kMaxBodyBytes);
  http_.Get("/f2e", [this](const httplib::Request& request, httplib::Response& response) {
    AnswerHashLookup(request, response);
  });
  http_.Get("/queryfid", [this](const httplib::Request& request, httplib::Response& response) {
    AnswerLinkQuery(request, response);
  });
}

void Server::AnswerHashLookup(const httplib::Request& request, httplib::Response& response) {
  LookupKey key = ParseHashLookupTarget(request.target);
  if (!key.fault.empty()) return Refuse(response, key.fault);
  LookupResult found = store_.FindEd2kHash(key.hash);
  if (found.status != LookupStatus::kFound)
    return AnswerMiss(response, found.status, "unknown hash\n");
  // The client takes a body of exactly 32 bytes as the hash: nothing around it.
  response.set_content(found.value, kPlainText);
}

void Server::AnswerLinkQuery(const httplib::Request& request, httplib::Response& response) {
  LookupKey key = ParseLinkQueryTarget(request.target);
  if (!key.fault.empty()) return Refuse(response, key.fault);
  LookupResult found = store_.FindBdhdLink(key.hash);
  if (found.status != LookupStatus::kFound)
    return AnswerMiss(response, found.status, "unknown link\n");
  response.set_content(found.value, "text/plain; charset=GBK");
}

int Server::Bind(const std::string& host, int port) {
  int bound = port == 0 ? http_.bind_to_any_port(host) : http_.bind_to_port(host, port) ? port : -1;
  if (bound > 0) http_.WidenBacklog();
  return bound;
}

bool Server::Run() {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return true;
    running_ = true;
  }
  bool served = http_.listen_after_bind();
  std::lock_guard lock(mutex_);
  running_ = false;
  finished_.notify_all();
  return served || stopping_;
}

void Server::Stop() {
  std::unique_lock lock(mutex_);
  stopping_ = true;
  // The HTTP library ignores a stop that comes before its accept loop has
  // started, so the stop is repeated until Run has returned.
  while (running_) {
    http_.stop();
    finished_.wait_for(lock, std::chrono::milliseconds(10));
  }
}

}  // namespace linkmill::services
