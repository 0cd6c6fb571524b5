// Tasks the command-line tool starts and then waits for, including the
// filter tasks a page analysis starts on its own.
#pragma once

#include <condition_variable>
#include <mutex>

#include "app/tasks.h"

namespace linkmill {

class TaskGroup {
 public:
  // Starts task on a detached thread of its own, as StartTask does.
  void Start(Task task);
  // Returns once every task started so far, and every task they started, has ended.
  void Wait();

  TaskStarter Starter() {
    return [this](Task task) { Start(std::move(task)); };
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  int running_ = 0;
};

}  // namespace linkmill
