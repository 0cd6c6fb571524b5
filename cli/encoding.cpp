#include "cli/encoding.h"

#include "text/codepage.h"
#include "text/gbk_unicode.h"
#include "text/text.h"

namespace linkmill {

Text InputToGbk(std::string_view bytes, Encoding encoding) {
  if (encoding == Encoding::kGbk) return BytesToText(TextToBytes(bytes));
  return Utf8ToGbk(TextToBytes(bytes));
}

std::string GbkToOutput(std::string_view text, Encoding encoding) {
  return encoding == Encoding::kGbk ? std::string(text) : GbkToUtf8(text);
}

}  // namespace linkmill
