// An HTTP server that keeps every request waiting, for closing the window
// while a task waits on the network. It prints "port N" once it listens and
// runs until it is killed.
// Usage: stalling_server PORT silent|trickle
//   silent   accepts and never answers
//   trickle  answers a body of 1 MB announced, one byte a second
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

void Serve(int client, bool trickle) {
  char request[4096];
  if (recv(client, request, sizeof request, 0) <= 0 || !trickle) {
    // Keep the connection open and quiet until the process ends.
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n";
  send(client, head.data(), head.size(), MSG_NOSIGNAL);
  while (send(client, "|", 1, MSG_NOSIGNAL) == 1)
    std::this_thread::sleep_for(std::chrono::seconds(1));
  close(client);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[2], "silent") != 0 && std::strcmp(argv[2], "trickle") != 0)) {
    std::fprintf(stderr, "usage: stalling_server PORT silent|trickle\n");
    return 2;
  }
  // Ends with the test script that started it, even when that is killed.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  const bool trickle = std::strcmp(argv[2], "trickle") == 0;
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[1])));
  socklen_t length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener, 64) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("stalling_server");
    return 1;
  }
  std::printf("port %d\n", ntohs(address.sin_port));
  std::fflush(stdout);
  for (;;) {
    const int client = accept(listener, nullptr, nullptr);
    if (client >= 0) std::thread(Serve, client, trickle).detach();
  }
}
