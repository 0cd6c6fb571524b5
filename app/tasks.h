// Starting background tasks.
#pragma once

#include <functional>

namespace linkmill {

using Task = std::function<void()>;

// Starts a task; the window's starter runs it on a detached thread of its own,
// the command-line tool's starter also lets it wait for the tasks to end.
using TaskStarter = std::function<void(Task)>;

// Runs task on a new detached thread and returns at once. A thread that
// cannot be created is not reported.
void StartTask(Task task);

}  // namespace linkmill
