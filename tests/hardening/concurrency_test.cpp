// Many tasks at once on in-memory controls: filters over large texts that
// share one link list and one log, and converts against a slow local service.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <latch>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/memory_controls.h"
#include "convert/convert_task.h"
#include "links/filter.h"
#include "support/http_test_server.h"

namespace linkmill {
namespace {

using testing::HttpTestServer;
using testing::PercentDecodeTarget;

constexpr int kFilterTasks = 16;
constexpr int kConvertTasks = 16;
constexpr int kLinksPerFilter = 150;  // half bdhd, half qvod
constexpr int kRowsPerConvert = 20;
constexpr int kRounds = 3;

const Text kFiltering = "\xD5\xFD\xD4\xF2\xC9\xB8\xD1\xA1\xD6\xD0......";  // 正则筛选中......
const Text kFiltered = "\xC9\xB8\xD1\xA1\xCD\xEA\xB1\xCF!!......";         // 筛选完毕!!......
const Text kFoundPrefix = "\xD5\xD2\xB5\xBD\xB5\xD8\xD6\xB7\xB9\xB2";      // 找到地址共
const Text kConverted = "\xD7\xAA\xBB\xBB\xCD\xEA\xB1\xCF!!......";        // 转换完毕!!......

// One link of one task. The task and the link's number are in its name and in
// its hash, so a cell that lands in a row of another link shows at once.
struct Link {
  bool bdhd;
  Text name, hash, text;
};

Link MakeLink(int task, int i) {
  const bool bdhd = i % 2 == 0;
  char tag[32];
  std::snprintf(tag, sizeof tag, "%04X%06X", task, i);
  Link link;
  link.bdhd = bdhd;
  link.hash = tag + std::string(bdhd ? 22 : 30, 'C');
  std::snprintf(tag, sizeof tag, "t%02d-%04d", task, i);
  link.name = Text(tag) + (bdhd ? ".rmvb" : ".avi");
  link.text = Text(bdhd ? "bdhd://" : "qvod://") + std::to_string(100000000 + i) + "|" + link.hash +
              "|" + link.name;
  return link;
}

Text Reversed(Text t) { return Text(t.rbegin(), t.rend()); }

// The ed2k link the fake services give for a bdhd link of that size, hash and name.
Text Ed2kOf(const Text& name, const Text& size, const Text& bdhd_hash) {
  return "ed2k://|file|" + name + "|" + size + "|" + Reversed(bdhd_hash) + "|/";
}

// A forum page of about 130 KB: the task's links among lines of chatter in GBK.
Text PageOf(int task) {
  Text page;
  for (int i = 0; i < kLinksPerFilter; ++i) {
    // 【第N集】下载地址： ... “好” and a line of filler that holds bars and slashes.
    page += "\xA1\xBE\xB5\xDA" + std::to_string(i) + "\xBC\xAF\xA1\xBF\xCF\xC2\xD4\xD8\xB5\xD8" +
            "\xD6\xB7\xA3\xBA" + MakeLink(task, i).text + "\xA1\xB0\xBA\xC3\xA1\xB1\r\n";
    for (int k = 0; k < 8; ++k) page += "re: |quote| //see http://x.test/a?b=c lorem ipsum\r\n";
  }
  return page;
}

// The two lookup services on one local host, each answer after 20 ms. The
// hash lookup answers the hash reversed; the link query answers a bdhd link
// whose hash is the first 32 digits of the qvod hash.
class SlowServices {
 public:
  SlowServices() {
    server_.Get("/f2e", [](const httplib::Request& req, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      const std::string hash = PercentDecodeTarget(req.target).substr(8);  // after "/f2e?ID="
      res.set_content(Reversed(hash), "text/plain");
    });
    server_.Get("/queryfid", [](const httplib::Request& req, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      // After "/queryfid?type=str&url=": qvod://size|hash40|name
      const std::string link = PercentDecodeTarget(req.target).substr(23);
      const std::size_t bar = link.find('|');
      res.set_content("bdhd://" + link.substr(7, bar - 7) + "|" + link.substr(bar + 1, 32) + "|" +
                          link.substr(bar + 42),
                      "text/plain");
    });
    server_.Start();
  }
  ServiceHosts Hosts() const { return {server_.Host(), server_.Host()}; }

 private:
  HttpTestServer server_;
};

// A task's view of the controls: its own input box, the shared log, and the
// shared or its own link list. Clearing the shared list is left out, so that
// every row a filter appends stays there to be checked.
class TaskView : public Controls {
 public:
  TaskView(MemoryControls& own, MemoryControls& shared, bool share_rows)
      : own_(own), shared_(shared), rows_(share_rows ? shared : own), share_rows_(share_rows) {}

  Text ReadInput() override { return own_.ReadInput(); }
  void WriteInput(const Text& text) override { own_.WriteInput(text); }
  void ResetLog() override { shared_.ResetLog(); }
  void AppendLog(const Text& message) override { shared_.AppendLog(message); }
  int RowCount() override { return rows_.RowCount(); }
  int AppendRow() override { return rows_.AppendRow(); }
  int AppendNumberedRow(const LinkRow& cells) override { return rows_.AppendNumberedRow(cells); }
  void SetCell(int row, int column, const Text& text) override { rows_.SetCell(row, column, text); }
  Text GetCell(int row, int column) override { return rows_.GetCell(row, column); }
  void ClearRows() override {
    if (!share_rows_) rows_.ClearRows();
  }

 private:
  MemoryControls& own_;
  MemoryControls& shared_;
  MemoryControls& rows_;
  bool share_rows_;
};

// The rows a convert task starts from: its own links, bdhd and qvod in turn.
void FillConvertList(MemoryControls& list, int task) {
  for (int i = 0; i < kRowsPerConvert; ++i) {
    const Link link = MakeLink(100 + task, i);
    list.AppendNumberedRow(
        {"", link.bdhd ? "BDHD" : "QVOD", link.name, "", "", link.hash, link.text});
  }
}

int Count(const std::vector<Text>& log, const Text& message) {
  return static_cast<int>(std::count(log.begin(), log.end(), message));
}

TEST(ConcurrencyTest, ThirtyTwoTasksOnSharedControls) {
  SlowServices services;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    MemoryControls shared;
    std::deque<MemoryControls> own;  // the controls cannot move: they hold a mutex
    for (int t = 0; t < kFilterTasks; ++t) own.emplace_back(PageOf(t));
    for (int t = 0; t < kConvertTasks; ++t) FillConvertList(own.emplace_back(), t);

    std::latch go(kFilterTasks + kConvertTasks);
    std::vector<std::thread> threads;
    for (int t = 0; t < kFilterTasks + kConvertTasks; ++t) {
      threads.emplace_back([&, t] {
        const bool filter = t < kFilterTasks;
        TaskView view(own[t], shared, filter);
        go.arrive_and_wait();
        if (filter) {
          RunFilter(view);
        } else {
          RunConvert(view, services.Hosts());
        }
      });
    }
    for (std::thread& thread : threads) thread.join();

    // Every filter row was appended whole: its serial is its own index, and
    // its cells all belong to one link of one task.
    const std::vector<LinkRow> rows = shared.Rows();
    ASSERT_EQ(rows.size(), std::size_t{kFilterTasks * kLinksPerFilter});
    std::map<int, std::vector<int>> links_of_task;  // in row order
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const LinkRow& row = rows[r];
      ASSERT_EQ(row[0], std::to_string(r + 1)) << "row " << r;
      int task = -1, i = -1;
      ASSERT_EQ(std::sscanf(row[2].c_str(), "t%d-%d", &task, &i), 2) << "row " << r;
      const Link link = MakeLink(task, i);
      EXPECT_EQ(row[1], link.bdhd ? "BDHD" : "QVOD") << "row " << r;
      EXPECT_EQ(row[2], link.name) << "row " << r;
      EXPECT_EQ(row[5], link.hash) << "row " << r;
      EXPECT_EQ(row[6], link.text) << "row " << r;
      links_of_task[task].push_back(i);
    }
    // Each task added each of its links once: the bdhd ones, then the qvod ones.
    ASSERT_EQ(links_of_task.size(), std::size_t{kFilterTasks});
    for (const auto& [task, links] : links_of_task) {
      std::vector<int> want;
      for (int i = 0; i < kLinksPerFilter; i += 2) want.push_back(i);
      for (int i = 1; i < kLinksPerFilter; i += 2) want.push_back(i);
      EXPECT_EQ(links, want) << "task " << task;
      Text input;
      for (int i : want) input += MakeLink(task, i).text + "\r\n";
      EXPECT_EQ(own[task].ReadInput(), input) << "task " << task;
    }

    // Every convert task converted its own rows and nothing else.
    for (int t = 0; t < kConvertTasks; ++t) {
      const std::vector<LinkRow> list = own[kFilterTasks + t].Rows();
      ASSERT_EQ(list.size(), std::size_t{kRowsPerConvert});
      for (int i = 0; i < kRowsPerConvert; ++i) {
        const Link link = MakeLink(100 + t, i);
        const Text size = std::to_string(100000000 + i);
        EXPECT_EQ(list[i][1], "ED2K") << "convert task " << t << " row " << i;
        EXPECT_EQ(list[i][6], Ed2kOf(link.name, size, link.hash.substr(0, 32)))
            << "convert task " << t << " row " << i;
      }
    }

    // Every task wrote its lines: three per filter, the end line per convert.
    const std::vector<Text> log = shared.LogMessages();
    EXPECT_EQ(Count(log, kFiltering), kFilterTasks);
    EXPECT_EQ(Count(log, kFiltered), kFilterTasks);
    EXPECT_EQ(Count(log, kConverted), kConvertTasks);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const Text& m) { return m.starts_with(kFoundPrefix); }),
              kFilterTasks);
    EXPECT_EQ(log.size(), std::size_t{3 * kFilterTasks + kConvertTasks});
  }
}

}  // namespace
}  // namespace linkmill
