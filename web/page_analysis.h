// The page analysis task: "筛选" on an address.
#pragma once

#include "app/controls.h"
#include "app/tasks.h"

namespace linkmill {

// Fetches the address in the input box (and, when the page carries no link
// hashes, the scripts it loads from its host); every text that does is
// written to the input box and filtered by a filter task started with start.
void RunPageAnalysis(Controls& controls, const TaskStarter& start);

}  // namespace linkmill
