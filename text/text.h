// Text primitives: measuring, cutting, searching, splitting and replacing GBK
// text, case and width folding, numbers, the log date and byte buffers.
//
// Positions and lengths count bytes; positions start at 1; a failed search
// gives -1; out-of-range arguments give the empty text or buffer, never an
// error. The character-aware primitives step over two-byte GBK characters
// (a byte 0x80..0xFF leads, the next byte is its second byte whatever its
// value) and only ever match at the first byte of a character.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "text/types.h"

namespace linkmill {

std::int32_t TextLength(std::string_view t);
Text TextLeft(std::string_view t, std::int64_t n);
Text TextRight(std::string_view t, std::int64_t n);
Text TextMid(std::string_view t, std::int64_t start, std::int64_t n);
Text ConcatText(std::initializer_list<std::string_view> parts);
Text BlankText(std::int64_t n);

// Removes trailing spaces (0x20) and ideographic spaces (A1 A1); nothing else.
Text TrimEnd(std::string_view t);

// 1-based position of the first match of s at a character start at or after
// start, or -1. An empty s gives 1 when there is anything left to search.
// ignore_case folds the 26 ASCII letters byte by byte, nothing else.
std::int32_t FindText(std::string_view t, std::string_view s, std::int64_t start = 1,
                      bool ignore_case = false);

// Unsigned byte comparison: negative, 0 or positive.
int CompareText(std::string_view a, std::string_view b);

// Pieces between occurrences of d; no empty last piece; empty t gives no pieces.
TextList SplitText(std::string_view t, std::string_view d);

// Every occurrence of s, left to right and without overlaps, replaced by r.
// exact false folds ASCII letters as FindText does.
Text ReplaceText(std::string_view t, std::string_view s, std::string_view r, bool exact);

// a..z at a character start become A..Z; second bytes never change.
Text ToUpper(std::string_view t);

// Folds full-width ASCII forms (A3 A1..A3 FE), the ideographic space, the
// full-width tilde and the two stars to one byte; drops a dangling lead byte.
Text ToHalfWidth(std::string_view t);

// One byte, the low 8 bits of code; the empty text when that byte is 0.
Text CharFromCode(std::int32_t code);

// Half-width folding, leading white space, optional sign, decimal digits,
// accumulated in 32-bit two's complement that wraps.
std::int32_t TextToInt(std::string_view t);

// As TextToInt but in signed 64 bits, saturating at the limits instead of
// wrapping: sizes of files of 2 GiB and more must read truly.
std::int64_t TextToInt64(std::string_view t);

double TextToReal(std::string_view t);
Text IntToText(std::int64_t i);

// "%.13g".
Text RealToText(double x);

// Halves away from zero, after a nudge of 1e-12 that rounds values sitting
// just below a half in double precision up.
double RoundReal(double x, int n);

// Whole numbers 1..99 as a Chinese currency amount: 16 gives "一十六元整".
Text ChineseAmount(double x);

DateTime CurrentDateTime();

// "2013年12月20日10时9分48秒", dropping trailing zero fields of the time.
Text DateTimeText(const DateTime& dt);

std::int32_t BytesLength(const ByteBuffer& b);
ByteBuffer BlankBytes(std::int64_t n);
ByteBuffer BytesLeft(const ByteBuffer& b, std::int64_t n);
ByteBuffer ConcatBytes(std::initializer_list<const ByteBuffer*> parts);
ByteBuffer TextToBytes(std::string_view t);
ByteBuffer IntToBytes(std::int32_t i);

// The bytes before the first zero byte.
Text BytesToText(const ByteBuffer& b);

template <typename List>
std::int32_t ListCount(const List& list) {
  return static_cast<std::int32_t>(list.size());
}

// Precondition: 1 <= i <= ListCount(list).
template <typename List>
const typename List::value_type& ListItem(const List& list, std::int32_t i) {
  return list[static_cast<std::size_t>(i - 1)];
}

template <typename List>
void ListAppend(List& list, typename List::value_type v) {
  list.push_back(std::move(v));
}

void SortIntList(IntList& list, bool ascending);

}  // namespace linkmill
