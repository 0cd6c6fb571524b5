// The bounds of one fetch. HttpGet uses the defaults; tests shorten them so
// that a server which never answers does not hold them for a minute.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/types.h"

namespace linkmill {

struct HttpLimits {
  // A body, announced or received, above this many bytes gives the empty buffer.
  std::int64_t body_cap = std::int64_t{64} << 20;
  long connect_timeout_ms = 30'000;
  // A transfer that receives nothing for this long ends like a failed read.
  long stall_seconds = 60;
  // A transfer not finished after this long ends like a failed read.
  long total_timeout_ms = 300'000;
};

ByteBuffer HttpGet(std::string_view url, const HttpLimits& limits);

}  // namespace linkmill
