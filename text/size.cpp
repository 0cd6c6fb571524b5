#include "text/size.h"

#include <array>
#include <string_view>

#include "text/text.h"

namespace linkmill {

namespace {

constexpr std::array<std::string_view, 6> kUnits = {"B", "KB", "MB", "GB", "TB", "PB"};

}  // namespace

Text FormatSize(std::int64_t count, int decimals, bool round) {
  double v = static_cast<double>(count);
  std::size_t unit = 0;
  // A value within a ten-millionth below 1024 counts as 1024. "PB" is the last
  // unit: larger counts stay in it.
  while (unit + 1 < kUnits.size() && v - 1024 >= -1e-7) {
    v /= 1024;
    ++unit;
  }
  if (round) {
    v = RoundReal(v, decimals);
  }
  return ConcatText({RealToText(v), kUnits[unit]});
}

}  // namespace linkmill
