// UnescapeUnicode against the one-escape-at-a-time replacement.
#include <cstdint>
#include <string_view>

#include "fuzz/check.h"
#include "support/literal_text.h"
#include "text/codepage.h"

using linkmill::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Require(linkmill::UnescapeUnicode(text) == linkmill::testing::LiteralUnescapeUnicode(text),
          "UnescapeUnicode differs from the literal replacement");
  return 0;
}
