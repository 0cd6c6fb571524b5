#include "text/extract.h"

#include <gtest/gtest.h>

#include <string>

#include "text/text.h"

namespace linkmill {
namespace {

TEST(ExtractBetweenTest, Table) {
  const std::string link = "bdhd://238002442|016E2D91F30162F17D6AE5B19F19F09C|Velmora01.rmvb";
  struct Case {
    std::string source, start, end;
    TextList want;
  };
  const Case cases[] = {
      {"", "|", "|", {}},
      {"abc", "|", "|", {}},
      {"a|b", "|", "|", {}},
      {"||", "|", "|", {""}},
      {"|one|two|three|", "|", "|", {"one", "two", "three"}},
      {link, "//", "|", {"238002442"}},
      {link, "|", "|", {"016E2D91F30162F17D6AE5B19F19F09C"}},
      {link + "|", "|", "|", {"016E2D91F30162F17D6AE5B19F19F09C", "Velmora01.rmvb"}},
      {"<script SRC=\"a.js\"><script src=\"b.js\">", "src=\"", "\"", {"a.js", "b.js"}},
      {"x016e2d91f30162f17d6ae5b19f19f09c|name#",
       "016E2D91F30162F17D6AE5B19F19F09C|",
       "#",
       {"name"}},
      // A start marker with no end marker anywhere after it, many times over.
      {"((((((((", "(", ")", {}},
      {"((a)", "(", ")", {"(a", "a"}},
      // The end marker is searched at character starts only: the second byte
      // of B0 7C is no bar.
      {"|a\xB0|b|", "|", "|", {"a\xB0|b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("source " + c.source + " start " + c.start + " end " + c.end);
    TextList matches = {"stale", "list"};
    const Text got = ExtractBetween(c.source, c.start, c.end, matches);
    EXPECT_EQ(matches, c.want);
    EXPECT_EQ(got, c.want.empty() ? Text(kUnknown) : c.want.front());
    EXPECT_EQ(ExtractBetween(c.source, c.start, c.end), got);
  }
}

}  // namespace
}  // namespace linkmill
