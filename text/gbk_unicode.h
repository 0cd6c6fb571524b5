// GBK text to and from UTF-16 and UTF-8 at the edges of the program (the
// window, the command line), without loss: a byte that starts no GBK
// character becomes a lone low surrogate U+DC80..U+DCFF and turns back into
// that same byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/types.h"

namespace linkmill {

// Line breaks stay as they are ("\r\n" gives U+000D U+000A).
std::u16string GbkToUtf16(std::string_view gbk);

// A character that GBK lacks becomes "?" (a surrogate pair becomes one "?");
// U+0000 is dropped, since Text holds no zero byte.
Text Utf16ToGbk(std::u16string_view text);

// The form every UTF-16 code unit takes in GBK text: a value below 0x80 for a
// one-byte form, lead << 8 | second for a two-byte form, 0 for a unit that GBK
// text cannot hold. Code page 936 writes the euro sign as the single byte
// 0x80, but GBK text would read that byte as a lead byte swallowing the next
// one, so the euro sign has no form here. Built once; any thread may read it.
using GbkFormTable = std::array<std::uint16_t, 0x10000>;
const GbkFormTable& GbkForms();

// For output only: a byte that starts no GBK character becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace linkmill
