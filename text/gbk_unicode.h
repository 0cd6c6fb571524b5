// GBK text to and from UTF-16 and UTF-8 at the edges of the program (the
// window, the command line), without loss: a byte that starts no GBK
// character becomes a lone low surrogate U+DC80..U+DCFF and turns back into
// that same byte.
#pragma once

#include <string>
#include <string_view>

#include "text/types.h"

namespace linkmill {

// Line breaks stay as they are ("\r\n" gives U+000D U+000A).
std::u16string GbkToUtf16(std::string_view gbk);

// A character that GBK lacks becomes "?" (a surrogate pair becomes one "?");
// U+0000 is dropped, since Text holds no zero byte.
Text Utf16ToGbk(std::u16string_view text);

// For output only: a byte that starts no GBK character becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace linkmill
