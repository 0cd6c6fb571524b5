// Failure messages of the text tests: bytes as a reader can tell them apart.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace linkmill::testing {

// The text in quotes, bytes outside printable ASCII written as \xNN.
inline std::string Show(std::string_view t) {
  std::string out;
  for (unsigned char c : t) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return "\"" + out + "\"";
}

}  // namespace linkmill::testing
