// Hostile input, end to end through the tasks on in-memory controls: huge
// pages, pathological texts, zero bytes, lone lead bytes, and services that
// answer far too much or far too slowly. Each case ends with a defined result;
// the peak resident size of the process is printed after each.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/memory_controls.h"
#include "convert/convert_task.h"
#include "links/filter.h"
#include "support/raw_test_server.h"
#include "text/text.h"
#include "web/http_limits.h"
#include "web/page_analysis.h"

namespace linkmill {
namespace {

using testing::RawConnection;
using testing::RawTestServer;

const Text kAnalysed = "\xB7\xD6\xCE\xF6\xCD\xEA\xB1\xCF!!......";  // 分析完毕!!......
const Text kDeepAnalysis = "\xC9\xEE\xB6\xC8\xB7\xD6\xCE\xF6\xD6\xD0......";  // 深度分析中......
const Text kFiltered = "\xC9\xB8\xD1\xA1\xCD\xEA\xB1\xCF!!......";   // 筛选完毕!!......
const Text kConverted = "\xD7\xAA\xBB\xBB\xCD\xEA\xB1\xCF!!......";  // 转换完毕!!......

const Text kHash32 = "016E2D91F30162F17D6AE5B19F19F09C";
const Text kHash40 = "EB2F5E6BE05074D8D2229C9B778D1CFA618E4421";
const Text kBdhd = "bdhd://238002442|" + kHash32 + "|Velmora01.rmvb";
const Text kQvod = "qvod://161941792|" + kHash40 + "|Velmora-01.rmvb";

// No test process should come near this, whatever it is fed.
constexpr long kRssBoundMb = 2048;

long PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

void ReportPeakRss(const std::string& name) {
  const long mb = PeakRssMb();
  std::printf("[ hardening ] %s: peak RSS %ld MB\n", name.c_str(), mb);
  ::testing::Test::RecordProperty("peak_rss_mb", static_cast<int>(mb));
  EXPECT_LT(mb, kRssBoundMb) << name;
}

Text Repeat(std::string_view piece, std::size_t bytes) {
  Text out;
  out.reserve(bytes + piece.size());
  while (out.size() < bytes) out += piece;
  return out;
}

// Serves one body for every request, in pieces of at most 1 MiB, with its
// length announced or, without it, to the end of the connection.
class BodyServer {
 public:
  BodyServer(std::function<Text(std::size_t offset, std::size_t n)> piece, std::size_t length,
             bool announce)
      : server_([=](RawConnection& c) {
          Text head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n";
          if (announce) head += "Content-Length: " + std::to_string(length) + "\r\n";
          if (!c.Send(head + "\r\n")) return;
          for (std::size_t at = 0; at < length; at += std::size_t{1} << 20) {
            if (!c.Send(piece(at, std::min(length - at, std::size_t{1} << 20)))) return;
          }
        }) {}
  explicit BodyServer(Text body)
      : BodyServer([body](std::size_t at, std::size_t n) { return body.substr(at, n); },
                   body.size(), true) {}

  std::string Url(std::string_view path) const { return server_.Url(path); }
  std::string Host() const { return server_.Host(); }

 private:
  RawTestServer server_;
};

// Runs the page analysis on url, then every filter task it started.
void AnalysePage(MemoryControls& controls, const std::string& url) {
  controls.WriteInput(url);
  std::vector<Task> started;
  RunPageAnalysis(controls, [&started](Task t) { started.push_back(std::move(t)); });
  for (Task& t : started) t();
}

// The rows' link cells, in order.
std::vector<Text> Links(MemoryControls& controls) {
  std::vector<Text> links;
  for (const LinkRow& row : controls.Rows()) links.push_back(row[6]);
  return links;
}

TEST(HostileInputTest, Pages) {
  // 50 MB of chatter with a link every 50 KB, the first at the very start.
  const Text chatter = Repeat("re: |quote| //see x.test/a lorem ipsum dolor\r\n", 50'000);
  const Text big_unit = kBdhd + "\r\n" + chatter;
  constexpr std::size_t kBigLinks = 1000;

  struct Case {
    std::string name;
    std::function<Text(std::size_t, std::size_t)> piece;  // the page, 1 MiB at a time
    std::size_t length;
    std::vector<Text> want_links;
    Text want_last_log;  // empty: the page passed and was filtered
  };
  auto repeating = [](Text unit) {
    return [unit](std::size_t at, std::size_t n) {
      Text out;
      out.reserve(n);
      while (out.size() < n) out += unit[(at + out.size()) % unit.size()];
      return out;
    };
  };
  const std::vector<Case> cases = {
      {"10 million bars", repeating("|"), 10'000'000, {}, kDeepAnalysis},
      {"10 MB of // without a terminator", repeating("//"), 10'000'000, {}, kDeepAnalysis},
      // Read as text up to the first zero byte: only the link before it counts.
      {"zero bytes after the first link",
       [](std::size_t at, std::size_t n) {
         return (kBdhd + "\r\n" + Text(1, '\0') + kQvod + "\r\n" + Text(1, '\0') + "x")
             .substr(at, n);
       },
       kBdhd.size() + kQvod.size() + 7,
       {kBdhd},
       ""},
      {"zero bytes only", repeating(Text(1, '\0')), 1'000'000, {}, kDeepAnalysis},
      // The lead byte takes the carriage return the filter appends as its
      // second byte; the link runs to the line feed.
      {"a dangling lead byte after the link",
       [](std::size_t at, std::size_t n) { return (kBdhd + "\xB0").substr(at, n); },
       kBdhd.size() + 1,
       {kBdhd + "\xB0\r"},
       ""},
      // Last, so that the peaks printed before it are those of the smaller pages.
      {"50 MB page of links", repeating(big_unit), big_unit.size() * kBigLinks,
       std::vector<Text>(kBigLinks, kBdhd), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BodyServer server(c.piece, c.length, true);
    MemoryControls controls;
    AnalysePage(controls, server.Url("/page.html"));
    EXPECT_EQ(Links(controls), c.want_links);
    const std::vector<Text> log = controls.LogMessages();
    ASSERT_FALSE(log.empty());
    if (!c.want_last_log.empty()) {
      EXPECT_EQ(log.back(), c.want_last_log);
    } else {
      EXPECT_EQ(std::count(log.begin(), log.end(), kAnalysed), 1);
      EXPECT_EQ(std::count(log.begin(), log.end(), kFiltered), 1);
    }
    ReportPeakRss(c.name);
  }
}

TEST(HostileInputTest, Pastes) {
  const Text zero(1, '\0');
  // Inputs are made one at a time, so that each peak printed is that of its case.
  struct Case {
    std::string name;
    std::function<Text()> input;
    bool input_is_the_link;  // else no link
  };
  const std::vector<Case> cases = {
      {"10 million bars", [] { return Repeat("|", 10'000'000); }, false},
      // The filter ends the text with a line break, so the one link runs to it.
      {"a link and then 10 MB of //",
       [] { return "bdhd://1|" + kHash32 + "|" + Repeat("//", 10'000'000); }, true},
      {"10 MB of bdhd: markers", [] { return Repeat("bdhd:", 10'000'000); }, false},
      {"10 MB of one segment with a hash and no //",
       [] { return "bdhd:|" + kHash32 + "|" + Repeat("x", 10'000'000); }, false},
      {"only zero bytes", [&zero] { return Repeat(zero, 1'000'000); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryControls controls(c.input());
    RunFilter(controls);
    const std::vector<Text> links = Links(controls);
    if (c.input_is_the_link) {
      ASSERT_EQ(links.size(), 1u);
      EXPECT_TRUE(links[0] == c.input());
    } else {
      EXPECT_EQ(links.size(), 0u);
    }
    EXPECT_EQ(controls.LogMessages().size(), 3u);
    ReportPeakRss(c.name);
  }
  // A zero byte is no terminator: the first link's segment has none, the
  // second link runs to the line break.
  MemoryControls controls(kBdhd + zero + kBdhd + zero);
  RunFilter(controls);
  EXPECT_EQ(Links(controls), std::vector<Text>{kBdhd + zero});
}

// A lone lead byte at every byte boundary of two links: whatever it swallows,
// the filter gives at most the two links, each row whole, and its log lines.
TEST(HostileInputTest, LoneLeadByteAtEveryBoundary) {
  const Text text = kBdhd + "\r\n" + kQvod + "\r\n";
  for (const char lead : {'\x81', '\xA1', '\xB0', '\xFF'}) {
    for (std::size_t at = 0; at <= text.size(); ++at) {
      Text input = text;
      input.insert(at, 1, lead);
      SCOPED_TRACE("lead byte at " + std::to_string(at));
      MemoryControls controls(input);
      RunFilter(controls);
      const std::vector<LinkRow> rows = controls.Rows();
      EXPECT_LE(rows.size(), 2u);
      for (const LinkRow& row : rows) {
        const Text prefix = row[1] == "BDHD" ? "bdhd://" : "qvod://";
        // The scanner puts the prefix before the body it cut out of the input.
        ASSERT_TRUE(row[6].starts_with(prefix)) << row[6];
        EXPECT_NE(input.find(row[6].substr(prefix.size())), Text::npos) << row[6];
      }
      EXPECT_EQ(controls.LogMessages().size(), 3u);
    }
  }
  ReportPeakRss("lone lead bytes");
}

// Services that answer 100 MB, announced or not: the answer is dropped at the
// 64 MiB cap and the row converts to nothing.
TEST(HostileInputTest, ServicesAnsweringTooMuch) {
  constexpr std::size_t k100Mb = 100'000'000;
  for (const bool announce : {true, false}) {
    const std::string name = announce ? "100 MB announced answer" : "100 MB answer to the end";
    SCOPED_TRACE(name);
    // Valid as far as it goes: a link-query answer that begins "bdhd://".
    BodyServer service(
        [](std::size_t at, std::size_t n) {
          Text out = Repeat("x", n);
          if (at == 0) out.replace(0, 7, "bdhd://");
          return out;
        },
        k100Mb, announce);
    MemoryControls controls;
    controls.AppendNumberedRow({"", "BDHD", "", "", "", kHash32, kBdhd});
    controls.AppendNumberedRow({"", "QVOD", "", "", "", kHash40, kQvod});
    RunConvert(controls, {service.Host(), service.Host()});
    for (const LinkRow& row : controls.Rows()) {
      EXPECT_EQ(row[1], "ED2K");
      EXPECT_EQ(row[6], "");
    }
    EXPECT_EQ(controls.LogMessages().back(), kConverted);
    ReportPeakRss(name);
  }
}

// A service that sends one byte a second ends at the fetch's overall limit
// with what had arrived.
TEST(HostileInputTest, ServiceAnsweringOneByteASecond) {
  const Text answer = "0123456789ABCDEF0123456789ABCDEF";
  RawTestServer service([&answer](RawConnection& c) {
    if (!c.Send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")) return;
    for (const char byte : answer) {
      if (!c.Send(Text(1, byte))) return;
      std::this_thread::sleep_for(std::chrono::seconds(1));
    }
  });
  HttpLimits limits;
  limits.total_timeout_ms = 3'000;
  const Text got = BytesToText(HttpGet(service.Url("/f2e?ID=" + kHash32), limits));
  EXPECT_LT(got.size(), answer.size());
  EXPECT_TRUE(answer.starts_with(got)) << got;
  ReportPeakRss("one byte a second");
}

}  // namespace
}  // namespace linkmill
