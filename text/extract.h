// Marker extraction: the one parsing tool every field of a link is read with.
#pragma once

#include <string_view>

#include "text/types.h"

namespace linkmill {

// The text "未知", what ExtractBetween gives when nothing lies between the markers.
inline constexpr std::string_view kUnknown = "\xCE\xB4\xD6\xAA";

// Every text between an occurrence of start and the next occurrence of end
// after it (markers found ignoring ASCII case, at character starts), in order;
// the next start is searched right after the previous start, so matches
// overlap where an end marker serves as the next start. matches is replaced
// by that list; the result is its first element, or "未知" when it is empty.
Text ExtractBetween(std::string_view source, std::string_view start, std::string_view end,
                    TextList& matches);

// The same, for callers that want only the first match.
Text ExtractBetween(std::string_view source, std::string_view start, std::string_view end);

}  // namespace linkmill
