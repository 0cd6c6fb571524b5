// What one HttpGet costs on loopback: a fresh handle, a fresh connection,
// the request and the body, against a server that answers at once.
#include <benchmark/benchmark.h>

#include <string>

#include "support/http_test_server.h"
#include "web/http_get.h"

namespace linkmill {
namespace {

void BM_HttpGet(benchmark::State& state) {
  const std::string body(static_cast<size_t>(state.range(0)), 'x');
  testing::HttpTestServer server;
  server.Get("/announced", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(body, "text/plain");
  });
  server.Get("/chunked", [&](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [&](size_t, httplib::DataSink& sink) {
      sink.write(body.data(), body.size());
      sink.done();
      return true;
    });
  });
  server.Start();
  const std::string url = server.Url(state.range(1) ? "/chunked" : "/announced");

  for (auto _ : state) {
    const ByteBuffer got = HttpGet(url);
    if (got.size() != body.size()) state.SkipWithError("short body");
    benchmark::DoNotOptimize(got.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HttpGet)
    ->ArgNames({"bytes", "chunked"})
    ->ArgsProduct({{32, 64 << 10, 4 << 20}, {0, 1}})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace linkmill

BENCHMARK_MAIN();
