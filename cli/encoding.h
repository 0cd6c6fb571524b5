// The command-line tool reads and writes UTF-8 or raw GBK.
#pragma once

#include <string>
#include <string_view>

#include "text/types.h"

namespace linkmill {

enum class Encoding { kUtf8, kGbk };

Text InputToGbk(std::string_view bytes, Encoding encoding);

// GBK to the output encoding; a byte that starts no GBK character becomes U+FFFD.
std::string GbkToOutput(std::string_view text, Encoding encoding);

}  // namespace linkmill
