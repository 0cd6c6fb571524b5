// ExtractBetween against the literal extraction, on two markers and a source.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "fuzz/check.h"
#include "support/literal_text.h"
#include "text/extract.h"

using linkmill::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string start = in.ConsumeRandomLengthString(8);
  const std::string end = in.ConsumeRandomLengthString(8);
  const std::string source = in.ConsumeRemainingBytesAsString();
  // No caller passes an empty marker.
  if (start.empty() || end.empty()) return 0;

  linkmill::TextList matches = {"stale"};
  const linkmill::Text first = linkmill::ExtractBetween(source, start, end, matches);
  Require(matches == linkmill::testing::LiteralExtract(source, start, end),
          "ExtractBetween differs from the literal extraction");
  Require(first == (matches.empty() ? linkmill::Text(linkmill::kUnknown) : matches.front()),
          "ExtractBetween's result is not its first match");
  Require(linkmill::ExtractBetween(source, start, end) == first,
          "the first-match ExtractBetween differs from the full one");
  return 0;
}
