#include "web/http_get.h"

#include <curl/curl.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <mutex>
#include <string>

#include "web/http_limits.h"

namespace linkmill {

namespace {

// Bytes a URL may not carry raw: space, control bytes, bytes from 0x80 up and
// the printable characters outside the URL-safe set. "%" is left alone so that
// escapes already in the address go out as they are.
bool NeedsEscape(unsigned char c) {
  if (c <= 0x20 || c >= 0x7F) return true;
  switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return true;
    default:
      return false;
  }
}

// The address as it goes on the wire: links carry bars and GBK file names,
// which no HTTP request line may hold raw.
std::string EscapeUrl(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (const char ch : url) {
    const auto c = static_cast<unsigned char>(ch);
    if (NeedsEscape(c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

struct Transfer {
  std::int64_t body_cap = 0;
  // Content-Length of the latest response head, 0 when it announced none.
  std::int64_t announced = 0;
  bool too_big = false;
  bool body_started = false;
  ByteBuffer body;
};

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
  return line.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), line.begin(), [](char a, char b) {
           return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
         });
}

// Reads the Content-Length of each response head (redirects and interim
// answers each start a new head).
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::string_view line(data, size * count);
  if (StartsWithNoCase(line, "http/")) {
    t.announced = 0;
  } else if (StartsWithNoCase(line, "content-length:")) {
    std::string_view value = line.substr(15);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    std::uint64_t n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (end == value.data()) return line.size();  // not a number: no length announced
    if (ec != std::errc() || n > static_cast<std::uint64_t>(t.body_cap)) {
      t.too_big = true;
      return 0;  // refused before a byte of the body is stored
    }
    t.announced = static_cast<std::int64_t>(n);
  }
  return line.size();
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t n = size * count;
  t.body_started = true;
  if (static_cast<std::int64_t>(t.body.size() + n) > t.body_cap) {
    t.too_big = true;
    return 0;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  t.body.insert(t.body.end(), bytes, bytes + n);
  return n;
}

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

ByteBuffer HttpGet(std::string_view url, const HttpLimits& limits) {
  InitCurlOnce();
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return {};

  const std::string wire_url = EscapeUrl(url);
  Transfer t;
  t.body_cap = limits.body_cap;
  // curl offers "Accept: */*" on its own; the request carries no header of ours
  // beyond the user agent.
  curl_slist* headers = curl_slist_append(nullptr, "Accept:");

  curl_easy_setopt(curl, CURLOPT_URL, wire_url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "HTTPREAD");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 20L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stall_seconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, limits.total_timeout_ms);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);

  const CURLcode rc = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  curl_slist_free_all(headers);

  if (t.too_big) return {};
  // With an announced length the result has exactly that length: a body cut
  // short keeps its missing tail as zero bytes. The length counts only for the
  // answer whose body was read, not for a redirect that could not be followed.
  const bool final_answer = t.body_started || rc == CURLE_OK || rc == CURLE_PARTIAL_FILE;
  if (final_answer && t.announced > 0) t.body.resize(static_cast<size_t>(t.announced));
  return t.body;
}

ByteBuffer HttpGet(std::string_view url) { return HttpGet(url, HttpLimits{}); }

}  // namespace linkmill
