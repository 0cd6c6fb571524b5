#include "links/scan.h"

#include <gtest/gtest.h>

#include "app/sample_input.h"

namespace linkmill {
namespace {

const Text H32 = "016E2D91F30162F17D6AE5B19F19F09C";
const Text H40 = "EB2F5E6BE05074D8D2229C9B778D1CFA618E4421";

// The lines of the sample input that start with prefix, each with its "\r\n".
Text SampleLines(std::string_view prefix) {
  Text out;
  const Text& sample = SampleInput();
  for (std::size_t at = 0; at < sample.size();) {
    const std::size_t end = sample.find("\r\n", at) + 2;
    if (sample.compare(at, prefix.size(), prefix) == 0) out += sample.substr(at, end - at);
    at = end;
  }
  return out;
}

TEST(ScanLinksTest, SampleInputGivesItsLinksUnchanged) {
  EXPECT_EQ(ScanLinks(SampleInput() + "\r\n", Scheme::kBdhd), SampleLines("bdhd://"));
  EXPECT_EQ(ScanLinks(SampleInput() + "\r\n", Scheme::kQvod), SampleLines("qvod://"));
}

TEST(ScanLinksTest, Table) {
  struct Case {
    const char* name;
    Text text;
    Scheme scheme;
    Text want;
  };
  const Text link = "bdhd://238002442|" + H32 + "|x.rmvb";
  const Case cases[] = {
      {"empty text", "", Scheme::kBdhd, ""},
      {"no marker and no hash field", "just words | here |\r\n", Scheme::kBdhd, ""},
      {"closing bar dropped", link + "|\r\n", Scheme::kBdhd, link + "\r\n"},
      {"closing bar and slash dropped", link + "|/\r\n", Scheme::kBdhd, link + "\r\n"},
      {"hash mark removed", "bdhd://238002442|" + H32 + "|a#b.rmvb\r\n", Scheme::kBdhd,
       "bdhd://238002442|" + H32 + "|ab.rmvb\r\n"},
      {"bar before a hash mark removed with it", "bdhd://238002442|" + H32 + "|a|#b.rmvb\r\n",
       Scheme::kBdhd, "bdhd://238002442|" + H32 + "|ab.rmvb\r\n"},
      {"31-byte hash", "bdhd://238002442|" + H32.substr(1) + "|x.rmvb\r\n", Scheme::kBdhd, ""},
      {"33-byte hash", "bdhd://238002442|" + H32 + "A|x.rmvb\r\n", Scheme::kBdhd, ""},
      {"39-byte qvod hash", "qvod://238002442|" + H40.substr(1) + "|x.rmvb\r\n", Scheme::kQvod, ""},
      {"41-byte qvod hash", "qvod://238002442|" + H40 + "A|x.rmvb\r\n", Scheme::kQvod, ""},
      {"bdhd hash is not a qvod hash", link + "\r\n", Scheme::kQvod, ""},
      {"two links on one line", link + " " + link + "\r\n", Scheme::kBdhd,
       link + "\r\n" + link + "\r\n"},
      {"space in a long name ends the link", "bdhd://238002442|" + H32 + "|My Movie.rmvb\r\n",
       Scheme::kBdhd, "bdhd://238002442|" + H32 + "|My\r\n"},
      {"space within the first 40 bytes is passed over", "bdhd://12 45|" + H32 + "|name.rmvb\r\n",
       Scheme::kBdhd, "bdhd://12 45|" + H32 + "|name.rmvb\r\n"},
      {"short body runs on over the line break", "bdhd://1|" + H32 + "|a.b\r\nmore text\r\n",
       Scheme::kBdhd, "bdhd://1|" + H32 + "|a.b\r\nmore\r\n"},
      {"closing double quote", "<a href=\"" + link + "\">x</a>\r\n", Scheme::kBdhd, link + "\r\n"},
      {"closing apostrophe", "url='" + link + "';\r\n", Scheme::kBdhd, link + "\r\n"},
      {"dollar", link + "$next\r\n", Scheme::kBdhd, link + "\r\n"},
      {"full-width full stop (A1 A3)", link + "\xA1\xA3more\r\n", Scheme::kBdhd, link + "\r\n"},
      {"a bar as second byte of a GBK character is no bar",
       "bdhd://1\x95|2|" + H32 + "|name.rmvb\r\n", Scheme::kBdhd,
       "bdhd://1\x95|2|" + H32 + "|name.rmvb\r\n"},
      {"a quote-like second byte does not end the link",
       link + "\xB0\x22"
              "ab\r\n",
       Scheme::kBdhd,
       link + "\xB0\x22"
              "ab\r\n"},
      {"a qvod link right after runs into the bdhd link",
       link + "qvod://161941792|" + H40 + "|b.rmvb\r\n", Scheme::kBdhd,
       link + "qvod://161941792|" + H40 + "|b.rmvb\r\n"},
      {"the bdhd link before is not a qvod link", link + "qvod://161941792|" + H40 + "|b.rmvb\r\n",
       Scheme::kQvod, "qvod://161941792|" + H40 + "|b.rmvb\r\n"},
      {"a hash without a long enough candidate gives no link, the scan goes on",
       "bdhd://1|" + H32 + "|\r\n" + link + "\r\n", Scheme::kBdhd, link + "\r\n"},
      {"text before the first marker starts at its first //",
       "see http://example.com/|" + H32 + "|x.rmvb\r\n", Scheme::kBdhd,
       "bdhd://example.com/|" + H32 + "|x.rmvb\r\n"},
      // The scheme in capitals does not split the text: after a link it is part
      // of that link's segment, and only the first "//" of a segment counts.
      {"capital scheme after a link is not found", link + "\r\nBDHD://9|" + H32 + "|y.rmvb\r\n",
       Scheme::kBdhd, link + "\r\n"},
      // As the text before the first marker, it is a segment like any other.
      {"capital scheme as the first segment", "BDHD://238002442|" + H32 + "|x.rmvb\r\n",
       Scheme::kBdhd, link + "\r\n"},
      {"same link twice", link + "\r\n" + link + "\r\n", Scheme::kBdhd,
       link + "\r\n" + link + "\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScanLinks(c.text, c.scheme), c.want) << c.name;
  }
}

TEST(ScanLinksTest, HostileTextsEndWithoutLinks) {
  const Text bars(1 << 20, '|');
  const Text slashes(1 << 20, '/');
  const Text markers = [] {
    Text t;
    for (int i = 0; i < 100000; ++i) t += "bdhd:";
    return t;
  }();
  const Text lead_byte_at_end = "bdhd://1|" + H32 + "|x\xB0";
  for (const Text* text : {&bars, &slashes, &markers, &lead_byte_at_end}) {
    EXPECT_EQ(ScanLinks(*text, Scheme::kBdhd), "");
  }
}

}  // namespace
}  // namespace linkmill
