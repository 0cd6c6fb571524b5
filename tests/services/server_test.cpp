#include "services/server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "app/sample_input.h"
#include "services/mapping_file.h"
#include "services/raw_http.h"
#include "services/temp_dir.h"

namespace linkmill::services {
namespace {

using testing::RawGet;
using testing::RawResponse;

constexpr const char* kBdhdHash = "016E2D91F30162F17D6AE5B19F19F09C";
constexpr const char* kEd2kHash = "0123456789ABCDEF0123456789ABCDEF";
constexpr const char* kQvodHash = "EB2F5E6BE05074D8D2229C9B778D1CFA618E4421";
// The name is GBK for 中文.rmvb.
const std::string kLink = "bdhd://161941792|AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA|\xD6\xD0\xCE\xC4.rmvb";

// A store in a fresh folder and a server for it on an ephemeral port.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    store_ = Store::Open(dir_.File("m.db"), &error);
    ASSERT_TRUE(store_) << error;
    Mappings m;
    m.bdhd.push_back({kBdhdHash, kEd2kHash});
    m.qvod.push_back({kQvodHash, kLink});
    ASSERT_TRUE(store_->Import(m, &error)) << error;
    Start();
  }

  void Start() {
    server_ = std::make_unique<Server>(*store_);
    port_ = server_->Bind("127.0.0.1", 0);
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_->Run(); });
  }

  void TearDown() override {
    if (server_) server_->Stop();
    if (thread_.joinable()) thread_.join();
  }

  testing::TempDir dir_;
  std::unique_ptr<Store> store_;
  std::unique_ptr<Server> server_;
  std::thread thread_;
  int port_ = -1;
};

TEST_F(ServerTest, HashLookupAnswersExactlyTheEd2kHash) {
  const std::string lookup = "/f2e?ID=";
  const struct {
    std::string target;
    int status;
    std::string body;
  } cases[] = {
      {lookup + kBdhdHash, 200, kEd2kHash},
      {lookup + "016e2d91f30162f17d6ae5b19f19f09c", 200, kEd2kHash},
      {lookup + "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", 404, "unknown hash\n"},
  };
  for (const auto& c : cases) {
    RawResponse r = RawGet(port_, c.target);
    EXPECT_EQ(r.status, c.status) << c.target;
    EXPECT_EQ(r.body, c.body) << c.target;
    EXPECT_TRUE(r.content_type.starts_with("text/plain")) << c.target;
  }
}

TEST_F(ServerTest, LinkQueryAnswersTheBdhdLinkWithItsGbkNameIntact) {
  const std::string query = "/queryfid?type=str&url=";
  const std::string hash = kQvodHash;
  const struct {
    std::string target;
    int status;
    std::string body;
  } cases[] = {
      // As the client sends it: bars and GBK bytes escaped, the rest as it is.
      {query + "qvod://161941792%7C" + hash + "%7C%D6%D0%CE%C4.rmvb", 200, kLink},
      {query + "qvod://161941792|" + hash + "|\xD6\xD0\xCE\xC4.rmvb", 200, kLink},
      // The same file under another name and size.
      {query + "qvod://5%7C" + hash + "%7Cother+name.avi", 200, kLink},
      {query + "qvod://5%7C" + std::string(40, 'F') + "%7Cx.rmvb", 404, "unknown link\n"},
  };
  for (const auto& c : cases) {
    RawResponse r = RawGet(port_, c.target);
    EXPECT_EQ(r.status, c.status) << c.target;
    EXPECT_EQ(r.body, c.body) << c.target;
    EXPECT_TRUE(r.content_type.starts_with("text/plain")) << c.target;
  }
}

// Each malformed request is refused with a 4xx whose body the client would not
// take for an answer: not 32 bytes for the hash lookup, not beginning
// "bdhd://" for the link query. Every reason the hash lookup gives is here.
TEST_F(ServerTest, RefusesMalformedRequests) {
  const std::string hash = kBdhdHash;
  const std::string qvod = kQvodHash;
  const std::string lookups[] = {
      "/f2e",
      "/f2e?ID=",
      "/f2e?id=" + hash,
      "/f2e?ID=" + hash + "&ID=" + hash,
      "/f2e?ID=" + hash.substr(1),
      "/f2e?ID=" + hash + "0",
      "/f2e?ID=" + hash.substr(1) + "G",
      "/f2e?ID=%27%20OR%201=1;DROP%20TABLE%20bdhd;--",
      "/f2e?ID=\"" + hash.substr(2) + "\"",
      "/f2e?ID=' OR '1'='1",  // raw spaces break the request line
      "/f2e?ID=" + std::string(100 * 1024, 'A'),
      "/f2e?ID=" + hash.substr(1) + "%",
      "/f2e?ID=%GG" + hash.substr(2),
      "/f2e?ID=%00" + hash.substr(1),
  };
  for (const std::string& target : lookups) {
    RawResponse r = RawGet(port_, target);
    EXPECT_GE(r.status, 400) << target.substr(0, 80);
    EXPECT_LT(r.status, 500) << target.substr(0, 80);
    EXPECT_NE(r.body.size(), 32u) << target.substr(0, 80);
  }
  const std::string q = "/queryfid?type=str&url=";
  const std::string queries[] = {
      "/queryfid",
      "/queryfid?type=str",
      "/queryfid?url=qvod://1%7C" + qvod + "%7Cx.rmvb",
      q + "qvod://1%7C" + qvod.substr(1) + "%7Cx.rmvb",
      q + "qvod://1%7C" + qvod + "0%7Cx.rmvb",
      q + "bdhd://1%7C" + qvod + "%7Cx.rmvb",
      q + "qvod://1%7C%27%20OR%201=1--%7Cx.rmvb",
      q + "qvod://1%7C" + std::string(100 * 1024, 'A') + "%7Cx.rmvb",
  };
  for (const std::string& target : queries) {
    RawResponse r = RawGet(port_, target);
    EXPECT_GE(r.status, 400) << target.substr(0, 80);
    EXPECT_LT(r.status, 500) << target.substr(0, 80);
    EXPECT_FALSE(r.body.starts_with("bdhd://")) << target.substr(0, 80);
  }
  // The client sends a link's own "%" unescaped: it stays part of the name.
  for (const std::string& target :
       {q + "qvod://1%7C" + qvod + "%7Cx%ZZ.rmvb", q + "qvod://1%7C" + qvod + "%7Cx%"}) {
    RawResponse r = RawGet(port_, target);
    EXPECT_EQ(r.status, 200) << target;
    EXPECT_TRUE(r.body.starts_with("bdhd://")) << target;
  }
}

// cpp-httplib limits the request line but not the header lines; the server
// bounds the whole request and stays able to answer others.
TEST_F(ServerTest, RefusesARequestOverTheSizeBoundAndGoesOn) {
  std::string headers;
  for (int i = 0; i < 100; ++i)
    headers += "X-Filler-" + std::to_string(i) + ": " + std::string(1000, 'x') + "\r\n";
  RawResponse flooded = RawGet(port_, std::string("/f2e?ID=") + kBdhdHash, headers);
  EXPECT_NE(flooded.status, 200);
  EXPECT_NE(flooded.body, kEd2kHash);

  RawResponse after = RawGet(port_, std::string("/f2e?ID=") + kBdhdHash);
  EXPECT_EQ(after.status, 200);
  EXPECT_EQ(after.body, kEd2kHash);
}

TEST_F(ServerTest, AnswersManyRequestsOnOneKeptAliveConnection) {
  httplib::Client client("127.0.0.1", port_);
  client.set_keep_alive(true);
  for (int i = 0; i < 200; ++i) {
    auto r =
        client.Get(i % 2 ? std::string("/f2e?ID=") + kBdhdHash
                         : "/queryfid?type=str&url=qvod://1%7C" + std::string(kQvodHash) + "%7Cx");
    ASSERT_TRUE(r) << i;
    ASSERT_EQ(r->status, 200) << i;
    EXPECT_EQ(r->body, i % 2 ? kEd2kHash : kLink);
  }
}

TEST_F(ServerTest, StopsWithAnIdleKeptAliveConnectionOpen) {
  httplib::Client client("127.0.0.1", port_);
  client.set_keep_alive(true);
  ASSERT_TRUE(client.Get(std::string("/f2e?ID=") + kBdhdHash));
  server_->Stop();
  thread_.join();
  EXPECT_FALSE(client.Get(std::string("/f2e?ID=") + kBdhdHash));
}

TEST(ServerLifecycle, StopBeforeRunKeepsRunFromServing) {
  testing::TempDir dir;
  std::string error;
  auto store = Store::Open(dir.File("m.db"), &error);
  ASSERT_TRUE(store) << error;
  Server server(*store);
  ASSERT_GT(server.Bind("127.0.0.1", 0), 0);
  server.Stop();
  EXPECT_TRUE(server.Run());  // returns at once
}

TEST(ServerLifecycle, ASecondServerCannotTakeAPortInUse) {
  testing::TempDir dir;
  std::string error;
  auto store = Store::Open(dir.File("m.db"), &error);
  ASSERT_TRUE(store) << error;
  Server first(*store);
  int port = first.Bind("127.0.0.1", 0);
  ASSERT_GT(port, 0);
  std::thread running([&] { first.Run(); });
  Server second(*store);
  EXPECT_EQ(second.Bind("127.0.0.1", port), -1);
  first.Stop();
  running.join();
}

// The demo mappings resolve every link of the window's sample input: bdhd to
// ed2k, and qvod to a bdhd link of the same size and name that resolves too.
TEST(DemoMappings, ResolveTheWholeSampleInput) {
  std::ifstream in(LINKMILL_DEMO_MAPPINGS, std::ios::binary);
  MappingFile demo = ParseMappingFile(std::string(std::istreambuf_iterator<char>(in), {}));
  ASSERT_TRUE(demo.faults.empty()) << demo.faults[0].line << ": " << demo.faults[0].message;
  testing::TempDir dir;
  std::string error;
  auto store = Store::Open(dir.File("m.db"), &error);
  ASSERT_TRUE(store) << error;
  ASSERT_TRUE(store->Import(demo.mappings, &error)) << error;
  Server server(*store);
  int port = server.Bind("127.0.0.1", 0);
  ASSERT_GT(port, 0);
  std::thread running([&] { server.Run(); });

  auto ed2k_of = [&](const std::string& bdhd_link) {
    std::string hash = bdhd_link.substr(bdhd_link.find('|') + 1, 32);
    RawResponse r = RawGet(port, "/f2e?ID=" + hash);
    return r.status == 200 && r.body.size() == 32;
  };
  std::istringstream lines(SampleInput());
  std::string line;
  int resolved = 0;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("bdhd://")) {
      EXPECT_TRUE(ed2k_of(line)) << line;
    } else {
      std::string escaped;
      for (char c : line) escaped += c == '|' ? std::string("%7C") : std::string(1, c);
      RawResponse r = RawGet(port, "/queryfid?type=str&url=" + escaped);
      ASSERT_EQ(r.status, 200) << line;
      // Same size and name: what follows "qvod://" up to the first bar, and
      // everything after the second bar.
      std::string size = line.substr(7, line.find('|') - 7);
      std::string name = line.substr(line.find('|', line.find('|') + 1) + 1);
      EXPECT_EQ(r.body,
                "bdhd://" + size + "|" + r.body.substr(r.body.find('|') + 1, 32) + "|" + name);
      EXPECT_TRUE(ed2k_of(r.body)) << r.body;
    }
    ++resolved;
  }
  EXPECT_EQ(resolved, 40);
  server.Stop();
  running.join();
}

}  // namespace
}  // namespace linkmill::services
