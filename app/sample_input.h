// The text the input box starts with: 20 bdhd and 20 qvod links.
#pragma once

#include "text/types.h"

namespace linkmill {

// 40 lines, each ended by "\r\n".
const Text& SampleInput();

}  // namespace linkmill
