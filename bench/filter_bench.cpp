// The filter task over a big paste, on in-memory controls.
#include <benchmark/benchmark.h>

#include "app/memory_controls.h"
#include "links/filter.h"
#include "links/scan.h"

namespace linkmill {
namespace {

// About 10 MB of forum text holding 100,000 links, half bdhd and half qvod.
const Text& BigPaste() {
  static const Text paste = [] {
    Text t;
    for (int i = 0; i < 50000; ++i) {
      const std::string n = std::to_string(1000000 + i);
      t += "post " + n + " bdhd://2" + n + "|016E2D91F30162F17D6AE5B1" + n +
           "9|Velmora" + n + ".rmvb and more words here\r\n";
      t += "reply qvod://3" + n + "|EB2F5E6BE05074D8D2229C9B778D1CFA6" + n +
           "|Velmora-" + n + ".rmvb thanks a lot\r\n";
    }
    return t;
  }();
  return paste;
}

void BM_ScanLinks(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ScanLinks(BigPaste(), Scheme::kBdhd));
    benchmark::DoNotOptimize(ScanLinks(BigPaste(), Scheme::kQvod));
  }
  state.SetBytesProcessed(state.iterations() * 2 * static_cast<std::int64_t>(BigPaste().size()));
}
BENCHMARK(BM_ScanLinks)->Unit(benchmark::kMillisecond);

void BM_RunFilter(benchmark::State& state) {
  for (auto _ : state) {
    MemoryControls controls(BigPaste());
    RunFilter(controls);
    if (controls.RowCount() != 100000) state.SkipWithError("expected 100,000 rows");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(BigPaste().size()));
}
BENCHMARK(BM_RunFilter)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkmill

BENCHMARK_MAIN();
