// FindText, SplitText and ReplaceText against the literal character walk, on
// a search text, a replacement, a start, a case flag and the text to search.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "fuzz/check.h"
#include "support/literal_text.h"
#include "text/text.h"

using linkmill::fuzz::Require;
namespace literal = linkmill::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool ignore_case = in.ConsumeBool();
  const auto start = static_cast<std::int64_t>(in.ConsumeIntegral<std::int16_t>());
  const std::string search = in.ConsumeRandomLengthString(32);
  const std::string replacement = in.ConsumeRandomLengthString(32);
  const std::string text = in.ConsumeRemainingBytesAsString();

  Require(linkmill::FindText(text, search, start, ignore_case) ==
              literal::NaiveFind(text, search, start, ignore_case),
          "FindText differs from the character walk");
  Require(linkmill::SplitText(text, search) == literal::NaiveSplit(text, search),
          "SplitText differs from the character walk");
  Require(linkmill::ReplaceText(text, search, replacement, !ignore_case) ==
              literal::NaiveReplace(text, search, replacement, !ignore_case),
          "ReplaceText differs from the character walk");
  return 0;
}
