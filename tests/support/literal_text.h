// The text procedures as their algorithms word them: slow, obvious walks that
// the fast implementations must agree with on every input. The tests and the
// fuzz targets compare against them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/codepage.h"
#include "text/radix.h"
#include "text/text.h"

namespace linkmill::testing {

inline bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// FindText: walk the characters from start and compare at each one.
inline std::int32_t NaiveFind(std::string_view t, std::string_view s, std::int64_t start,
                              bool fold) {
  std::size_t p = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
  if (p >= t.size()) return -1;
  if (s.empty()) return 1;
  auto f = [fold](unsigned char c) { return fold && c >= 'A' && c <= 'Z' ? c + 32 : c; };
  while (p < t.size() && t.size() - p >= s.size()) {
    bool equal = true;
    for (std::size_t i = 0; i < s.size() && equal; ++i) {
      equal = f(static_cast<unsigned char>(t[p + i])) == f(static_cast<unsigned char>(s[i]));
    }
    if (equal) return static_cast<std::int32_t>(p + 1);
    p += IsLeadByte(t[p]) ? 2 : 1;
  }
  return -1;
}

// ReplaceText, on top of the naive search.
inline Text NaiveReplace(std::string_view t, std::string_view s, std::string_view r, bool exact) {
  if (t.empty() || s.empty()) return Text(t);
  Text out;
  std::size_t p = 0;
  while (p < t.size() && t.size() - p >= s.size()) {
    if (NaiveFind(t.substr(p, s.size()), s, 1, !exact) == 1) {
      out += r;
      p += s.size();
    } else {
      const std::size_t n = IsLeadByte(t[p]) ? 2 : 1;
      out += t.substr(p, n);
      p += n;
    }
  }
  return out + Text(t.substr(std::min(p, t.size())));
}

// SplitText: a piece ends at every exact match at a character start; the
// piece after the last delimiter counts only when it is not empty.
inline TextList NaiveSplit(std::string_view t, std::string_view d) {
  TextList pieces;
  if (t.empty()) return pieces;
  if (d.empty()) return {Text(t)};
  std::size_t piece = 0;
  std::size_t p = 0;
  while (p < t.size() && t.size() - p >= d.size()) {
    if (t.substr(p, d.size()) == d) {
      pieces.emplace_back(t.substr(piece, p - piece));
      p += d.size();
      piece = p;
    } else {
      p += IsLeadByte(t[p]) ? 2 : 1;
    }
  }
  if (piece < t.size()) pieces.emplace_back(t.substr(piece));
  return pieces;
}

// ExtractBetween: every search from scratch, and after an unclosed start
// marker the next start marker is tried all the same.
inline TextList LiteralExtract(std::string_view source, std::string_view start,
                               std::string_view end) {
  TextList found;
  std::int64_t p = 1;
  for (;;) {
    const std::int32_t b = FindText(source, start, p, true);
    if (b == -1) return found;
    p = b + static_cast<std::int64_t>(start.size());
    const std::int32_t e = FindText(source, end, p, true);
    if (e != -1) found.push_back(TextMid(source, p, e - p));
  }
}

// UnescapeUnicode one escape at a time: every escape of the input, in order,
// replaces every occurrence of its text (letter case aside) in the output so
// far; the next search starts after the backslash.
inline Text LiteralUnescapeUnicode(std::string_view t) {
  Text out(t);
  std::int64_t p = 1;
  for (;;) {
    const std::int32_t q = FindText(t, "\\u", p, true);
    if (q == -1) break;
    const Text e = TextMid(t, q, 6);
    const Text d = TextRight(e, 4);
    const Text g = CodeUnitToGbk(TextToInt(ConvertRadix(d, 16, 10)));
    out = ReplaceText(out, e, g, false);
    p = q + 1;
  }
  return out;
}

// PercentDecode one byte at a time: "%" and two hexadecimal digits give their
// byte (nothing for the byte 0); a "%" without two digits after it stays. The
// bytes are then read as UTF-8 to UTF-16 and the units written as GBK.
inline Text LiteralPercentDecode(std::string_view t) {
  auto hex = [](char c) {
    const std::string_view digits = "0123456789ABCDEF";
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    const std::size_t at = digits.find(upper);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
  };
  ByteBuffer out;
  std::size_t i = 0;
  while (i < t.size()) {
    if (t[i] == '%' && i + 2 < t.size() && hex(t[i + 1]) >= 0 && hex(t[i + 2]) >= 0) {
      const int byte = 16 * hex(t[i + 1]) + hex(t[i + 2]);
      if (byte != 0) out.push_back(static_cast<unsigned char>(byte));
      i += 3;
    } else {
      out.push_back(static_cast<unsigned char>(t[i]));
      ++i;
    }
  }
  return WideToGbk(Utf8ToWide(out));
}

// TextToInt on the folded copy: skip white space, take a sign, accumulate
// decimal digits in 32 bits that wrap.
inline std::int32_t LiteralTextToInt(std::string_view t) {
  const Text f = ToHalfWidth(t);
  std::size_t i = 0;
  while (i < f.size() && (f[i] == ' ' || (f[i] >= '\t' && f[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < f.size() && (f[i] == '+' || f[i] == '-')) negative = f[i++] == '-';
  std::uint32_t v = 0;
  for (; i < f.size() && f[i] >= '0' && f[i] <= '9'; ++i) v = v * 10u + (f[i] - '0');
  return static_cast<std::int32_t>(negative ? 0u - v : v);
}

}  // namespace linkmill::testing
