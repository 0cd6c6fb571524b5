#include "links/scan.h"

#include <algorithm>
#include <array>

#include "text/extract.h"
#include "text/text.h"

namespace linkmill {

namespace {

struct SchemeTraits {
  std::string_view split_marker;
  std::string_view prefix;
  std::int32_t hash_length;
};

SchemeTraits TraitsOf(Scheme scheme) {
  if (scheme == Scheme::kBdhd) return {"bdhd:", "bdhd://", 32};
  return {"qvod:", "qvod://", 40};
}

// A link ends at one of these: line feed, carriage return, space, double
// quote, dollar, apostrophe, or the byte 0xA1 that opens every character of
// the full-width punctuation row.
const std::array<Text, 7>& Terminators() {
  static const std::array<Text, 7> terminators = {
      CharFromCode(10), CharFromCode(13), CharFromCode(32), CharFromCode(34),
      CharFromCode(36), CharFromCode(39), CharFromCode(161)};
  return terminators;
}

// A candidate counts only when it is longer than this many bytes.
constexpr std::int32_t kMinCandidateLength = 40;

// The body of the link in segment: the shortest candidate from the first "//"
// to a terminator that is longer than 40 bytes, or the empty text when there
// is none.
Text ChooseCandidate(std::string_view segment) {
  std::array<Text, 7> candidates;
  IntList lengths;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    candidates[i] = ExtractBetween(segment, "//", Terminators()[i]);
    const std::int32_t length = TextLength(candidates[i]);
    if (length > kMinCandidateLength) ListAppend(lengths, length);
  }
  if (lengths.empty()) return {};
  SortIntList(lengths, false);
  const std::int32_t shortest = ListItem(lengths, ListCount(lengths));
  return *std::find_if(candidates.begin(), candidates.end(),
                       [&](const Text& c) { return TextLength(c) == shortest; });
}

// Drops a closing "|" or "|/" and every "#".
Text CleanTail(Text link) {
  link += "#";
  link = ReplaceText(link, "|#", "", true);
  link = ReplaceText(link, "|/#", "", true);
  return ReplaceText(link, "#", "", true);
}

}  // namespace

Text ScanLinks(std::string_view text, Scheme scheme) {
  const SchemeTraits traits = TraitsOf(scheme);
  Text result;
  for (const Text& segment : SplitText(text, traits.split_marker)) {
    if (TextLength(ExtractBetween(segment, "|", "|")) != traits.hash_length) continue;
    const Text body = ChooseCandidate(segment);
    // A segment with a hash but no long enough candidate gives no link.
    if (body.empty()) continue;
    result += CleanTail(Text(traits.prefix) + body);
    result += "\r\n";
  }
  return result;
}

}  // namespace linkmill
