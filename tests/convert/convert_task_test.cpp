#include "convert/convert_task.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/memory_controls.h"
#include "support/http_test_server.h"

namespace linkmill {
namespace {

using testing::HttpTestServer;
using testing::PercentDecodeTarget;

const std::string kConverted = "\xD7\xAA\xBB\xBB\xCD\xEA\xB1\xCF!!......";  // 转换完毕!!......

// Both services on one host, so that their requests share one order.
class FakeServices {
 public:
  FakeServices(std::map<std::string, std::string> ed2k_by_hash,
               std::map<std::string, std::string> bdhd_by_link)
      : ed2k_by_hash_(std::move(ed2k_by_hash)), bdhd_by_link_(std::move(bdhd_by_link)) {
    server_.Get("/f2e", [this](const httplib::Request& req, httplib::Response& res) {
      res.set_content(Lookup(ed2k_by_hash_, req, "/f2e?ID="), "text/plain");
    });
    server_.Get("/queryfid", [this](const httplib::Request& req, httplib::Response& res) {
      res.set_content(Lookup(bdhd_by_link_, req, "/queryfid?type=str&url="), "text/plain");
    });
    server_.Start();
  }

  // Runs on the server's thread at the first request, before it is answered.
  void OnFirstRequest(std::function<void()> action) {
    std::lock_guard lock(mutex_);
    on_first_ = std::move(action);
  }

  ServiceHosts Hosts() const { return {server_.Host(), server_.Host()}; }
  std::vector<std::string> Requests() {
    std::vector<std::string> decoded;
    for (const std::string& t : server_.Targets()) decoded.push_back(PercentDecodeTarget(t));
    return decoded;
  }

 private:
  std::string Lookup(const std::map<std::string, std::string>& table, const httplib::Request& req,
                     const std::string& prefix) {
    {
      std::lock_guard lock(mutex_);
      if (on_first_) std::exchange(on_first_, nullptr)();
    }
    const std::string key = PercentDecodeTarget(req.target).substr(prefix.size());
    const auto it = table.find(key);
    return it == table.end() ? "not found" : it->second;
  }

  const std::map<std::string, std::string> ed2k_by_hash_;
  const std::map<std::string, std::string> bdhd_by_link_;
  std::mutex mutex_;
  std::function<void()> on_first_;
  // Last, so that it stops before the tables its handlers read are gone.
  HttpTestServer server_;
};

const std::string kHashA = "016E2D91F30162F17D6AE5B19F19F09C";
const std::string kHashB = "A1B2C3D4E5F60718293A4B5C6D7E8F90";
const std::string kHashUnknown = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";
const std::string kEd2kA = "9A8B7C6D5E4F30211203F4E5D6C7B8A9";
const std::string kEd2kB = "0123456789ABCDEF0123456789ABCDEF";
const std::string kQvodHash = "5C9F2E6A0B1D4C3E8F7A6B5C4D3E2F1A0B9C8D7E";
const std::string kQvodHash2 = "0000000000111111111122222222223333333333";

const std::string kBdhdA = "bdhd://238002442|" + kHashA + "|Velmora01.rmvb";
const std::string kQvod = "qvod://1024|" + kQvodHash + "|\xC3\xFB\xD7\xD6.rmvb|";  // 名字.rmvb
const std::string kQvodAsBdhd = "bdhd://1024|" + kHashB + "|\xC3\xFB\xD7\xD6.rmvb";
const std::string kQvodUnknown = "qvod://5|" + kQvodHash2 + "|x.avi|";
const std::string kBdhdUnknown = "bdhd://9|" + kHashUnknown + "|y.rmvb";
const std::string kBdhdShortHash = "bdhd://9|" + kHashA.substr(1) + "|z.rmvb";
const std::string kEd2kLink = "ed2k://|file|w.avi|1|" + kEd2kA + "|/";

LinkRow Row(std::string type, std::string hash, std::string link) {
  return {"", std::move(type), "name", "rmvb", "1 KB", std::move(hash), std::move(link)};
}

LinkRow Numbered(LinkRow row, int serial) {
  row[0] = std::to_string(serial);
  return row;
}

FakeServices Services() {
  return FakeServices({{kHashA, kEd2kA}, {kHashB, kEd2kB}}, {{kQvod, kQvodAsBdhd}});
}

TEST(RunConvertTest, ConvertsEveryRowInOrder) {
  FakeServices services = Services();
  MemoryControls controls;
  const std::vector<LinkRow> given = {
      Row("BDHD", kHashA, kBdhdA),
      Row("QVOD", kQvodHash, kQvod),
      Row("ED2K", kHashA, kEd2kLink),
      Row("bdhd", kHashA, kBdhdA),  // not a type the task knows
      Row("BDHD", kHashUnknown, kBdhdUnknown),
      Row("QVOD", kQvodHash2, kQvodUnknown),
      Row("BDHD", kHashA.substr(1), kBdhdShortHash),
  };
  for (const LinkRow& row : given) controls.AppendNumberedRow(row);

  RunConvert(controls, services.Hosts());

  const std::vector<LinkRow> want = {
      Numbered(Row("ED2K", kHashA, "ed2k://|file|Velmora01.rmvb|238002442|" + kEd2kA + "|/"), 1),
      Numbered(Row("ED2K", kQvodHash,
                   "ed2k://|file|\xC3\xFB\xD7\xD6.rmvb|1024|" + kEd2kB + "|/"),  // 名字.rmvb
               2),
      Numbered(Row("ED2K", kHashA, kEd2kLink), 3),
      Numbered(Row("bdhd", kHashA, kBdhdA), 4),
      Numbered(Row("ED2K", kHashUnknown, ""), 5),
      Numbered(Row("ED2K", kQvodHash2, ""), 6),
      Numbered(Row("ED2K", kHashA.substr(1), ""), 7),
  };
  EXPECT_EQ(controls.Rows(), want);
  const std::vector<std::string> requests = {
      "/f2e?ID=" + kHashA,       "/queryfid?type=str&url=" + kQvod,        "/f2e?ID=" + kHashB,
      "/f2e?ID=" + kHashUnknown, "/queryfid?type=str&url=" + kQvodUnknown,
  };
  EXPECT_EQ(services.Requests(), requests);
  EXPECT_EQ(controls.LogMessages(), std::vector<Text>{kConverted});

  // A second run finds only ED2K rows: no request, the rows stay, one more end line.
  RunConvert(controls, services.Hosts());
  EXPECT_EQ(controls.Rows(), want);
  EXPECT_EQ(services.Requests(), requests);
  EXPECT_EQ(controls.LogMessages(), (std::vector<Text>{kConverted, kConverted}));
}

TEST(RunConvertTest, EmptyListWritesTheEndLine) {
  FakeServices services = Services();
  MemoryControls controls;
  RunConvert(controls, services.Hosts());
  EXPECT_TRUE(services.Requests().empty());
  EXPECT_TRUE(controls.Rows().empty());
  EXPECT_EQ(controls.LogMessages(), std::vector<Text>{kConverted});
}

TEST(RunConvertTest, ListChangesWhileRunning) {
  const LinkRow added = Row("BDHD", kHashA, kBdhdA);
  struct Case {
    std::string name;
    std::function<void(MemoryControls&)> change;  // at the first request
    std::vector<LinkRow> want_rows;
    size_t want_requests;
  };
  const std::vector<Case> cases = {
      {"cleared", [](MemoryControls& c) { c.ClearRows(); }, {}, 1},
      {"row appended is not visited",
       [&](MemoryControls& c) { c.AppendNumberedRow(added); },
       {Numbered(Row("ED2K", kHashA, "ed2k://|file|Velmora01.rmvb|238002442|" + kEd2kA + "|/"), 1),
        Numbered(Row("ED2K", kHashA, "ed2k://|file|Velmora01.rmvb|238002442|" + kEd2kA + "|/"), 2),
        Numbered(added, 3)},
       2},
  };
  for (const Case& c : cases) {
    FakeServices services = Services();
    MemoryControls controls;
    controls.AppendNumberedRow(Row("BDHD", kHashA, kBdhdA));
    controls.AppendNumberedRow(Row("BDHD", kHashA, kBdhdA));
    services.OnFirstRequest([&] { c.change(controls); });

    RunConvert(controls, services.Hosts());

    EXPECT_EQ(controls.Rows(), c.want_rows) << c.name;
    EXPECT_EQ(services.Requests().size(), c.want_requests) << c.name;
    EXPECT_EQ(controls.LogMessages(), std::vector<Text>{kConverted}) << c.name;
  }
}

}  // namespace
}  // namespace linkmill
