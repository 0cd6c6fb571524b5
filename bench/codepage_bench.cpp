// The two escape decoders on texts of the size a pasted page may reach.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "text/codepage.h"

namespace linkmill {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;

// 1 MiB holding 100,000 "\u" escapes of 3,000 distinct Chinese characters,
// hexadecimal digits in either case, between short runs of ASCII and GBK text.
Text EscapedText() {
  constexpr int kEscapes = 100000;
  constexpr int kDistinct = 3000;
  const char* const kFillers[] = {"ab\xD6\xD0", " x| ", "\xCE\xC4\xB1\xBE", "\x95\x5C/:"};
  std::mt19937 rng(1);
  Text t;
  t.reserve(kMiB);
  const std::size_t extra = kMiB - kEscapes * 10;  // gaps of 4 bytes, some of 5
  for (int i = 0; i < kEscapes; ++i) {
    char escape[8];
    const unsigned unit = 0x4E00 + 6 * (rng() % kDistinct);
    std::snprintf(escape, sizeof escape, rng() % 2 ? "\\u%04x" : "\\U%04X", unit);
    t += escape;
    t += kFillers[rng() % std::size(kFillers)];
    if (static_cast<std::size_t>(i) < extra) t += ' ';
  }
  return t;
}

// 10 MiB of percent-encoded link lines with UTF-8 file names.
Text PercentText() {
  const Text line =
      "bdhd%3A%2F%2F238002442%7C016E2D91F30162F17D6AE5B19F19F09C%7C"
      "%E4%B8%AD%E6%96%87%E5%AD%97%E5%B9%95.rmvb%7C\r\n";
  Text t;
  t.reserve(10 * kMiB + line.size());
  while (t.size() < 10 * kMiB) t += line;
  t.resize(10 * kMiB);
  return t;
}

void BM_UnescapeUnicode(benchmark::State& state) {
  const Text t = EscapedText();
  for (auto _ : state) benchmark::DoNotOptimize(UnescapeUnicode(t));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_UnescapeUnicode)->Unit(benchmark::kMillisecond);

void BM_PercentDecode(benchmark::State& state) {
  const Text t = PercentText();
  for (auto _ : state) benchmark::DoNotOptimize(PercentDecode(t));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_PercentDecode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkmill

BENCHMARK_MAIN();
