#include "services/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

extern char** environ;

namespace linkmill::services::testing {
namespace {

pid_t Spawn(const std::string& program, const std::vector<std::string>& args, int out_fd,
            int err_fd) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int StatusOf(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return -1;
}

// Reads both pipes to their ends without letting either fill up.
void Drain(int out, int err, std::string* out_text, std::string* err_text) {
  pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string* texts[2] = {out_text, err_text};
  int open = 2;
  while (open > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        texts[i]->append(buffer, n);
      } else {
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

Finished RunProgram(const std::string& program, const std::vector<std::string>& args) {
  Finished result;
  int out[2];
  int err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return result;
  pid_t pid = Spawn(program, args, out[1], err[1]);
  close(out[1]);
  close(err[1]);
  if (pid > 0) Drain(out[0], err[0], &result.out, &result.err);
  close(out[0]);
  close(err[0]);
  int wait_status = 0;
  if (pid > 0 && waitpid(pid, &wait_status, 0) == pid) result.status = StatusOf(wait_status);
  return result;
}

RunningServer::RunningServer(const std::string& program, const std::string& db) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  pid_ = Spawn(program, {"--listen", "127.0.0.1:0", "--db", db}, out[1], 2);
  close(out[1]);
  // The first line is "listening on 127.0.0.1:<port>".
  std::string line;
  char c;
  while (pid_ > 0 && read(out[0], &c, 1) == 1 && c != '\n') line.push_back(c);
  close(out[0]);
  std::size_t colon = line.rfind(':');
  if (line.starts_with("listening on ") && colon != std::string::npos) {
    port_ = std::stoi(line.substr(colon + 1));
  }
}

RunningServer::~RunningServer() {
  if (pid_ > 0) SignalAndWait(SIGKILL);
}

int RunningServer::SignalAndWait(int sig) {
  if (pid_ <= 0) return -1;
  kill(pid_, sig);
  int wait_status = 0;
  pid_t waited = waitpid(pid_, &wait_status, 0);
  pid_ = -1;
  return waited > 0 ? StatusOf(wait_status) : -1;
}

}  // namespace linkmill::services::testing
