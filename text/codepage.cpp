#include "text/codepage.h"

#include <array>

#include "text/gbk_unicode.h"
#include "text/text.h"

namespace linkmill {

namespace {

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

// Calls emit with the code point of every character of the n bytes at b, in
// order, until emit returns false. Each maximal ill-formed part (a sequence
// that starts well but breaks off, or a byte that can start nothing) gives
// one U+FFFD; the byte that broke a sequence off is read again as a start.
template <typename Emit>
void DecodeUtf8(const unsigned char* b, std::size_t n, Emit emit) {
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = b[i++];
    std::uint32_t code_point = c;
    int needed = 0;
    unsigned char lower = 0x80;
    unsigned char upper = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      needed = 1;
      code_point = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      needed = 2;
      code_point = c & 0x0F;
      if (c == 0xE0) lower = 0xA0;  // no overlong forms
      if (c == 0xED) upper = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      needed = 3;
      code_point = c & 0x07;
      if (c == 0xF0) lower = 0x90;  // no overlong forms
      if (c == 0xF4) upper = 0x8F;  // nothing above U+10FFFF
    } else if (c >= 0x80) {
      code_point = kReplacementCharacter;
    }
    for (; needed > 0; --needed) {
      if (i == n || b[i] < lower || b[i] > upper) {
        code_point = kReplacementCharacter;
        break;
      }
      code_point = code_point << 6 | (b[i++] & 0x3F);
      lower = 0x80;
      upper = 0xBF;
    }
    if (!emit(code_point)) return;
  }
}

unsigned char* PutUnit(unsigned char* at, std::uint32_t unit) {
  at[0] = static_cast<unsigned char>(unit & 0xFF);
  at[1] = static_cast<unsigned char>(unit >> 8);
  return at + 2;
}

// Writes the GBK form of one code point: "?" for a character GBK lacks.
char* PutGbk(char* at, std::uint32_t code_point, const GbkFormTable& gbk) {
  const std::uint16_t code = code_point < 0x10000 ? gbk[code_point] : 0;
  if (code == 0) {
    *at++ = '?';
  } else if (code < 0x80) {
    *at++ = static_cast<char>(code);
  } else {
    *at++ = static_cast<char>(code >> 8);
    *at++ = static_cast<char>(code & 0xFF);
  }
  return at;
}

}  // namespace

ByteBuffer Utf8ToWide(const ByteBuffer& b) {
  // No character takes more UTF-16 bytes than twice its UTF-8 bytes.
  ByteBuffer out(2 * b.size());
  unsigned char* at = out.data();
  DecodeUtf8(b.data(), b.size(), [&at](std::uint32_t code_point) {
    if (code_point < 0x10000) {
      at = PutUnit(at, code_point);
    } else {
      at = PutUnit(at, 0xD800 | (code_point - 0x10000) >> 10);
      at = PutUnit(at, 0xDC00 | (code_point & 0x3FF));
    }
    return true;
  });
  out.resize(static_cast<std::size_t>(at - out.data()));
  return out;
}

// A character GBK lacks becomes one "?", a surrogate pair included; a lone
// surrogate is no character and is left out. The unit 0 ends the text, as
// a zero byte ends any text read from a buffer. A base character and a
// combining mark are converted one by one, never composed.
Text WideToGbk(const ByteBuffer& u) {
  const GbkFormTable& gbk = GbkForms();
  const std::size_t units = u.size() / 2;
  Text out(2 * units, '\0');
  char* const begin = out.data();
  char* at = begin;
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t unit = u[2 * i] | u[2 * i + 1] << 8;
    if (unit == 0) {
      break;
    }
    if (IsHighSurrogate(unit)) {
      if (i + 1 < units && IsLowSurrogate(u[2 * i + 2] | u[2 * i + 3] << 8)) {
        *at++ = '?';
        ++i;
      }
      continue;
    }
    if (!IsLowSurrogate(unit)) {
      at = PutGbk(at, unit, gbk);
    }
  }
  out.resize(static_cast<std::size_t>(at - begin));
  return out;
}

// The same as WideToGbk (Utf8ToWide (b)), without the UTF-16 text between.
Text Utf8ToGbk(const ByteBuffer& b) {
  const GbkFormTable& gbk = GbkForms();
  // No character takes more GBK bytes than UTF-8 bytes.
  Text out(b.size(), '\0');
  char* const begin = out.data();
  char* at = begin;
  DecodeUtf8(b.data(), b.size(), [&at, &gbk](std::uint32_t code_point) {
    if (code_point == 0) return false;
    at = PutGbk(at, code_point, gbk);
    return true;
  });
  out.resize(static_cast<std::size_t>(at - begin));
  return out;
}

Text CodeUnitToGbk(std::int32_t v) {
  const std::uint16_t code = GbkForms()[static_cast<std::uint16_t>(v)];
  if (code == 0) {
    return {};
  }
  // The form is written over two spaces, so a one-byte form keeps a trailing
  // space that TrimEnd takes away again, together with a lone space or an
  // ideographic space.
  Text buffer = BlankText(2);
  if (code < 0x80) {
    buffer[0] = static_cast<char>(code);
  } else {
    buffer[0] = static_cast<char>(code >> 8);
    buffer[1] = static_cast<char>(code & 0xFF);
  }
  return TrimEnd(buffer);
}

}  // namespace linkmill
