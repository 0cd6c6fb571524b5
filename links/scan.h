// Cutting clean bdhd and qvod links out of free text.
#pragma once

#include <string_view>

#include "text/types.h"

namespace linkmill {

enum class Scheme { kBdhd, kQvod };

// The clean links of one scheme in text, each followed by "\r\n", in the order
// of the segments they came from; the empty text when there is none.
Text ScanLinks(std::string_view text, Scheme scheme);

}  // namespace linkmill
