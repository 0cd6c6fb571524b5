// Serves the files of one folder over HTTP on 127.0.0.1 and a free port,
// printing "port N" once it listens, until it is killed.
// Usage: serve_folder FOLDER
#include <httplib.h>
#include <sys/prctl.h>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: serve_folder FOLDER\n");
    return 2;
  }
  // Ends with the test script that started it, even when that is killed.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  httplib::Server server;
  if (!server.set_mount_point("/", argv[1])) {
    std::fprintf(stderr, "serve_folder: no folder %s\n", argv[1]);
    return 1;
  }
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port < 0) return 1;
  std::printf("port %d\n", port);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}
