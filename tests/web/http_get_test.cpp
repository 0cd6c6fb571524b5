#include "web/http_get.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/http_test_server.h"
#include "support/raw_test_server.h"
#include "web/http_limits.h"

namespace linkmill {
namespace {

using testing::HttpTestServer;
using testing::RawConnection;
using testing::RawTestServer;

ByteBuffer Bytes(std::string_view s) { return ByteBuffer(s.begin(), s.end()); }

// 5000 bytes that show any reordering or loss.
std::string Pattern(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>('a' + (i * 7 + i / 26) % 26);
  return s;
}

TEST(HttpGetTest, Answers) {
  const std::string five_k = Pattern(5000);
  HttpTestServer server;
  server.Get("/five", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("hello", "text/plain");
  });
  server.Get("/chunked", [&](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [&](size_t, httplib::DataSink& sink) {
      // Uneven pieces, so that no piece boundary lines up with a read.
      for (size_t at = 0; at < five_k.size(); at += 777) {
        sink.write(five_k.data() + at, std::min<size_t>(777, five_k.size() - at));
      }
      sink.done();
      return true;
    });
  });
  server.Get("/empty", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("", "text/plain");
  });
  server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content("no such page", "text/html");
  });
  server.Get("/moved",
             [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/five"); });
  // A redirect that announces a body of its own, to a chunked answer: the
  // redirect's length must not leak into the result.
  server.Get("/moved-long", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/chunked");
    res.set_content(std::string(9000, 'r'), "text/plain");
  });
  server.Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("file:///etc/hostname");
    res.set_content("moved to a file", "text/plain");
  });
  server.Start();

  struct Case {
    std::string name;
    std::string path;
    ByteBuffer want;
  };
  const std::vector<Case> cases = {
      {"announced length", "/five", Bytes("hello")},
      {"chunked, in order", "/chunked", Bytes(five_k)},
      {"content length 0", "/empty", {}},
      {"404 body is a body", "/missing", Bytes("no such page")},
      {"redirect followed", "/moved", Bytes("hello")},
      {"redirect with body, then chunked", "/moved-long", Bytes(five_k)},
      {"redirect to file: not followed", "/to-file", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HttpGet(server.Url(c.path)), c.want) << c.name;
  }
}

TEST(HttpGetTest, SendsOnlyTheUserAgent) {
  HttpTestServer server;
  server.Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("x", "text/plain");
  });
  server.Start();
  HttpGet(server.Url("/"));

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const httplib::Headers& h = requests[0].headers;
  EXPECT_EQ(h.find("User-Agent")->second, "HTTPREAD");
  for (const char* absent : {"Accept", "Cache-Control", "Pragma", "If-Modified-Since"}) {
    EXPECT_EQ(h.count(absent), 0u) << absent;
  }
}

TEST(HttpGetTest, EscapesUnsafeBytesOnTheWire) {
  HttpTestServer server;
  // Any path, line breaks included once decoded.
  server.Get(R"([\s\S]*)", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/plain");
  });
  server.Start();

  struct Case {
    std::string sent;  // after the host
    std::string want;  // the target the server receives
  };
  const std::vector<Case> cases = {
      {"/plain/path?a=1&b=2", "/plain/path?a=1&b=2"},
      {"/q?url=qvod://12|AB|x.rmvb", "/q?url=qvod://12%7CAB%7Cx.rmvb"},
      // 名字 in GBK
      {"/q?url=\xC3\xFB\xD7\xD6.rmvb", "/q?url=%C3%FB%D7%D6.rmvb"},
      {"/kept%7Cescape%41", "/kept%7Cescape%41"},
      {"/a b\"c<d>e\\f^g`h{i}j", "/a%20b%22c%3Cd%3Ee%5Cf%5Eg%60h%7Bi%7Dj"},
      {"/page\r\nsecond line", "/page%0D%0Asecond%20line"},
      {"/ctl\x01\x7F\t", "/ctl%01%7F%09"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HttpGet(server.Url(c.sent)), Bytes("ok")) << c.sent;
  }
  std::vector<std::string> want;
  for (const Case& c : cases) want.push_back(c.want);
  EXPECT_EQ(server.Targets(), want);
}

TEST(HttpGetTest, NothingToReachGivesEmpty) {
  RawTestServer closed([](RawConnection&) {});
  const std::string refused = closed.Url("/");
  closed.Stop();

  for (const std::string& url :
       {std::string(), refused, std::string("not a url"), std::string("ftp://127.0.0.1/")}) {
    EXPECT_TRUE(HttpGet(url).empty()) << url;
  }
}

TEST(HttpGetTest, MalformedAnswers) {
  struct Case {
    std::string name;
    std::string answer;  // written raw, then the connection closes
    ByteBuffer want;
  };
  const std::vector<Case> cases = {
      {"short body padded with zero bytes", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc",
       Bytes(std::string("abc\0\0\0\0\0\0\0", 10))},
      {"announced body never sent", "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n",
       ByteBuffer(4, 0)},
      {"no length: read until close", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nabc",
       Bytes("abc")},
      {"chunked body broken off",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n", Bytes("hello")},
      {"announced 4 GiB", "HTTP/1.1 200 OK\r\nContent-Length: 4294967296\r\n\r\nabc", {}},
      {"announced one byte above 64 MiB",
       "HTTP/1.1 200 OK\r\nContent-Length: 67108865\r\n\r\nabc",
       {}},
      {"announced beyond 64 bits",
       "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\nabc",
       {}},
      {"not HTTP at all", "hello there\r\n", {}},
  };
  for (const Case& c : cases) {
    RawTestServer server([&](RawConnection& conn) { conn.Send(c.answer); });
    EXPECT_EQ(HttpGet(server.Url("/")), c.want) << c.name;
  }
}

TEST(HttpGetTest, EndlessBodyStopsAtTheCap) {
  RawTestServer server([](RawConnection& conn) {
    if (!conn.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")) return;
    const std::string chunk = "10000\r\n" + std::string(0x10000, 'z') + "\r\n";
    while (conn.Send(chunk)) {
    }
  });
  EXPECT_TRUE(HttpGet(server.Url("/")).empty());
}

TEST(HttpGetTest, StalledAnswersEndLikeAFailedRead) {
  HttpLimits limits;
  limits.stall_seconds = 1;
  limits.total_timeout_ms = 1500;

  RawTestServer silent([](RawConnection& conn) { conn.Hold(); });
  EXPECT_TRUE(HttpGet(silent.Url("/"), limits).empty()) << "accepts and never answers";

  // A trickle that never ends is cut at the total time-out; what arrived stays.
  RawTestServer trickle([](RawConnection& conn) {
    if (!conn.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")) return;
    while (conn.Send("2\r\nab\r\n")) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  });
  const ByteBuffer got = HttpGet(trickle.Url("/"), limits);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.size() % 2, 0u);
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], i % 2 ? 'b' : 'a') << i;
}

}  // namespace
}  // namespace linkmill
