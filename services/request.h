// Reading the two lookup requests from their raw request targets. The targets
// are parsed here rather than through the HTTP library's query parameters: the
// qvod link runs unescaped to the end of the target and may hold "&", "+" and
// GBK bytes that a form decoder would change.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace linkmill::services {

// The upper-case hash a request looks up, or why the request is refused.
struct LookupKey {
  std::string hash;        // set when fault is empty
  std::string_view fault;  // a short reason for a 400 answer
};

// "/f2e?ID=" and the 32 hexadecimal digits of a bdhd hash.
LookupKey ParseHashLookupTarget(std::string_view target);

// "/queryfid?type=str&url=" and a qvod link, raw or percent-escaped, running to
// the end of the target; the key is the link's 40-digit hash field, so the same
// file under another name finds the same answer.
LookupKey ParseLinkQueryTarget(std::string_view target);

// Every "%XX" to its byte; nothing when a "%" is not followed by two
// hexadecimal digits or a byte decodes to zero. "+" stays "+".
std::optional<std::string> DecodePercentEscapes(std::string_view s);

// The same for a link, which the client sends without escaping its own "%":
// a "%" that starts no escape of a non-zero byte stays as it is, so that a
// name such as "100%.rmvb" still finds its answer.
std::string DecodeLinkEscapes(std::string_view s);

}  // namespace linkmill::services
