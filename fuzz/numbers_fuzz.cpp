// ConvertRadix, TextToInt, TextToInt64 and FormatSize: the radix conversion
// against 64-bit arithmetic and its own inverse, the number readers against
// the walk over the folded text, the size text against the division it shows.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "support/literal_text.h"
#include "text/radix.h"
#include "text/size.h"
#include "text/text.h"

namespace {

using linkmill::Text;
using linkmill::fuzz::Require;

constexpr std::string_view kAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kErrorHead = "\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3-";  // 参数错误-

void CheckConvertRadix(std::string_view text, std::int32_t from, std::int32_t to) {
  const Text got = linkmill::ConvertRadix(text, from, to);
  if (from < 2 || from > 36 || to < 2 || to > 36) {
    Require(got.starts_with(kErrorHead) && got.find("2-36") != Text::npos,
            "a bad base does not give the base message");
    return;
  }
  const Text t = linkmill::ToUpper(linkmill::ToHalfWidth(text));
  const std::string_view from_digits = kAlphabet.substr(0, static_cast<std::size_t>(from));
  if (t.find_first_not_of(from_digits) != Text::npos) {
    Require(got.starts_with(Text(kErrorHead) + t), "a bad digit does not give the digit message");
    return;
  }
  if (from == to) {
    Require(got == t, "equal bases do not give the normalised text");
    return;
  }
  const std::string_view to_digits = kAlphabet.substr(0, static_cast<std::size_t>(to));
  Require(!got.empty() && got.find_first_not_of(to_digits) == Text::npos,
          "the result holds a byte that is no digit of the to-base");
  Require(got == "0" || got[0] != '0', "the result has a leading zero");

  // Short numbers: the value in 64 bits, written out digit by digit.
  unsigned __int128 value = 0;
  bool fits = true;
  for (char c : t) {
    value = value * static_cast<unsigned>(from) + kAlphabet.find(c);
    if (value > UINT64_MAX) {
      fits = false;
      break;
    }
  }
  if (fits) {
    auto v = static_cast<std::uint64_t>(value);
    std::string want;
    do {
      want.insert(want.begin(), kAlphabet[v % static_cast<unsigned>(to)]);
      v /= static_cast<unsigned>(to);
    } while (v != 0);
    Require(got == want, "ConvertRadix differs from 64-bit arithmetic");
  }
  // Back again gives the digits without their leading zeros.
  const std::size_t first = t.find_first_not_of('0');
  const Text bare = first == Text::npos ? Text("0") : t.substr(first);
  Require(linkmill::ConvertRadix(got, to, from) == bare, "ConvertRadix back does not restore");
}

void CheckTextToInt(std::string_view text) {
  Require(linkmill::TextToInt(text) == linkmill::testing::LiteralTextToInt(text),
          "TextToInt differs from the walk over the folded text");
  // The 64-bit reader saturates where the 32-bit one wraps.
  const Text f = linkmill::ToHalfWidth(text);
  std::size_t i = f.find_first_not_of(" \t\n\v\f\r");
  if (i == Text::npos) i = f.size();
  bool negative = false;
  if (i < f.size() && (f[i] == '+' || f[i] == '-')) negative = f[i++] == '-';
  constexpr unsigned __int128 kCap = static_cast<unsigned __int128>(INT64_MAX) + 1;
  unsigned __int128 v = 0;
  for (; i < f.size() && f[i] >= '0' && f[i] <= '9'; ++i) {
    v = v * 10 + static_cast<unsigned>(f[i] - '0');
    if (v > kCap) v = kCap;
  }
  const std::int64_t want = negative ? (v == kCap ? INT64_MIN : -static_cast<std::int64_t>(v))
                                     : (v >= kCap ? INT64_MAX : static_cast<std::int64_t>(v));
  Require(linkmill::TextToInt64(text) == want, "TextToInt64 differs from the saturating walk");
}

void CheckFormatSize(std::int64_t count, int decimals, bool round) {
  static constexpr std::string_view kUnits[] = {"B", "KB", "MB", "GB", "TB", "PB"};
  const Text got = linkmill::FormatSize(count, decimals, round);
  double v = static_cast<double>(count);
  std::size_t unit = 0;
  while (unit + 1 < std::size(kUnits) && v - 1024 >= -1e-7) {
    v /= 1024;
    ++unit;
  }
  Require(got.ends_with(kUnits[unit]), "FormatSize chose another unit");
  const std::string number = got.substr(0, got.size() - kUnits[unit].size());
  Require(!number.empty() && number.back() >= '0' && number.back() <= '9',
          "FormatSize chose another unit");
  char* end = nullptr;
  const double shown = std::strtod(number.c_str(), &end);
  Require(end == number.c_str() + number.size(), "FormatSize's number does not read back");
  // 13 significant digits, plus the rounding to decimals when asked.
  double slack = std::fabs(v) * 1e-12 + 1e-300;
  if (round && decimals >= 0 && decimals <= 12) slack += 0.5 * std::pow(10.0, -decimals) + 1e-12;
  if (!round || (decimals >= 0 && decimals <= 12)) {
    Require(std::fabs(shown - v) <= slack, "FormatSize's number is not the divided count");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto from = in.ConsumeIntegralInRange<std::int32_t>(-1, 38);
  const auto to = in.ConsumeIntegralInRange<std::int32_t>(-1, 38);
  const auto count = in.ConsumeIntegral<std::int64_t>();
  const auto decimals = in.ConsumeIntegralInRange<int>(-4, 16);
  const bool round = in.ConsumeBool();
  const std::string text = in.ConsumeRemainingBytesAsString();
  CheckConvertRadix(text, from, to);
  CheckTextToInt(text);
  CheckFormatSize(count, decimals, round);
  // The size column's own path: a 32-bit size field, two decimals, rounded.
  CheckFormatSize(linkmill::TextToInt(text), 2, true);
  return 0;
}
