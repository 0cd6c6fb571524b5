#include "text/extract.h"

#include "text/text.h"

namespace linkmill {
namespace {

// True when the marker read character by character ends with a whole
// character, not with a lead byte waiting for its second byte. The text just
// behind such a marker then starts a character of the same walk the marker
// was found on, so every later search walks a tail of that same walk.
bool EndsOnCharacter(std::string_view marker) {
  std::size_t i = 0;
  while (i < marker.size()) i += static_cast<unsigned char>(marker[i]) >= 0x80 ? 2 : 1;
  return i == marker.size();
}

// Collects the matches into found, or only the first one when first_only.
void Collect(std::string_view source, std::string_view start, std::string_view end, bool first_only,
             TextList& found) {
  // No caller passes an empty marker; one would match everywhere and never advance.
  if (start.empty() || end.empty()) return;
  const bool same_walk = EndsOnCharacter(start);
  // The last end marker found. On the same walk, the first end at or after a
  // later p is that one as long as it lies at or after p, and there is none
  // when the last search found none; so no byte is scanned twice for it.
  std::int32_t e = 0;
  std::int64_t p = 1;
  for (;;) {
    const std::int32_t b = FindText(source, start, p, true);
    if (b == -1) break;
    p = b + static_cast<std::int64_t>(start.size());
    if (!same_walk || e < p) e = FindText(source, end, p, true);
    if (e == -1) {
      // No end marker at or after p, so no later start marker can be closed.
      if (same_walk) break;
      continue;
    }
    found.push_back(TextMid(source, p, e - p));
    if (first_only) break;
  }
}

}  // namespace

Text ExtractBetween(std::string_view source, std::string_view start, std::string_view end,
                    TextList& matches) {
  TextList found;
  Collect(source, start, end, false, found);
  // The markers and the source may lie in the caller's list, so it is
  // replaced only once they are no longer read.
  matches = std::move(found);
  return matches.empty() ? Text(kUnknown) : matches.front();
}

Text ExtractBetween(std::string_view source, std::string_view start, std::string_view end) {
  TextList found;
  Collect(source, start, end, true, found);
  return found.empty() ? Text(kUnknown) : std::move(found.front());
}

}  // namespace linkmill
