#include "app/tasks.h"

#include <system_error>
#include <thread>

namespace linkmill {

void StartTask(Task task) {
  try {
    std::thread(std::move(task)).detach();
  } catch (const std::system_error&) {
    // A thread that cannot be created is not reported.
  }
}

}  // namespace linkmill
