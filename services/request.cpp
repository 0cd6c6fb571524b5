#include "services/request.h"

#include <vector>

#include "services/link_fields.h"

namespace linkmill::services {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The text after the first "?", or nothing when the target has no query.
std::optional<std::string_view> QueryOf(std::string_view target) {
  std::size_t mark = target.find('?');
  if (mark == std::string_view::npos) return std::nullopt;
  return target.substr(mark + 1);
}

// The values of every "key=value" parameter of query named key.
std::vector<std::string_view> ValuesOf(std::string_view query, std::string_view key) {
  std::vector<std::string_view> values;
  while (!query.empty()) {
    std::size_t amp = query.find('&');
    std::string_view param = query.substr(0, amp);
    if (param.size() > key.size() && param.starts_with(key) && param[key.size()] == '=') {
      values.push_back(param.substr(key.size() + 1));
    } else if (param == key) {
      values.push_back({});
    }
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return values;
}

LookupKey Refuse(std::string_view fault) { return {{}, fault}; }

// Decodes every escape of s into out; a "%" that starts no escape of a
// non-zero byte fails the decoding, or is kept when keep_stray is set.
bool DecodeEscapes(std::string_view s, bool keep_stray, std::string& out) {
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const int high = s[i] == '%' && s.size() - i >= 3 ? HexValue(s[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(s[i + 2]) : -1;
    if (s[i] != '%' || ((low < 0 || (high == 0 && low == 0)) && keep_stray)) {
      out.push_back(s[i]);
    } else if (low < 0 || (high == 0 && low == 0)) {
      return false;
    } else {
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    }
  }
  return true;
}

}  // namespace

std::optional<std::string> DecodePercentEscapes(std::string_view s) {
  std::string out;
  if (!DecodeEscapes(s, false, out)) return std::nullopt;
  return out;
}

std::string DecodeLinkEscapes(std::string_view s) {
  std::string out;
  DecodeEscapes(s, true, out);
  return out;
}

LookupKey ParseHashLookupTarget(std::string_view target) {
  std::optional<std::string_view> query = QueryOf(target);
  if (!query) return Refuse("missing query");
  std::vector<std::string_view> ids = ValuesOf(*query, "ID");
  if (ids.empty()) return Refuse("missing ID");
  if (ids.size() > 1) return Refuse("more than one ID");
  std::optional<std::string> id = DecodePercentEscapes(ids.front());
  if (!id) return Refuse("malformed percent escape");
  if (!IsHexDigits(*id, kBdhdHashLength)) return Refuse("ID is not 32 hexadecimal digits");
  return {UpperHex(*id), {}};
}

LookupKey ParseLinkQueryTarget(std::string_view target) {
  std::optional<std::string_view> query = QueryOf(target);
  if (!query) return Refuse("missing query");
  // The link is the last parameter and may hold "&" of its own, so it starts at
  // the first "url=" that begins a parameter and runs to the end.
  std::size_t url = query->starts_with("url=") ? 0 : query->find("&url=");
  if (url == std::string_view::npos) return Refuse("missing url");
  if (url > 0) ++url;
  std::vector<std::string_view> types = ValuesOf(query->substr(0, url), "type");
  if (types.size() != 1 || types.front() != "str") return Refuse("type is not str");
  const std::string link = DecodeLinkEscapes(query->substr(url + 4));
  if (!link.starts_with("qvod://")) return Refuse("url is not a qvod link");
  std::optional<std::string_view> hash = HashField(link);
  if (!hash || !IsHexDigits(*hash, kQvodHashLength)) {
    return Refuse("the link's hash is not 40 hexadecimal digits");
  }
  return {UpperHex(*hash), {}};
}

}  // namespace linkmill::services
