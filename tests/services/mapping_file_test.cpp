#include "services/mapping_file.h"

#include <gtest/gtest.h>

#include <string>

namespace linkmill::services {
namespace {

constexpr const char* kBdhdHash = "016E2D91F30162F17D6AE5B19F19F09C";
constexpr const char* kEd2kHash = "0123456789ABCDEF0123456789ABCDEF";
constexpr const char* kQvodHash = "EB2F5E6BE05074D8D2229C9B778D1CFA618E4421";

// The same two mappings in UTF-8 and in GBK; the link's name is 中文.rmvb.
const std::string kUtf8Link =
    "bdhd://161941792|AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA|\xE4\xB8\xAD\xE6\x96\x87.rmvb";
const std::string kGbkLink =
    "bdhd://161941792|AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA|\xD6\xD0\xCE\xC4.rmvb";

std::string Line(const std::string& kind, const std::string& key, const std::string& value) {
  return kind + "\t" + key + "\t" + value + "\n";
}

TEST(ParseMappingFile, ReadsUtf8AndGbkFilesToTheSameGbkLinks) {
  std::string body = "# comment\n\n   \n" + Line("bdhd", kBdhdHash, kEd2kHash);
  for (bool gbk : {false, true}) {
    std::string file =
        (gbk ? "" : "\xEF\xBB\xBF") + body +
        Line("qvod", "eb2f5e6be05074d8d2229c9b778d1cfa618e4421", gbk ? kGbkLink : kUtf8Link);
    MappingFile parsed = ParseMappingFile(file);
    ASSERT_TRUE(parsed.faults.empty()) << gbk << ": " << parsed.faults[0].message;
    EXPECT_EQ(parsed.gbk, gbk);
    ASSERT_EQ(parsed.mappings.bdhd.size(), 1u);
    EXPECT_EQ(parsed.mappings.bdhd[0].bdhd_hash, kBdhdHash);
    EXPECT_EQ(parsed.mappings.bdhd[0].ed2k_hash, kEd2kHash);
    ASSERT_EQ(parsed.mappings.qvod.size(), 1u);
    EXPECT_EQ(parsed.mappings.qvod[0].qvod_hash, kQvodHash);  // keys in upper case
    EXPECT_EQ(parsed.mappings.qvod[0].bdhd_link, kGbkLink);
  }
}

TEST(ParseMappingFile, AcceptsCrLfLineEnds) {
  MappingFile parsed = ParseMappingFile("bdhd\t" + std::string(kBdhdHash) + "\t" + kEd2kHash +
                                        "\r\nqvod\t" + kQvodHash + "\t" + kUtf8Link + "\r\n");
  ASSERT_TRUE(parsed.faults.empty());
  EXPECT_EQ(parsed.mappings.bdhd[0].ed2k_hash, kEd2kHash);
  EXPECT_EQ(parsed.mappings.qvod[0].bdhd_link, kGbkLink);
}

TEST(ParseMappingFile, ReportsEveryBadLineWithItsNumber) {
  const std::string good = Line("bdhd", kBdhdHash, kEd2kHash);
  const std::string bdhd = std::string(kBdhdHash);
  const std::string link_head = "bdhd://1|" + bdhd + "|";
  const std::string bad_lines[] = {
      "bdhd\t" + bdhd + "\n",                   // two fields
      "bdhd " + bdhd + " " + kEd2kHash + "\n",  // spaces, not tabs
      Line("ed2k", bdhd, kEd2kHash),            // unknown kind
      Line("BDHD", bdhd, kEd2kHash),
      Line("bdhd", bdhd.substr(1), kEd2kHash),                     // 31 digits
      Line("bdhd", bdhd + "0", kEd2kHash),                         // 33 digits
      Line("bdhd", bdhd, std::string(kEd2kHash).substr(1) + "G"),  // not hexadecimal
      Line("bdhd", bdhd, std::string(kEd2kHash) + " "),
      Line("qvod", std::string(kQvodHash).substr(1), kUtf8Link),  // 39 digits
      Line("qvod", kQvodHash, "qvod://1|" + bdhd + "|x.rmvb"),    // not a bdhd link
      Line("qvod", kQvodHash, "BDHD://1|" + bdhd + "|x.rmvb"),
      Line("qvod", kQvodHash, "bdhd://|" + bdhd + "|x.rmvb"),  // no size
      Line("qvod", kQvodHash, "bdhd://1x|" + bdhd + "|x.rmvb"),
      Line("qvod", kQvodHash, "bdhd://1|" + bdhd.substr(1) + "|x.rmvb"),
      Line("qvod", kQvodHash, "bdhd://1|" + bdhd),  // one bar
      Line("qvod", kQvodHash, link_head),           // no name
      Line("qvod", kQvodHash, link_head + "a#b.rmvb"),
      Line("qvod", kQvodHash, link_head + "a\x01.rmvb"),
      Line("qvod", kQvodHash, link_head + "\xF0\x9F\x98\x80.rmvb"),  // an emoji GBK lacks
  };
  for (const std::string& bad : bad_lines) {
    MappingFile parsed = ParseMappingFile("# header\n" + good + "\n" + bad + good);
    ASSERT_EQ(parsed.faults.size(), 1u) << bad;
    EXPECT_EQ(parsed.faults[0].line, 4) << bad;
    EXPECT_FALSE(parsed.faults[0].message.empty());
  }
}

TEST(ParseMappingFile, ReportsALineThatIsNeitherUtf8NorGbk) {
  // 0x80 0x20 is invalid UTF-8, and 0xFF is no GBK byte at all.
  MappingFile parsed = ParseMappingFile(
      Line("qvod", kQvodHash, "bdhd://1|" + std::string(kBdhdHash) + "|\x80 \xFF.rmvb"));
  EXPECT_TRUE(parsed.gbk);
  ASSERT_EQ(parsed.faults.size(), 1u);
  EXPECT_EQ(parsed.faults[0].line, 1);
}

TEST(FormatMappingFile, WritesWhatParseReadsBackInUtf8) {
  Mappings mappings;
  mappings.bdhd.push_back({kBdhdHash, kEd2kHash});
  mappings.qvod.push_back({kQvodHash, kGbkLink});
  std::optional<std::string> text = FormatMappingFile(mappings);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, Line("bdhd", kBdhdHash, kEd2kHash) + Line("qvod", kQvodHash, kUtf8Link));
  MappingFile parsed = ParseMappingFile(*text);
  ASSERT_TRUE(parsed.faults.empty());
  EXPECT_EQ(parsed.mappings.qvod[0].bdhd_link, kGbkLink);

  mappings.qvod[0].bdhd_link = "bdhd://1|" + std::string(kBdhdHash) + "|\xFF.rmvb";
  EXPECT_FALSE(FormatMappingFile(mappings));
}

}  // namespace
}  // namespace linkmill::services
