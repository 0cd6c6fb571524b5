#include "text/radix.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace linkmill {
namespace {

// "参数错误-进制只能在2-36之间"
const Text kBadBase =
    "\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3-\xBD\xF8\xD6\xC6\xD6\xBB\xC4\xDC\xD4\xDA"
    "2-36\xD6\xAE\xBC\xE4";

// "参数错误-" + digits + "不是一个有效的" + numeral + "进制数！"
Text BadDigit(const Text& digits, const Text& numeral) {
  return "\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3-" + digits +
         "\xB2\xBB\xCA\xC7\xD2\xBB\xB8\xF6\xD3\xD0\xD0\xA7\xB5\xC4" + numeral +
         "\xBD\xF8\xD6\xC6\xCA\xFD\xA3\xA1";
}

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

TEST(ConvertRadixTest, Table) {
  struct Case {
    Text text;
    std::int32_t from, to;
    Text want;
  };
  const Case cases[] = {
      {"4E2D", 16, 10, "20013"},
      {"4e2d", 16, 10, "20013"},
      {"\xA3\xB4\xA3\xC5\xA3\xB2\xA3\xC4", 16, 10, "20013"},  // ４Ｅ２Ｄ
      {"\xA3\xB4\xA3\xE5\xA3\xB2\xA3\xE4", 16, 10, "20013"},  // ４ｅ２ｄ
      {"FFFF", 16, 10, "65535"},
      {"0", 16, 10, "0"},
      {"00A", 16, 10, "10"},
      {"", 16, 10, "0"},
      {"", 16, 16, ""},
      {"00a", 16, 16, "00A"},
      {"Z", 36, 10, "35"},
      {"z", 36, 2, "100011"},
      {"20013", 10, 16, "4E2D"},
      {"255", 10, 16, "FF"},
      {"11111111", 2, 10, "255"},
      {"123456789012345678901234567890", 10, 36, "BYW97UM9S91DLZ68TSI"},
      {"BYW97UM9S91DLZ68TSI", 36, 10, "123456789012345678901234567890"},
      {"18446744073709551616", 10, 16, "10000000000000000"},  // 2^64
      {"10", 2, 36, "2"},
      {"35", 10, 36, "Z"},
      // Digit errors name the whole normalised text and the from-base in Chinese.
      {"4G", 16, 10, BadDigit("4G", "\xD2\xBB\xCA\xAE\xC1\xF9")},                // 一十六
      {"4g", 16, 16, BadDigit("4G", "\xD2\xBB\xCA\xAE\xC1\xF9")},                // 一十六
      {"-1", 10, 16, BadDigit("-1", "\xD2\xBB\xCA\xAE")},                        // 一十
      {"12", 2, 10, BadDigit("12", "\xB6\xFE")},                                 // 二
      {"1.5", 10, 10, BadDigit("1.5", "\xD2\xBB\xCA\xAE")},                      // 一十
      {" 1", 10, 2, BadDigit(" 1", "\xD2\xBB\xCA\xAE")},                         // 一十
      {"\\u12", 16, 10, BadDigit("\\U12", "\xD2\xBB\xCA\xAE\xC1\xF9")},          // 一十六
      {"1\xD6\xD0", 36, 10, BadDigit("1\xD6\xD0", "\xC8\xFD\xCA\xAE\xC1\xF9")},  // 1中, 三十六
      {"\xA3\xB1\xA3\xA7", 10, 2, BadDigit("1'", "\xD2\xBB\xCA\xAE")},           // １＇, 一十
      // Bad bases win over bad digits; the text is not looked at.
      {"1", 1, 10, kBadBase},
      {"1", 10, 37, kBadBase},
      {"1", 0, 0, kBadBase},
      {"1", -16, 10, kBadBase},
      {"xyz", 10, 37, kBadBase},
      {"1", kMaxInt, 10, kBadBase},
      {"1", 10, kMinInt, kBadBase},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertRadix(c.text, c.from, c.to), c.want)
        << "ConvertRadix(\"" << c.text << "\", " << c.from << ", " << c.to << ")";
  }
}

// Ten thousand digits convert exactly: powers of two have a known form in
// bases 2 and 16, and a random number survives a round trip through two bases.
TEST(ConvertRadixTest, LongNumbers) {
  const Text power_of_two = "1" + Text(10000, '0');
  EXPECT_EQ(ConvertRadix(power_of_two, 2, 16), "1" + Text(2500, '0'));
  EXPECT_EQ(ConvertRadix(Text(2500, 'F'), 16, 2), Text(10000, '1'));
  EXPECT_EQ(ConvertRadix(Text(10000, '0') + "7", 8, 10), "7");

  std::mt19937 rng(2013);
  Text decimal(1, static_cast<char>('1' + rng() % 9));
  while (decimal.size() < 10000) decimal += static_cast<char>('0' + rng() % 10);
  const Text base36 = ConvertRadix(decimal, 10, 36);
  ASSERT_EQ(base36.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"), Text::npos);
  EXPECT_EQ(ConvertRadix(ConvertRadix(base36, 36, 3), 3, 10), decimal);
}

}  // namespace
}  // namespace linkmill
