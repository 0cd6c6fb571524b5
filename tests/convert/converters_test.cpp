#include "convert/converters.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "support/http_test_server.h"
#include "support/raw_test_server.h"

namespace linkmill {
namespace {

using testing::HttpTestServer;
using testing::PercentDecodeTarget;

const std::string kHash = "016E2D91F30162F17D6AE5B19F19F09C";
const std::string kEd2k = "9A8B7C6D5E4F30211203F4E5D6C7B8A9";
const std::string kQvodHash = "5C9F2E6A0B1D4C3E8F7A6B5C4D3E2F1A0B9C8D7E";
const std::string kName = "\xC3\xFB\xD7\xD6.rmvb";  // 名字.rmvb

// A service whose every answer is the one set last.
class FakeService {
 public:
  explicit FakeService(const std::string& path) {
    server_.Get(path, [this](const httplib::Request&, httplib::Response& res) {
      std::lock_guard lock(mutex_);
      res.set_content(answer_, "text/plain");
    });
    server_.Start();
  }
  void Answer(std::string answer) {
    std::lock_guard lock(mutex_);
    answer_ = std::move(answer);
  }
  std::string Host() const { return server_.Host(); }
  std::vector<std::string> Targets() { return server_.Targets(); }

 private:
  std::mutex mutex_;
  std::string answer_;
  // Last, so that it stops before the answer its handler reads is gone.
  HttpTestServer server_;
};

TEST(BdhdToEd2kTest, Cases) {
  FakeService service("/f2e");
  const std::string lower = "9a8b7c6d5e4f30211203f4e5d6c7b8a9";
  struct Case {
    std::string name;
    std::string link;
    std::string answer;
    std::string want;
    std::string want_target;  // empty: no request at all
  };
  const std::string ask = "/f2e?ID=" + kHash;
  const std::vector<Case> cases = {
      {"converted", "bdhd://238002442|" + kHash + "|Velmora01.rmvb", kEd2k,
       "ed2k://|file|Velmora01.rmvb|238002442|" + kEd2k + "|/", ask},
      {"GBK name kept", "bdhd://1|" + kHash + "|" + kName, kEd2k,
       "ed2k://|file|" + kName + "|1|" + kEd2k + "|/", ask},
      {"lower-case answer kept", "bdhd://7|" + kHash + "|a.rmvb", lower,
       "ed2k://|file|a.rmvb|7|" + lower + "|/", ask},
      {"bar in the name kept", "bdhd://7|" + kHash + "|a|b.rmvb", kEd2k,
       "ed2k://|file|a|b.rmvb|7|" + kEd2k + "|/", ask},
      {"name ends at #", "bdhd://7|" + kHash + "|a.rmvb#tail", kEd2k,
       "ed2k://|file|a.rmvb|7|" + kEd2k + "|/", ask},
      {"empty name", "bdhd://7|" + kHash + "|", kEd2k, "ed2k://|file||7|" + kEd2k + "|/", ask},
      {"answer cut at a zero byte", "bdhd://7|" + kHash + "|a.rmvb",
       kEd2k + std::string("\0junk", 5), "ed2k://|file|a.rmvb|7|" + kEd2k + "|/", ask},
      {"answer of 31 bytes", "bdhd://7|" + kHash + "|a.rmvb", kEd2k.substr(1), "", ask},
      {"answer of 33 bytes", "bdhd://7|" + kHash + "|a.rmvb", kEd2k + "\n", "", ask},
      {"empty answer", "bdhd://7|" + kHash + "|a.rmvb", "", "", ask},
      {"hash of 31 bytes", "bdhd://7|" + kHash.substr(1) + "|a.rmvb", kEd2k, "", ""},
      {"hash of 33 bytes", "bdhd://7|" + kHash + "F|a.rmvb", kEd2k, "", ""},
      {"one bar only", "bdhd://7|" + kHash, kEd2k, "", ""},
      {"empty link", "", kEd2k, "", ""},
  };
  for (const Case& c : cases) {
    service.Answer(c.answer);
    const size_t before = service.Targets().size();
    EXPECT_EQ(BdhdToEd2k(c.link, service.Host()), c.want) << c.name;

    const std::vector<std::string> targets = service.Targets();
    const std::vector<std::string> sent(targets.begin() + static_cast<long>(before), targets.end());
    const std::vector<std::string> want =
        c.want_target.empty() ? std::vector<std::string>{} : std::vector{c.want_target};
    EXPECT_EQ(sent, want) << c.name;
  }
}

TEST(QvodToBdhdTest, Cases) {
  FakeService service("/queryfid");
  const std::string bdhd = "bdhd://238002442|" + kHash + "|" + kName;
  struct Case {
    std::string name;
    std::string answer;
    std::string want;
  };
  const std::vector<Case> cases = {
      {"bdhd link", bdhd, bdhd},
      {"kept whole, line break included", bdhd + "\r\n", bdhd + "\r\n"},
      {"prefix only", "bdhd://", "bdhd://"},
      {"prefix in capitals", "BDHD://1|" + kHash + "|a", ""},
      {"prefix in mixed case", "Bdhd://1|" + kHash + "|a", ""},
      {"shorter than the prefix", "bdhd:/", ""},
      {"leading space", " " + bdhd, ""},
      {"another scheme", "qvod://1|" + kQvodHash + "|a", ""},
      {"empty answer", "", ""},
  };
  const std::string link = "qvod://238002442|" + kQvodHash + "|" + kName + "|";
  for (const Case& c : cases) {
    service.Answer(c.answer);
    EXPECT_EQ(QvodToBdhd(link, service.Host()), c.want) << c.name;
  }

  // Every request carries the whole link after "url=": its bars, colon,
  // slashes and GBK letters arrive intact once the escapes are decoded.
  const std::vector<std::string> targets = service.Targets();
  ASSERT_EQ(targets.size(), cases.size());
  for (const std::string& target : targets) {
    EXPECT_EQ(PercentDecodeTarget(target), "/queryfid?type=str&url=" + link);
  }
}

TEST(ConvertersTest, NothingToReachGivesEmpty) {
  testing::RawTestServer gone([](testing::RawConnection&) {});
  const std::string host = gone.Host();
  gone.Stop();
  EXPECT_EQ(BdhdToEd2k("bdhd://7|" + kHash + "|a.rmvb", host), "");
  EXPECT_EQ(QvodToBdhd("qvod://7|" + kQvodHash + "|a.rmvb", host), "");
}

}  // namespace
}  // namespace linkmill
