// The filter task behind "筛选": fills the link list from the input box.
#pragma once

#include "app/controls.h"

namespace linkmill {

void RunFilter(Controls& controls);

}  // namespace linkmill
