#include "text/extract.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/literal_text.h"
#include "text/text.h"

namespace linkmill {
namespace {

using testing::LiteralExtract;

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

TEST(ExtractBetweenTest, AgreesWithLiteralAlgorithm) {
  // Lead bytes among the few bytes, so markers that end on a lead byte and
  // markers hidden in second bytes both occur.
  const char alphabet[] = {'|', 'a', 'A', '\xB0', '\xA1'};
  std::mt19937 rng(11);
  auto random_text = [&](std::size_t min_len, std::size_t max_len) {
    std::string t(min_len + rng() % (max_len - min_len + 1), 'a');
    for (char& c : t) c = alphabet[rng() % sizeof alphabet];
    return t;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string source = random_text(0, 20);
    const std::string start = random_text(1, 2);
    const std::string end = random_text(1, 2);
    TextList matches;
    ExtractBetween(source, start, end, matches);
    ASSERT_EQ(matches, LiteralExtract(source, start, end))
        << "source " << ::testing::PrintToString(source) << " start "
        << ::testing::PrintToString(start) << " end " << ::testing::PrintToString(end);
  }
}

TEST(ExtractBetweenTest, SourceMayLieInTheMatchList) {
  TextList matches = {"|a|b|"};
  EXPECT_EQ(ExtractBetween(matches[0], "|", "|", matches), "a");
  EXPECT_EQ(matches, (TextList{"a", "b"}));
}

TEST(ExtractBetweenTest, EmptyMarkersMatchNothing) {
  TextList matches = {"stale"};
  EXPECT_EQ(ExtractBetween("abc", "", "c", matches), kUnknown);
  EXPECT_TRUE(matches.empty());
  EXPECT_EQ(ExtractBetween("abc", "a", "", matches), kUnknown);
  EXPECT_TRUE(matches.empty());
}

}  // namespace
}  // namespace linkmill
