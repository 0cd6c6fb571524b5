#include "text/size.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace linkmill {
namespace {

constexpr std::int64_t kKi = 1024;
constexpr std::int64_t kPi = kKi * kKi * kKi * kKi * kKi;

TEST(FormatSizeTest, Table) {
  struct Case {
    std::int64_t count;
    int decimals;
    bool round;
    Text want;
  };
  const Case cases[] = {
      {0, 2, true, "0B"},
      {1, 2, true, "1B"},
      {1023, 2, true, "1023B"},
      {1024, 2, true, "1KB"},
      {1536, 2, true, "1.5KB"},
      {1000000, 2, true, "976.56KB"},
      // The unit is chosen before rounding.
      {1048575, 2, true, "1024KB"},
      {1048576, 2, true, "1MB"},
      {123456789, 2, true, "117.74MB"},
      {238002442, 2, true, "226.98MB"},
      {1073741823, 2, true, "1024MB"},
      {2147483647, 2, true, "2GB"},
      {-1, 2, true, "-1B"},
      {-1294967296, 2, true, "-1294967296B"},
      {238002442, 2, false, "226.9768161774MB"},
      {1048575, 2, false, "1023.999023438KB"},
      {1048575, 0, true, "1024KB"},
      {1536, 0, true, "2KB"},
      // Counts beyond 32 bits reach the larger units.
      {3000000000, 2, true, "2.79GB"},
      {4294967296, 2, true, "4GB"},
      {5000000000000, 2, true, "4.55TB"},
      {kPi - kKi * kKi * kKi, 2, true, "1024TB"},
      // Within a ten-millionth below 1024 counts as 1024.
      {kPi - 1, 2, true, "1PB"},
      {kPi, 2, true, "1PB"},
      // "PB" is the last unit: larger counts stay in it.
      {kKi * kPi, 2, true, "1024PB"},
      {std::numeric_limits<std::int64_t>::max(), 2, true, "8192PB"},
      {std::numeric_limits<std::int64_t>::max(), 2, false, "8192PB"},
      // Negative counts are never divided; beyond 13 digits "%.13g" takes the
      // exponent form.
      {-5000000000000, 2, true, "-5000000000000B"},
      {std::numeric_limits<std::int64_t>::min(), 2, true, "-9.223372036855e+18B"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatSize(c.count, c.decimals, c.round), c.want)
        << "FormatSize(" << c.count << ", " << c.decimals << ", " << c.round << ")";
  }
}

}  // namespace
}  // namespace linkmill
