// PercentDecode against the byte-at-a-time decoding and the two-step
// UTF-8 to UTF-16 to GBK conversion.
#include <cstdint>
#include <string_view>

#include "fuzz/check.h"
#include "support/literal_text.h"
#include "text/codepage.h"

using linkmill::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const linkmill::Text got = linkmill::PercentDecode(text);
  Require(got == linkmill::testing::LiteralPercentDecode(text),
          "PercentDecode differs from the literal decoding");
  Require(got.find('\0') == linkmill::Text::npos, "PercentDecode gave a zero byte");
  return 0;
}
