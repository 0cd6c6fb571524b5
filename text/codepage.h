// Code page 936 conversions and the two decoders of escaped link text.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/types.h"

namespace linkmill {

// %XX escapes to bytes, the whole then read as UTF-8 and converted to GBK.
Text PercentDecode(std::string_view t);

// UTF-8 bytes to UTF-16 code units (two bytes each, low byte first); an
// ill-formed sequence becomes U+FFFD.
ByteBuffer Utf8ToWide(const ByteBuffer& b);

// UTF-16 code units to GBK; a unit GBK lacks becomes "?", a lone surrogate
// gives the empty text.
Text WideToGbk(const ByteBuffer& u);

Text Utf8ToGbk(const ByteBuffer& b);

// Every "\uXXXX" escape (u in either case) replaced by the GBK text of its code unit.
Text UnescapeUnicode(std::string_view t);

// One UTF-16 code unit (the low 16 bits of v) as GBK, trailing blanks trimmed;
// the empty text for a unit GBK lacks.
Text CodeUnitToGbk(std::int32_t v);

}  // namespace linkmill
