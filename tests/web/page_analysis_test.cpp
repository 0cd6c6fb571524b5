#include "web/page_analysis.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/memory_controls.h"
#include "support/http_test_server.h"

namespace linkmill {
namespace {

using testing::HttpTestServer;

const Text kAnalysed = "\xB7\xD6\xCE\xF6\xCD\xEA\xB1\xCF!!......";  // 分析完毕!!......
const Text kDeepAnalysis = "\xC9\xEE\xB6\xC8\xB7\xD6\xCE\xF6\xD6\xD0......";  // 深度分析中......

const std::string kHash32 = "016E2D91F30162F17D6AE5B19F19F09C";
const std::string kHash40 = "5C9F2E6A0B1D4C3E8F7A6B5C4D3E2F1A0B9C8D7E";

// A web site of fixed pages; any other path answers 404 with an empty body.
class Site {
 public:
  explicit Site(std::map<std::string, std::string> pages) : pages_(std::move(pages)) {
    server_.Get(R"([\s\S]*)", [this](const httplib::Request& req, httplib::Response& res) {
      const auto it = pages_.find(req.path);
      if (it == pages_.end()) {
        res.status = 404;
        return;
      }
      res.set_content(it->second, "text/html");
    });
    server_.Start();
  }
  std::string Url(std::string_view path) const { return server_.Url(path); }
  std::vector<std::string> Targets() { return server_.Targets(); }

 private:
  const std::map<std::string, std::string> pages_;
  HttpTestServer server_;
};

// Keeps the tasks the analysis starts, to count them and run them later.
struct RecordingStarter {
  std::vector<Task> tasks;
  TaskStarter Starter() {
    return [this](Task t) { tasks.push_back(std::move(t)); };
  }
};

TEST(RunPageAnalysisTest, PageItselfCarriesHashes) {
  struct Case {
    std::string name;
    std::string page;
    std::string want_input;  // the page as text
  };
  const std::vector<Case> cases = {
      {"bdhd hash between bars", "<p>bdhd://238002442|" + kHash32 + "|a.rmvb</p>", ""},
      {"qvod hash between bars", "qvod://1|" + kHash40 + "|b.rmvb|", ""},
      {"bdhd hash between escaped bars", "bdhd%3A//1%7C" + kHash32 + "%7Ca.rmvb", ""},
      {"qvod hash between lower-case escaped bars", "qvod%3a//1%7c" + kHash40 + "%7cb.rmvb", ""},
      {"text ends at a zero byte", "x|" + kHash32 + "|y" + std::string("\0tail", 5),
       "x|" + kHash32 + "|y"},
  };
  for (const Case& c : cases) {
    Site site({{"/page", c.page}});
    MemoryControls controls(site.Url("/page"));
    RecordingStarter starter;

    RunPageAnalysis(controls, starter.Starter());

    EXPECT_EQ(controls.LogMessages(), std::vector<Text>{kAnalysed}) << c.name;
    EXPECT_EQ(controls.ReadInput(), c.want_input.empty() ? c.page : c.want_input) << c.name;
    EXPECT_EQ(starter.tasks.size(), 1u) << c.name;
    EXPECT_EQ(site.Targets(), std::vector<std::string>{"/page"}) << c.name;
  }
}

TEST(RunPageAnalysisTest, StartedTaskFiltersTheText) {
  const std::string link = "bdhd://238002442|" + kHash32 + "|Velmora01.rmvb";
  Site site({{"/page", "<a>\r\n" + link + "\r\n</a>"}});
  MemoryControls controls(site.Url("/page"));
  RecordingStarter starter;

  RunPageAnalysis(controls, starter.Starter());
  ASSERT_EQ(starter.tasks.size(), 1u);
  starter.tasks[0]();

  const std::vector<LinkRow> rows = controls.Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], "BDHD");
  EXPECT_EQ(rows[0][6], link);
}

TEST(RunPageAnalysisTest, DeepAnalysis) {
  const std::string passing_one = "var a = 'bdhd://1|" + kHash32 + "|one.rmvb';";
  const std::string passing_two = "var b = 'qvod://2|" + kHash40 + "|two.rmvb|';";
  struct Case {
    std::string name;
    std::string page;
    std::map<std::string, std::string> scripts;
    std::vector<std::string> want_targets;  // after "/page"
    std::vector<Text> want_log;
    std::string want_input;  // empty: the address stays
    size_t want_tasks;
  };
  const std::vector<Case> cases = {
      {"first bars enclose a word",
       "a |word| b bdhd://1|" + kHash32 + "|n.rmvb",
       {},
       {},
       {kDeepAnalysis},
       "",
       0},
      {"hash one byte short",
       "bdhd://1|" + kHash32.substr(1) + "|n.rmvb",
       {},
       {},
       {kDeepAnalysis},
       "",
       0},
      {"only slash-led .js values are fetched, in order",
       R"(<script SRC="/a.js"></script><script src="http://other.invalid/b.js"></script>)"
       R"(<script src="c.js"></script><img src="/e.png"><script src="/d.json"></script>)"
       R"(<script src="/f.JS"></script>)",
       {{"/a.js", "var a = 1;"}, {"/d.json", "{}"}},
       {"/a.js", "/d.json"},
       {kDeepAnalysis},
       "",
       0},
      {"every passing script is filtered",
       R"(src="/one.js" src="/none.js" src="/two.js")",
       {{"/one.js", passing_one}, {"/none.js", "var n;"}, {"/two.js", passing_two}},
       {"/one.js", "/none.js", "/two.js"},
       {kDeepAnalysis, kAnalysed, kAnalysed},
       passing_two,
       2},
      {"same script twice is fetched twice",
       R"(src="/a.js" src="/a.js")",
       {{"/a.js", "var a = 1;"}},
       {"/a.js", "/a.js"},
       {kDeepAnalysis},
       "",
       0},
      {"scripts are not searched for scripts",
       R"(src="/a.js")",
       {{"/a.js", R"(src="/b.js")"}, {"/b.js", passing_one}},
       {"/a.js"},
       {kDeepAnalysis},
       "",
       0},
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> pages = c.scripts;
    pages["/page"] = c.page;
    Site site(pages);
    const std::string address = site.Url("/page");
    MemoryControls controls(address);
    RecordingStarter starter;

    RunPageAnalysis(controls, starter.Starter());

    std::vector<std::string> want_targets = {"/page"};
    want_targets.insert(want_targets.end(), c.want_targets.begin(), c.want_targets.end());
    EXPECT_EQ(site.Targets(), want_targets) << c.name;
    EXPECT_EQ(controls.LogMessages(), c.want_log) << c.name;
    EXPECT_EQ(controls.ReadInput(), c.want_input.empty() ? address : c.want_input) << c.name;
    EXPECT_EQ(starter.tasks.size(), c.want_tasks) << c.name;
  }
}

TEST(RunPageAnalysisTest, AddressEdges) {
  const std::string passing = "bdhd://1|" + kHash32 + "|n.rmvb";
  Site site({{"/", R"(<script src="/a.js"></script>)"},
             {"/a.js", passing},
             {"/page\r\nsecond line", passing}});
  struct Case {
    std::string name;
    std::string input_after_host;
    std::vector<std::string> want_targets;
    std::vector<Text> want_log;
  };
  const std::vector<Case> cases = {
      // No "/" after the host: no host to build script addresses on.
      {"no slash after the host", "", {"/"}, {kDeepAnalysis}},
      {"second line is part of the address",
       "/page\r\nsecond line",
       {"/page%0D%0Asecond%20line"},
       {kAnalysed}},
  };
  const std::string root = site.Url("");
  for (const Case& c : cases) {
    const size_t before = site.Targets().size();
    MemoryControls controls(root + c.input_after_host);
    RecordingStarter starter;

    RunPageAnalysis(controls, starter.Starter());

    const std::vector<std::string> targets = site.Targets();
    EXPECT_EQ(std::vector<std::string>(targets.begin() + static_cast<long>(before), targets.end()),
              c.want_targets)
        << c.name;
    EXPECT_EQ(controls.LogMessages(), c.want_log) << c.name;
  }
}

TEST(RunPageAnalysisTest, UnreachablePageEndsAfterDeepAnalysisLine) {
  std::string address;
  {
    Site gone({});
    address = gone.Url("/page");
  }
  MemoryControls controls(address);
  RecordingStarter starter;

  RunPageAnalysis(controls, starter.Starter());

  EXPECT_EQ(controls.LogMessages(), std::vector<Text>{kDeepAnalysis});
  EXPECT_EQ(controls.ReadInput(), address);
  EXPECT_TRUE(starter.tasks.empty());
}

}  // namespace
}  // namespace linkmill
