#include "cli/encoding.h"

#include <iconv.h>

#include <cerrno>

#include "text/codepage.h"
#include "text/text.h"

namespace linkmill {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

std::string GbkToUtf8(std::string_view text) {
  iconv_t cd = iconv_open("UTF-8", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out(text.size() * 3 + 3, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  char* dst = out.data();
  std::size_t out_left = out.size();
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &dst, &out_left) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) break;  // cannot happen: three bytes out per byte in suffice
    // An invalid or cut-off sequence: one replacement character per byte.
    const std::size_t written = static_cast<std::size_t>(dst - out.data());
    out.replace(written, kReplacement.size(), kReplacement);
    dst += kReplacement.size();
    out_left -= kReplacement.size();
    ++in;
    --in_left;
  }
  iconv_close(cd);
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return out;
}

}  // namespace

Text InputToGbk(std::string_view bytes, Encoding encoding) {
  if (encoding == Encoding::kGbk) return BytesToText(TextToBytes(bytes));
  return Utf8ToGbk(TextToBytes(bytes));
}

std::string GbkToOutput(std::string_view text, Encoding encoding) {
  return encoding == Encoding::kGbk ? std::string(text) : GbkToUtf8(text);
}

}  // namespace linkmill
