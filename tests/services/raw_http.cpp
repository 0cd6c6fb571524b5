#include "services/raw_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace linkmill::services::testing {

RawResponse RawGet(int port, std::string_view target, std::string_view extra_headers) {
  RawResponse response;
  int sock = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(sock);
    return response;
  }
  std::string request = "GET " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                        std::string(extra_headers) + "Connection: close\r\n\r\n";
  // The server may close early on a request it refuses; what it answered
  // before that is still read below.
  for (std::size_t sent = 0; sent < request.size();) {
    ssize_t n = send(sock, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  // Read to the end of the body its Content-Length announces, or to the end
  // of the connection: a server may keep the connection open after a 400.
  std::string raw;
  char buffer[4096];
  std::size_t want = std::string::npos;
  while (raw.size() < want) {
    ssize_t n = recv(sock, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    raw.append(buffer, n);
    std::size_t head_end = raw.find("\r\n\r\n");
    if (want == std::string::npos && head_end != std::string::npos) {
      std::size_t at = raw.substr(0, head_end).find("\r\nContent-Length: ");
      if (at != std::string::npos) want = head_end + 4 + std::stoul(raw.substr(at + 18));
    }
  }
  close(sock);

  std::size_t head_end = raw.find("\r\n\r\n");
  if (!raw.starts_with("HTTP/1.1 ") || head_end == std::string::npos) return response;
  response.status = std::stoi(raw.substr(9, 3));
  std::string head = raw.substr(0, head_end);
  const std::string kType = "\r\nContent-Type: ";
  if (std::size_t at = head.find(kType); at != std::string::npos) {
    std::size_t end = head.find("\r\n", at + kType.size());
    response.content_type = head.substr(at + kType.size(), end - at - kType.size());
  }
  response.body = raw.substr(head_end + 4);
  return response;
}

}  // namespace linkmill::services::testing
