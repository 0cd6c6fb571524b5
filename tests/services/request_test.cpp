#include "services/request.h"

#include <gtest/gtest.h>

#include <string>

namespace linkmill::services {
namespace {

constexpr const char* kBdhdHash = "016E2D91F30162F17D6AE5B19F19F09C";
constexpr const char* kQvodHash = "EB2F5E6BE05074D8D2229C9B778D1CFA618E4421";

struct Case {
  std::string target;
  std::string want_hash;  // empty: the request is refused
};

TEST(ParseHashLookupTarget, AcceptsOnly32HexDigitsUnderID) {
  const std::string hash = kBdhdHash;
  const Case cases[] = {
      {"/f2e?ID=" + hash, hash},
      {"/f2e?ID=016e2d91f30162f17d6ae5b19f19f09c", hash},    // lower case finds the same key
      {"/f2e?ID=%30" + hash.substr(1), hash},                // an escaped digit is a digit
      {"/f2e?x=1&ID=" + hash, hash},                         // other parameters are ignored
      {"/f2e?ID=" + hash.substr(1), ""},                     // 31 digits
      {"/f2e?ID=" + hash + "0", ""},                         // 33 digits
      {"/f2e?ID=" + hash.substr(1) + "G", ""},               // not hexadecimal
      {"/f2e?ID=" + hash.substr(2) + "%27%20OR%201=1", ""},  // quotes and SQL words
      {"/f2e?ID='%20OR%20'1'='1", ""},
      {"/f2e?ID=" + std::string(100 * 1024, 'A'), ""},  // 100 KB
      {"/f2e?ID=", ""},
      {"/f2e?ID", ""},
      {"/f2e?id=" + hash, ""},  // the key is "ID"
      {"/f2e", ""},
      {"/f2e?ID=" + hash + "&ID=" + hash, ""},
      {"/f2e?ID=%G" + hash.substr(2), ""},  // bad escapes
      {"/f2e?ID=" + hash.substr(1) + "%", ""},
      {"/f2e?ID=" + hash.substr(2) + "%0", ""},
      {"/f2e?ID=%00" + hash.substr(1), ""},
  };
  for (const Case& c : cases) {
    LookupKey key = ParseHashLookupTarget(c.target);
    std::string shown = c.target.substr(0, 80);
    if (c.want_hash.empty()) {
      EXPECT_FALSE(key.fault.empty()) << shown;
    } else {
      EXPECT_TRUE(key.fault.empty()) << shown << ": " << key.fault;
      EXPECT_EQ(key.hash, c.want_hash) << shown;
    }
  }
}

TEST(ParseLinkQueryTarget, FindsTheHashFieldOfTheEscapedOrRawLink) {
  const std::string hash = kQvodHash;
  const std::string q = "/queryfid?type=str&url=";
  // "\xD6\xD0\xCE\xC4" is GBK for 中文.
  const Case cases[] = {
      {q + "qvod://161941792%7C" + hash + "%7CVelmora-01.rmvb", hash},
      {q + "qvod://161941792|" + hash + "|Velmora-01.rmvb", hash},
      {q + "qvod%3A%2F%2F161941792%7C" + hash + "%7C%D6%D0%CE%C4.rmvb", hash},
      {q + "qvod://161941792|" + hash + "|\xD6\xD0\xCE\xC4.rmvb", hash},
      {q + "qvod://1|" + hash + "|Tom&Jerry+1%.rmvb", hash},  // a raw "%" in a name
      {q + "qvod://1|" + hash + "|Tom&url=x+1.rmvb", hash},  // the link runs to the end
      {q + "qvod://1%7Ceb2f5e6be05074d8d2229c9b778d1cfa618e4421%7Cx.rmvb", hash},
      {"/queryfid?url=qvod://1|" + hash + "|x.rmvb", ""},           // no type
      {"/queryfid?type=num&url=qvod://1|" + hash + "|x.rmvb", ""},  // another type
      {"/queryfid?type=str", ""},                                   // no url
      {"/queryfid", ""},
      {q, ""},
      {q + "bdhd://1|" + hash + "|x.rmvb", ""},
      {q + "QVOD://1|" + hash + "|x.rmvb", ""},
      {q + "qvod://1|" + hash.substr(1) + "|x.rmvb", ""},  // 39 digits
      {q + "qvod://1|" + hash + "0|x.rmvb", ""},           // 41 digits
      {q + "qvod://1|x|" + hash + "|x.rmvb", ""},          // only the first bar field counts
      {q + "qvod://1|" + hash, ""},                        // one bar
      {q + "qvod://1%7" + hash + "|x.rmvb", ""},
      {q + "qvod://1%00|" + hash + "|x.rmvb", hash},  // "%00" stays as it is
  };
  for (const Case& c : cases) {
    LookupKey key = ParseLinkQueryTarget(c.target);
    if (c.want_hash.empty()) {
      EXPECT_FALSE(key.fault.empty()) << c.target;
    } else {
      EXPECT_TRUE(key.fault.empty()) << c.target << ": " << key.fault;
      EXPECT_EQ(key.hash, c.want_hash) << c.target;
    }
  }
}

TEST(DecodePercentEscapes, DecodesEscapesOnlyAndRefusesBrokenOnes) {
  const struct {
    std::string in;
    std::optional<std::string> want;
  } cases[] = {
      {"", ""},
      {"a%7Cb", "a|b"},
      {"a%7cb", "a|b"},
      {"a+b", "a+b"},  // not a form: "+" is a plus
      {"%D6%D0", "\xD6\xD0"},
      {"100%25", "100%"},
      {"%", std::nullopt},
      {"%7", std::nullopt},
      {"%zz", std::nullopt},
      {"%00", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodePercentEscapes(c.in), c.want) << c.in;
}

}  // namespace
}  // namespace linkmill::services
