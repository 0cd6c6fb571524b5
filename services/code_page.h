// Strict code-page conversions for the mapping files: a byte sequence that is
// not valid in the source code page, or a character the target lacks, fails
// the whole conversion instead of being replaced.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace linkmill::services {

// The bytes of in, read in code page from and written in code page to (iconv
// names such as "UTF-8" and "CP936"); nothing when any byte does not convert.
std::optional<std::string> ConvertCodePage(std::string_view in, const char* from, const char* to);

bool IsValidUtf8(std::string_view in);

}  // namespace linkmill::services
