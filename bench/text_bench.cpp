// Throughput of the searching primitives on about 10 MiB of text, including
// the shapes that make a careless search quadratic: near misses of a long
// search text, and many start markers with no end marker.
#include <benchmark/benchmark.h>

#include <string>

#include "text/extract.h"
#include "text/text.h"

namespace linkmill {
namespace {

constexpr std::size_t kSize = 10u << 20;

// Forum text in GBK with a link in every line, like a pasted post.
const Text& ForumText() {
  static const Text text = [] {
    const std::string line =
        "\xD7\xEE\xD0\xC2\xB5\xE7\xD3\xB0 "  // 最新电影
        "bdhd://238002442|016E2D91F30162F17D6AE5B19F19F09C|Velmora01.rmvb|\r\n";
    Text t;
    while (t.size() < kSize) t += line;
    return t;
  }();
  return text;
}

Text Repeat(std::string_view unit) {
  Text t;
  while (t.size() < kSize) t += unit;
  return t;
}

void SetBytes(benchmark::State& state, std::size_t n) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

void BM_FindTextMiss(benchmark::State& state) {
  const Text& t = ForumText();
  for (auto _ : state) benchmark::DoNotOptimize(FindText(t, "ed2k://", 1, false));
  SetBytes(state, t.size());
}
BENCHMARK(BM_FindTextMiss)->Unit(benchmark::kMillisecond);

void BM_FindTextMissIgnoreCase(benchmark::State& state) {
  const Text& t = ForumText();
  for (auto _ : state) benchmark::DoNotOptimize(FindText(t, "ED2K://", 1, true));
  SetBytes(state, t.size());
}
BENCHMARK(BM_FindTextMissIgnoreCase)->Unit(benchmark::kMillisecond);

// Every position almost matches a search text of 4 KiB.
void BM_FindTextNearMisses(benchmark::State& state) {
  const Text t = Repeat("a");
  const Text s = Text(4096, 'a') + "b";
  for (auto _ : state) benchmark::DoNotOptimize(FindText(t, s, 1, false));
  SetBytes(state, t.size());
}
BENCHMARK(BM_FindTextNearMisses)->Unit(benchmark::kMillisecond);

void BM_SplitTextLines(benchmark::State& state) {
  const Text& t = ForumText();
  for (auto _ : state) benchmark::DoNotOptimize(SplitText(t, "\r\n"));
  SetBytes(state, t.size());
}
BENCHMARK(BM_SplitTextLines)->Unit(benchmark::kMillisecond);

void BM_ReplaceTextBars(benchmark::State& state) {
  const Text& t = ForumText();
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceText(t, "|", "%7C", true));
  SetBytes(state, t.size());
}
BENCHMARK(BM_ReplaceTextBars)->Unit(benchmark::kMillisecond);

void BM_ExtractBetweenBars(benchmark::State& state) {
  const Text& t = ForumText();
  TextList matches;
  for (auto _ : state) benchmark::DoNotOptimize(ExtractBetween(t, "|", "|", matches));
  SetBytes(state, t.size());
  state.counters["matches"] = static_cast<double>(matches.size());
}
BENCHMARK(BM_ExtractBetweenBars)->Unit(benchmark::kMillisecond);

// Ten million start markers and no end marker.
void BM_ExtractBetweenNoEnd(benchmark::State& state) {
  const Text t = Repeat("(");
  TextList matches;
  for (auto _ : state) benchmark::DoNotOptimize(ExtractBetween(t, "(", ")", matches));
  SetBytes(state, t.size());
}
BENCHMARK(BM_ExtractBetweenNoEnd)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkmill

BENCHMARK_MAIN();
