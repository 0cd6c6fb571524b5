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

}  // namespace

std::optional<std::string> DecodePercentEscapes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out.push_back(s[i]);
      continue;
    }
    if (s.size() - i < 3) return std::nullopt;
    int high = HexValue(s[i + 1]);
    int low = HexValue(s[i + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
    out.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
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
  std::optional<std::string> link = DecodePercentEscapes(query->substr(url + 4));
  if (!link) return Refuse("malformed percent escape");
  if (!link->starts_with("qvod://")) return Refuse("url is not a qvod link");
  std::optional<std::string_view> hash = HashField(*link);
  if (!hash || !IsHexDigits(*hash, kQvodHashLength)) {
    return Refuse("the link's hash is not 40 hexadecimal digits");
  }
  return {UpperHex(*hash), {}};
}

}  // namespace linkmill::services
