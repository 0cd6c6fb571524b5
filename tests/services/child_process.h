// Running linkmill-services as a child process, as a user or a script would.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace linkmill::services::testing {

struct Finished {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs program with args to its end and collects what it wrote.
Finished RunProgram(const std::string& program, const std::vector<std::string>& args);

// A server started with "--listen 127.0.0.1:0"; its port is read from the
// address it prints.
class RunningServer {
 public:
  RunningServer(const std::string& program, const std::string& db);
  ~RunningServer();  // kills it if still running
  RunningServer(const RunningServer&) = delete;
  RunningServer& operator=(const RunningServer&) = delete;

  int port() const { return port_; }
  // Sends sig and waits; the exit status as in Finished, or 128 + the signal
  // that ended it.
  int SignalAndWait(int sig);

 private:
  pid_t pid_ = -1;
  int port_ = -1;
};

}  // namespace linkmill::services::testing
