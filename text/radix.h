// Exact conversion of a number between bases 2 to 36.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/types.h"

namespace linkmill {

// The digits of text (read in from_base) written in to_base, or one of the two
// Chinese error messages for a bad base or a bad digit.
Text ConvertRadix(std::string_view text, std::int32_t from_base, std::int32_t to_base);

}  // namespace linkmill
