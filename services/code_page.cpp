#include "services/code_page.h"

#include <iconv.h>

#include <cerrno>

namespace linkmill::services {

std::optional<std::string> ConvertCodePage(std::string_view in, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  // iconv takes a non-const input pointer but never writes through it. The code
  // pages used here are stateless, so there is no shift state to flush.
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  bool ok = true;
  while (src_left > 0) {
    char buffer[1024];
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buffer, dst - buffer);
    // EILSEQ: invalid or unconvertible; EINVAL: a sequence cut off at the end.
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      ok = false;
      break;
    }
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return out;
}

bool IsValidUtf8(std::string_view in) {
  return ConvertCodePage(in, "UTF-8", "UTF-32LE").has_value();
}

}  // namespace linkmill::services
