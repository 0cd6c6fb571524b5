#include "links/filter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "app/memory_controls.h"
#include "app/sample_input.h"

namespace linkmill {
namespace {

using ::testing::ElementsAre;

const Text H32 = "016E2D91F30162F17D6AE5B19F19F09C";
const Text H40 = "EB2F5E6BE05074D8D2229C9B778D1CFA618E4421";
const Text kUnknownText = "\xCE\xB4\xD6\xAA";                              // 未知
const Text kFiltering = "\xD5\xFD\xD4\xF2\xC9\xB8\xD1\xA1\xD6\xD0......";  // 正则筛选中......
const Text kFiltered = "\xC9\xB8\xD1\xA1\xCD\xEA\xB1\xCF!!......";         // 筛选完毕!!......

Text FoundLine(int count) {
  return "\xD5\xD2\xB5\xBD\xB5\xD8\xD6\xB7\xB9\xB2" + std::to_string(count) +
         "\xCC\xF5......";  // 找到地址共N条......
}

TEST(RunFilterTest, SampleInputGivesFortyRows) {
  MemoryControls controls(SampleInput());
  RunFilter(controls);
  const std::vector<LinkRow> rows = controls.Rows();
  ASSERT_EQ(rows.size(), 40u);
  EXPECT_THAT(rows[0], ElementsAre("1", "BDHD", "Velmora01.rmvb", "rmvb", "226.98MB", H32,
                                   "bdhd://238002442|" + H32 + "|Velmora01.rmvb"));
  EXPECT_THAT(rows[20], ElementsAre("21", "QVOD", "Velmora-01.rmvb", "rmvb", "154.44MB", H40,
                                    "qvod://161941792|" + H40 + "|Velmora-01.rmvb"));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][0], std::to_string(i + 1));
    EXPECT_EQ(rows[i][1], i < 20 ? "BDHD" : "QVOD");
  }
  EXPECT_EQ(controls.ReadInput(), SampleInput());
  EXPECT_THAT(controls.LogMessages(), ElementsAre(kFiltering, kFiltered, FoundLine(40)));
}

struct RowCase {
  const char* name;
  Text input;
  std::vector<LinkRow> rows;  // column 0 is checked by the sample test
  Text input_after;
};

TEST(RunFilterTest, Rows) {
  const Text b = "bdhd://238002442|" + H32 + "|";
  const Text q = "qvod://161941792|" + H40 + "|";
  const RowCase cases[] = {
      {"bdhd rows come first whatever the order",
       q + "a.rmvb\r\n" + b + "b.avi\r\n",
       {{"1", "BDHD", "b.avi", "avi", "226.98MB", H32, b + "b.avi"},
        {"2", "QVOD", "a.rmvb", "rmvb", "154.44MB", H40, q + "a.rmvb"}},
       b + "b.avi\r\n" + q + "a.rmvb\r\n"},
      {"several dots: the last piece is the extension",
       b + "a.b.c.mkv",
       {{"1", "BDHD", "a.b.c.mkv", "mkv", "226.98MB", H32, b + "a.b.c.mkv"}},
       b + "a.b.c.mkv\r\n"},
      {"name ending with a dot",
       b + "movie_with_a_long_name.\r\n" + q + "movie.\r\n",
       {{"1", "BDHD", "movie_with_a_long_name.", "", "226.98MB", H32,
         b + "movie_with_a_long_name."},
        {"2", "QVOD", "movie.", "movie", "154.44MB", H40, q + "movie."}},
       b + "movie_with_a_long_name.\r\n" + q + "movie.\r\n"},
      {"name without a dot, after a row with an extension",
       b + "x.rmvb\r\n" + b + "noextension\r\n" + q + "noextension\r\n",
       {{"1", "BDHD", "x.rmvb", "rmvb", "226.98MB", H32, b + "x.rmvb"},
        {"2", "BDHD", "noextension", "", "226.98MB", H32, b + "noextension"},
        {"3", "QVOD", "noextension", "noextension", "154.44MB", H40, q + "noextension"}},
       b + "x.rmvb\r\n" + b + "noextension\r\n" + q + "noextension\r\n"},
      {"link ending right after the bar behind its hash",
       b + "\r\n" + q + "\r\n",
       {{"1", "BDHD", kUnknownText, "", "226.98MB", kUnknownText, "bdhd://238002442|" + H32},
        {"2", "QVOD", kUnknownText, kUnknownText, "154.44MB", kUnknownText,
         "qvod://161941792|" + H40}},
       "bdhd://238002442|" + H32 + "\r\nqvod://161941792|" + H40 + "\r\n"},
      // Of two closing bars only the last goes: the hash stays readable.
      {"link ending with two bars",
       b + "|\r\n",
       {{"1", "BDHD", "", "", "226.98MB", H32, b}},
       b + "\r\n"},
      {"sizes of 2 GiB and more read truly",
       "bdhd://3000000000|" + H32 + "|big.iso\r\nbdhd://99999999999999999999999|" + H32 +
           "|huge.iso\r\nbdhd://x|" + H32 + "|unsized_file_name.iso\r\n",
       {{"1", "BDHD", "big.iso", "iso", "2.79GB", H32, "bdhd://3000000000|" + H32 + "|big.iso"},
        {"2", "BDHD", "huge.iso", "iso", "8192PB", H32,
         "bdhd://99999999999999999999999|" + H32 + "|huge.iso"},
        {"3", "BDHD", "unsized_file_name.iso", "iso", "0B", H32,
         "bdhd://x|" + H32 + "|unsized_file_name.iso"}},
       "bdhd://3000000000|" + H32 + "|big.iso\r\nbdhd://99999999999999999999999|" + H32 +
           "|huge.iso\r\nbdhd://x|" + H32 + "|unsized_file_name.iso\r\n"},
      {"a link that ran on over a line break gives one row",
       "bdhd://1|" + H32 + "|a.b\r\nmore text",
       {{"1", "BDHD", "a.b", "b", "1B", H32, "bdhd://1|" + H32 + "|a.b"}},
       "bdhd://1|" + H32 + "|a.b\r\nmore\r\n"},
      {"percent-escaped text is decoded",
       "bdhd%3A%2F%2F238002442%7C" + H32 + "%7C%u4E2D%E6%96%87.rmvb",
       {{"1", "BDHD", "\xD6\xD0\xCE\xC4.rmvb", "rmvb", "226.98MB", H32,
         b + "\xD6\xD0\xCE\xC4.rmvb"}},  // 中文.rmvb
       b + "\xD6\xD0\xCE\xC4.rmvb\r\n"},
      {"lower-case escapes are not decoded",
       "bdhd%3a%2f%2f238002442%7c" + H32 + "%7cx.rmvb",
       {},
       ""},
      {"only one of the two escapes: not decoded",
       "bdhd%3A%2F%2F238002442|" + H32 + "|x.rmvb",
       {},
       ""},
      {"no link at all", "nothing to see here", {}, ""},
  };
  for (const RowCase& c : cases) {
    MemoryControls controls(c.input);
    RunFilter(controls);
    EXPECT_EQ(controls.Rows(), c.rows) << c.name;
    EXPECT_EQ(controls.ReadInput(), c.input_after) << c.name;
    EXPECT_EQ(controls.LogMessages().back(), FoundLine(static_cast<int>(c.rows.size()))) << c.name;
  }
}

TEST(RunFilterTest, ClearsRowsOfAnEarlierRun) {
  MemoryControls controls(SampleInput());
  RunFilter(controls);
  controls.WriteInput("no links");
  RunFilter(controls);
  EXPECT_TRUE(controls.Rows().empty());
}

// Two filters at once may mix their rows, but every row index is handed out
// once and every row holds the cells of one link.
TEST(RunFilterTest, TwoTasksAtOnceKeepRowsWhole) {
  Text input;
  for (int i = 0; i < 2000; ++i) {
    input += "bdhd://" + std::to_string(100000 + i) + "|" + H32 + "|file" + std::to_string(i) +
             ".rmvb\r\n";
  }
  for (int round = 0; round < 5; ++round) {
    MemoryControls controls(input);
    std::thread first([&] { RunFilter(controls); });
    std::thread second([&] { RunFilter(controls); });
    first.join();
    second.join();
    const std::vector<LinkRow> rows = controls.Rows();
    ASSERT_GE(rows.size(), 2000u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i][0], std::to_string(i + 1));
      EXPECT_EQ(rows[i][6], "bdhd://" + rows[i][6].substr(7, 6) + "|" + H32 + "|" + rows[i][2]);
    }
  }
}

}  // namespace
}  // namespace linkmill
