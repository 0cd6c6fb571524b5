#include "services/link_fields.h"

#include <algorithm>

namespace linkmill::services {
namespace {

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Position of the first bar at or after from, a GBK character being one unit.
std::size_t FindBar(std::string_view s, std::size_t from) {
  for (std::size_t i = from; i < s.size(); ++i) {
    if (s[i] == '|') return i;
    if (IsGbkLeadByte(static_cast<unsigned char>(s[i]))) ++i;
  }
  return std::string_view::npos;
}

}  // namespace

bool IsHexDigits(std::string_view s, std::size_t length) {
  return s.size() == length && std::all_of(s.begin(), s.end(), IsHex);
}

std::string UpperHex(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::optional<std::string_view> HashField(std::string_view link) {
  std::size_t open = FindBar(link, 0);
  if (open == std::string_view::npos) return std::nullopt;
  std::size_t close = FindBar(link, open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  return link.substr(open + 1, close - open - 1);
}

std::string_view BdhdLinkFault(std::string_view link) {
  constexpr std::string_view kPrefix = "bdhd://";
  if (!link.starts_with(kPrefix)) return "the link does not begin with \"bdhd://\"";
  std::string_view rest = link.substr(kPrefix.size());
  std::size_t bar = rest.find('|');
  std::string_view size = rest.substr(0, bar);
  if (bar == std::string_view::npos || size.empty() ||
      !std::all_of(size.begin(), size.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return "the link has no decimal size followed by \"|\"";
  }
  rest = rest.substr(bar + 1);
  bar = rest.find('|');
  if (bar == std::string_view::npos || !IsHexDigits(rest.substr(0, bar), kBdhdHashLength)) {
    return "the link's hash is not 32 hexadecimal digits between two \"|\"";
  }
  std::string_view name = rest.substr(bar + 1);
  if (name.empty()) return "the link has no file name";
  for (char c : name) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return "the link's file name holds a control character";
    if (c == '#') return "the link's file name holds \"#\"";
  }
  return {};
}

}  // namespace linkmill::services
