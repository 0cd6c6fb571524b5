// A one-shot HTTP GET over a plain socket, so that a test controls every byte
// of the request line (raw GBK bytes, bars, bad escapes) and of the headers.
#pragma once

#include <string>
#include <string_view>

namespace linkmill::services::testing {

struct RawResponse {
  int status = -1;  // -1: no status line came back
  std::string content_type;
  std::string body;
};

// Sends "GET <target> HTTP/1.1" with extra_headers (each ending "\r\n") and
// "Connection: close" to 127.0.0.1:port and reads the answer.
RawResponse RawGet(int port, std::string_view target, std::string_view extra_headers = {});

}  // namespace linkmill::services::testing
