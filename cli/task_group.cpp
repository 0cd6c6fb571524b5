#include "cli/task_group.h"

#include <system_error>
#include <thread>

namespace linkmill {

void TaskGroup::Start(Task task) {
  {
    std::lock_guard lock(mutex_);
    ++running_;
  }
  auto run = [this, task = std::move(task)] {
    task();
    std::lock_guard lock(mutex_);
    if (--running_ == 0) done_.notify_all();
  };
  try {
    std::thread(std::move(run)).detach();
  } catch (const std::system_error&) {
    // Not started: nothing to wait for.
    std::lock_guard lock(mutex_);
    if (--running_ == 0) done_.notify_all();
  }
}

void TaskGroup::Wait() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return running_ == 0; });
}

}  // namespace linkmill
