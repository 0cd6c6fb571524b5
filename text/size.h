// Byte counts as the short texts of the size column: "226.98MB".
#pragma once

#include <cstdint>

#include "text/types.h"

namespace linkmill {

// Divides by 1024 until below 1024 (at most up to "PB"), optionally rounds to
// decimals, and appends the unit. Negative counts print with their sign in "B".
Text FormatSize(std::int64_t count, int decimals, bool round);

}  // namespace linkmill
