#include "support/http_test_server.h"

#include <chrono>

namespace linkmill::testing {

HttpTestServer::HttpTestServer() {
  server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
    std::lock_guard lock(mutex_);
    requests_.push_back({req.target, req.headers});
    return httplib::Server::HandlerResponse::Unhandled;
  });
  port_ = server_.bind_to_any_port("127.0.0.1");
}

HttpTestServer::~HttpTestServer() { Stop(); }

void HttpTestServer::Get(const std::string& pattern, httplib::Server::Handler handler) {
  server_.Get(pattern, std::move(handler));
}

void HttpTestServer::Start() {
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void HttpTestServer::Stop() {
  if (!thread_.joinable()) return;
  server_.stop();
  thread_.join();
}

std::string HttpTestServer::Host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string HttpTestServer::Url(std::string_view path) const {
  return "http://" + Host() + std::string(path);
}

std::vector<RecordedRequest> HttpTestServer::Requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<std::string> HttpTestServer::Targets() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> targets;
  for (const auto& r : requests_) targets.push_back(r.target);
  return targets;
}

std::string PercentDecodeTarget(std::string_view target) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string out;
  for (size_t i = 0; i < target.size(); ++i) {
    if (target[i] == '%' && i + 2 < target.size() && hex(target[i + 1]) >= 0 &&
        hex(target[i + 2]) >= 0) {
      out += static_cast<char>(hex(target[i + 1]) * 16 + hex(target[i + 2]));
      i += 2;
    } else {
      out += target[i];
    }
  }
  return out;
}

}  // namespace linkmill::testing
