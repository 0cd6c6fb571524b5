#include "text/gbk_unicode.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <memory>

namespace linkmill {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + byte 0x80..0xFF

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsEscape(char16_t unit) { return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF; }

// Both directions of code page 936, built once from iconv. A code that two
// byte sequences share goes to the first of them only; the other sequence is
// then treated as bytes that start no character, so that every text reads
// back to the bytes it came from.
struct GbkTables {
  std::array<char16_t, 0x10000> decode_pair{};  // lead << 8 | trail -> unit, 0 = none
  std::array<char16_t, 0x100> decode_single{};  // byte -> unit, 0 = none
  std::array<std::uint16_t, 0x10000> encode{};  // unit -> bytes (one or two), 0 = none
};

// The one UTF-16 code unit that bytes convert to, or 0.
char16_t ConvertOne(iconv_t cd, const char* bytes, std::size_t length) {
  char in[2] = {bytes[0], length > 1 ? bytes[1] : '\0'};
  char16_t out[4] = {};
  char* in_pos = in;
  auto* out_pos = reinterpret_cast<char*>(out);
  std::size_t in_left = length;
  std::size_t out_left = sizeof(out);
  const std::size_t done = iconv(cd, &in_pos, &in_left, &out_pos, &out_left);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  if (done == static_cast<std::size_t>(-1) || in_left != 0 || sizeof(out) - out_left != 2) return 0;
  const char16_t unit = out[0];
  if (unit < 0x80 || (unit >= 0xD800 && unit <= 0xDFFF)) return 0;
  return unit;
}

std::unique_ptr<GbkTables> BuildTables() {
  auto tables = std::make_unique<GbkTables>();
  iconv_t cd = iconv_open("UTF-16LE", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) return tables;  // every byte above 0x7F escapes
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const char16_t unit = ConvertOne(cd, bytes, 2);
      if (unit == 0 || tables->encode[unit] != 0) continue;
      const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
      tables->decode_pair[code] = unit;
      tables->encode[unit] = code;
    }
  }
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const char bytes[1] = {static_cast<char>(byte)};
    const char16_t unit = ConvertOne(cd, bytes, 1);
    if (unit == 0 || tables->encode[unit] != 0) continue;
    tables->decode_single[byte] = unit;
    tables->encode[unit] = static_cast<std::uint16_t>(byte);
  }
  iconv_close(cd);
  return tables;
}

const GbkTables& Tables() {
  static const std::unique_ptr<GbkTables> tables = BuildTables();
  return *tables;
}

}  // namespace

const GbkFormTable& GbkForms() {
  static const GbkFormTable forms = [] {
    GbkFormTable table{};
    const auto& encode = Tables().encode;
    for (std::uint32_t unit = 1; unit < 0x10000; ++unit) {
      if (unit < 0x80) {
        table[unit] = static_cast<std::uint16_t>(unit);
      } else if (encode[unit] > 0xFF) {
        table[unit] = encode[unit];
      }
    }
    return table;
  }();
  return forms;
}

std::u16string GbkToUtf16(std::string_view gbk) {
  const GbkTables& tables = Tables();
  std::u16string result;
  result.reserve(gbk.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(gbk.data());
  const std::size_t size = gbk.size();
  std::size_t i = 0;
  while (i < size) {
    const unsigned char byte = bytes[i];
    if (byte < 0x80) {
      result.push_back(byte);
      ++i;
      continue;
    }
    if (i + 1 < size) {
      const char16_t unit = tables.decode_pair[byte << 8 | bytes[i + 1]];
      if (unit != 0) {
        result.push_back(unit);
        i += 2;
        continue;
      }
    }
    const char16_t single = tables.decode_single[byte];
    result.push_back(single != 0 ? single : static_cast<char16_t>(kEscapeBase + byte));
    ++i;
  }
  return result;
}

Text Utf16ToGbk(std::u16string_view text) {
  const GbkTables& tables = Tables();
  Text result;
  result.reserve(text.size() * 2);
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const char16_t unit = text[i];
    if (unit == 0) continue;
    if (unit < 0x80) {
      result.push_back(static_cast<char>(unit));
    } else if (IsHighSurrogate(unit) && i + 1 < size && IsLowSurrogate(text[i + 1])) {
      result.push_back('?');
      ++i;
    } else if (IsEscape(unit)) {
      result.push_back(static_cast<char>(unit - kEscapeBase));
    } else if (const std::uint16_t code = tables.encode[unit]; code > 0xFF) {
      result.push_back(static_cast<char>(code >> 8));
      result.push_back(static_cast<char>(code & 0xFF));
    } else if (code != 0) {
      result.push_back(static_cast<char>(code));
    } else {
      result.push_back('?');
    }
  }
  return result;
}

std::string GbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  for (char16_t unit : GbkToUtf16(gbk)) {
    // The units of GBK characters are all in the basic plane, outside the
    // surrogates; what is left there are the escaped bytes.
    const std::uint32_t c = IsEscape(unit) ? 0xFFFD : unit;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | c >> 6));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | c >> 12));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace linkmill
