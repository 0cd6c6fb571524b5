// Converting a list of 1,000 rows against local services that answer at once:
// one request per bdhd row, two per qvod row.
#include <benchmark/benchmark.h>

#include <string>

#include "app/memory_controls.h"
#include "convert/convert_task.h"
#include "support/http_test_server.h"

namespace linkmill {
namespace {

constexpr int kRows = 1000;
const std::string kHash = "016E2D91F30162F17D6AE5B19F19F09C";
const std::string kQvodHash = "5C9F2E6A0B1D4C3E8F7A6B5C4D3E2F1A0B9C8D7E";

void BM_RunConvert(benchmark::State& state) {
  const bool qvod = state.range(0) != 0;
  testing::HttpTestServer services;
  services.Get("/f2e", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("9A8B7C6D5E4F30211203F4E5D6C7B8A9", "text/plain");
  });
  services.Get("/queryfid", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("bdhd://238002442|" + kHash + "|Velmora01.rmvb", "text/plain");
  });
  services.Start();
  const ServiceHosts hosts{services.Host(), services.Host()};
  const LinkRow row = qvod ? LinkRow{"",
                                     "QVOD",
                                     "Velmora01",
                                     "rmvb",
                                     "227 MB",
                                     kQvodHash,
                                     "qvod://238002442|" + kQvodHash + "|Velmora01.rmvb|"}
                           : LinkRow{"",
                                     "BDHD",
                                     "Velmora01",
                                     "rmvb",
                                     "227 MB",
                                     kHash,
                                     "bdhd://238002442|" + kHash + "|Velmora01.rmvb"};

  for (auto _ : state) {
    state.PauseTiming();
    MemoryControls controls;
    for (int i = 0; i < kRows; ++i) controls.AppendNumberedRow(row);
    state.ResumeTiming();

    RunConvert(controls, hosts);

    state.PauseTiming();
    if (controls.GetCell(kRows - 1, 6).empty()) state.SkipWithError("row not converted");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RunConvert)
    ->ArgName("qvod")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkmill

BENCHMARK_MAIN();
