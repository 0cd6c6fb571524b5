#include <gtest/gtest.h>

#include "app/memory_controls.h"
#include "cli/encoding.h"
#include "cli/options.h"
#include "cli/output.h"

namespace linkmill {
namespace {

TEST(ParseOptionsTest, Table) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    Command command = Command::kHelp;
    OutputForm output = OutputForm::kControlText;
    Encoding encoding = Encoding::kUtf8;
  };
  const Case cases[] = {
      {{"filter"}, true, Command::kFilter, OutputForm::kControlText, Encoding::kUtf8},
      {{"filter", "--rows"}, true, Command::kFilter, OutputForm::kRows, Encoding::kUtf8},
      {{"analyze", "--state", "--encoding", "gbk"},
       true,
       Command::kAnalyze,
       OutputForm::kState,
       Encoding::kGbk},
      {{"convert", "--hash-lookup-host", "h:1", "--link-query-host", "q:2"},
       true,
       Command::kConvert,
       OutputForm::kControlText,
       Encoding::kUtf8},
      {{"--help"}, true, Command::kHelp, OutputForm::kControlText, Encoding::kUtf8},
      {{"filter", "-h"}, true, Command::kHelp, OutputForm::kControlText, Encoding::kUtf8},
      {{}, false},
      {{"sift"}, false},
      {{"filter", "--rows", "--state"}, false},
      {{"filter", "--encoding"}, false},
      {{"filter", "--encoding", "latin1"}, false},
      {{"filter", "--hash-lookup-host", "h:1"}, false},
      {{"convert", "--link-query-host"}, false},
      {{"filter", "extra"}, false},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    std::string error;
    const std::optional<Options> options = ParseOptions(c.args, error);
    ASSERT_EQ(options.has_value(), c.ok) << joined << error;
    if (!c.ok) {
      EXPECT_FALSE(error.empty()) << joined;
      continue;
    }
    EXPECT_EQ(options->command, c.command) << joined;
    EXPECT_EQ(options->output, c.output) << joined;
    EXPECT_EQ(options->encoding, c.encoding) << joined;
  }
  std::string error;
  const auto hosts = ParseOptions({"convert", "--hash-lookup-host", "h:1"}, error)->hosts;
  EXPECT_EQ(hosts.hash_lookup, "h:1");
  EXPECT_EQ(hosts.link_query, LINKMILL_LINK_QUERY_HOST);
}

TEST(OutputTest, StateEscapesEveryField) {
  MemoryControls controls("a\\b\tc\r\nd");
  controls.AppendNumberedRow({"", "BDHD", "n\\ame", "", "1B", "h", "bdhd://x\ty"});
  controls.AppendLog("done\r\n");
  EXPECT_EQ(RenderOutput(controls, Command::kFilter, OutputForm::kState),
            "input\ta\\\\b\\tc\\r\\nd\n"
            "row\t1\tBDHD\tn\\\\ame\t\t1B\th\tbdhd://x\\ty\n"
            "log\tdone\\r\\n\n");
  EXPECT_EQ(RenderOutput(controls, Command::kFilter, OutputForm::kRows),
            "1\tBDHD\tn\\\\ame\t\t1B\th\tbdhd://x\\ty\n");
  EXPECT_EQ(RenderOutput(controls, Command::kFilter, OutputForm::kControlText), "a\\b\tc\r\nd");
}

TEST(OutputTest, ConvertPrintsWhatCopyCopies) {
  MemoryControls controls;
  for (const Text& link : {Text("ed2k://|file|a|1|H|/"), Text(""), Text("x"), Text("ab")}) {
    controls.AppendNumberedRow({"", "ED2K", "", "", "", "", link});
  }
  EXPECT_EQ(RenderOutput(controls, Command::kConvert, OutputForm::kControlText),
            "ed2k://|file|a|1|H|/\r\nab\r\n");
}

TEST(EncodingTest, Table) {
  struct Case {
    std::string in;
    Encoding encoding;
    Text gbk;
  };
  const Case cases[] = {
      {"plain", Encoding::kUtf8, "plain"},
      {"\xE4\xB8\xAD", Encoding::kUtf8, "\xD6\xD0"},  // 中
      {"\xD6\xD0", Encoding::kGbk, "\xD6\xD0"},
      {std::string("a\0b", 3), Encoding::kGbk, "a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InputToGbk(c.in, c.encoding), c.gbk) << c.in;
  }
  EXPECT_EQ(GbkToOutput("\xD6\xD0", Encoding::kUtf8), "\xE4\xB8\xAD");
  EXPECT_EQ(GbkToOutput("\xD6\xD0", Encoding::kGbk), "\xD6\xD0");
  // Bytes that are not GBK become U+FFFD, one per byte, and the rest survives.
  EXPECT_EQ(GbkToOutput("a\xFF"
                        "b\xD6",
                        Encoding::kUtf8),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace linkmill
