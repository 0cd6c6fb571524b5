#include "text/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <limits>
#include <random>
#include <string>

#include "support/literal_text.h"
#include "support/show_bytes.h"

namespace linkmill {
namespace {

using testing::NaiveFind;
using testing::NaiveReplace;

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();

using testing::Show;

TEST(TextCutTest, LeftRightMid) {
  struct Case {
    const char* name;
    Text got, want;
  };
  const Case cases[] = {
      {"Left 0", TextLeft("abc", 0), ""},
      {"Left 2", TextLeft("abc", 2), "ab"},
      {"Left 9", TextLeft("abc", 9), "abc"},
      {"Left max", TextLeft("abc", kMax64), "abc"},
      {"Left min", TextLeft("abc", kMin64), ""},
      {"Right -1", TextRight("abc", -1), ""},
      {"Right 2", TextRight("abc", 2), "bc"},
      {"Right max", TextRight("abc", kMax64), "abc"},
      {"Mid 0,2", TextMid("abc", 0, 2), ""},
      {"Mid 2,5", TextMid("abc", 2, 5), "bc"},
      {"Mid 3,1", TextMid("abc", 3, 1), "c"},
      {"Mid 4,1", TextMid("abc", 4, 1), ""},
      {"Mid 1,0", TextMid("abc", 1, 0), ""},
      {"Mid -5,9", TextMid("abc", -5, 9), ""},
      {"Mid 2,max", TextMid("abc", 2, kMax64), "bc"},
      {"Mid max,1", TextMid("abc", kMax64, 1), ""},
      {"Mid min,min", TextMid("abc", kMin64, kMin64), ""},
      {"Mid splits a character", TextMid("\xD6\xD0\xCE\xC4", 2, 2), "\xD0\xCE"},
      {"Concat", ConcatText({"a", "", "bc", ""}), "abc"},
      {"Concat none", ConcatText({}), ""},
      {"Blank 3", BlankText(3), "   "},
      {"Blank 0", BlankText(0), ""},
      {"Blank -1", BlankText(-1), ""},
      {"Blank max", BlankText(kMax64), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("\xD6\xD0"
                       "a"),
            3);
}

TEST(FindTextTest, Table) {
  struct Case {
    std::string t, s;
    std::int64_t start;
    bool ignore_case;
    std::int32_t want;
  };
  const Case cases[] = {
      {"abcabc", "c", 4, false, 6},
      {"abcabc", "c", 1, false, 3},
      {"abcabc", "c", 0, false, 3},
      {"abcabc", "c", -5, false, 3},
      {"abcabc", "c", kMin64, false, 3},
      {"abcabc", "c", 7, false, -1},
      {"abcabc", "c", kMax64, false, -1},
      {"abc", "", 2, false, 1},
      {"abc", "", 4, false, -1},
      {"", "", 1, false, -1},
      {"", "a", 1, false, -1},
      {"ab", "abc", 1, false, -1},
      {"SRC=", "src=", 1, true, 1},
      {"SRC=", "src=", 1, false, -1},
      // Only the 26 ASCII letters fold.
      {"[", "{", 1, true, -1},
      {"\xC1", "\xE1", 1, true, -1},
      // Full-width comma A3 AC, then ideographic full stop A1 A3: a one-byte
      // search for A1 matches the lead byte of the full stop, not the A1
      // hidden nowhere else.
      {"\xA3\xAC\xA1\xA3", "\xA1", 1, false, 3},
      // The second byte 0x62 ("b") and 0x5C ("\") of a two-byte character is
      // never a match; the same byte as a character of its own is.
      {"\xB0\x62", "b", 1, false, -1},
      {"\xB0\x62"
       "b",
       "b", 1, false, 3},
      {"\x95\x5C", "\\", 1, false, -1},
      {"\x95\x5C\\u", "\\u", 1, true, 3},
      {"\xB0\x41", "a", 1, true, -1},
      // A start on a second byte makes it a character start.
      {"\xB0\x62", "b", 2, false, 2},
      {"\xB0\xB0\x62", "\xB0\x62", 2, false, 2},
      {"\xB0\xB0\x62", "\xB0\x62", 1, false, -1},
      // A long run of one-byte characters before a character that hides a bar.
      {"0123456789abcdef\xB0|x|", "|", 1, false, 20},
      {"0123456789abcdef\xB0|x|", "|", 18, false, 18},
      // A dangling lead byte is compared, then ends the walk.
      {"ab\xA1", "\xA1", 1, false, 3},
      {"ab\xA1",
       "\xA1"
       "x",
       1, false, -1},
      // A prefix of the search text repeats: the match after a near miss.
      {"aaabaaaab", "aaaab", 1, false, 5},
      {"abababac", "ababac", 1, false, 3},
      {"xAbAbAc", "ABAC", 1, true, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindText(c.t, c.s, c.start, c.ignore_case), c.want)
        << "FindText(" << Show(c.t) << ", " << Show(c.s) << ", " << c.start << ", " << c.ignore_case
        << ")";
  }
  EXPECT_EQ(FindText("abcabc", "c"), 3);
}

TEST(FindTextTest, AgreesWithCharacterWalk) {
  // Few distinct bytes, lead bytes among them, so matches, near misses and
  // matches on second bytes are frequent.
  const char alphabet[] = {'a', 'A', 'b', '|', '\\', '\xB0', '\xA1'};
  std::mt19937 rng(7);
  auto random_text = [&](std::size_t max_len) {
    std::string t(rng() % (max_len + 1), 'a');
    for (char& c : t) c = alphabet[rng() % sizeof alphabet];
    return t;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string t = random_text(24);
    const std::string s = random_text(4);
    const std::string r = random_text(3);
    const std::int64_t start = static_cast<std::int64_t>(rng() % 28) - 2;
    const bool fold = rng() % 2 == 0;
    ASSERT_EQ(FindText(t, s, start, fold), NaiveFind(t, s, start, fold))
        << "FindText(" << Show(t) << ", " << Show(s) << ", " << start << ", " << fold << ")";
    ASSERT_EQ(ReplaceText(t, s, r, !fold), NaiveReplace(t, s, r, !fold))
        << "ReplaceText(" << Show(t) << ", " << Show(s) << ", " << Show(r) << ", " << !fold << ")";
  }
}

TEST(SplitTextTest, Table) {
  struct Case {
    std::string t, d;
    TextList want;
  };
  const Case cases[] = {
      {"", ",", {}},
      {"abc", "", {"abc"}},
      {"abc", ",", {"abc"}},
      {",a,,b,", ",", {"", "a", "", "b"}},
      {"a\r\nb\r\n", "\r\n", {"a", "b"}},
      {"\r\n\r\n", "\r\n", {"", ""}},
      {"a\r\nb", "\r\n", {"a", "b"}},
      {"ab", "abc", {"ab"}},
      // The delimiter is exact and found at character starts only.
      {"a,A", "a", {"", ",A"}},
      {"x\xB0,y,", ",", {"x\xB0,y"}},
      {"x\xB0", ",", {"x\xB0"}},
      // Delimiters do not overlap.
      {"aaa", "aa", {"", "a"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitText(c.t, c.d), c.want) << "SplitText(" << Show(c.t) << ", " << Show(c.d) << ")";
  }
}

TEST(ReplaceTextTest, Table) {
  struct Case {
    std::string t, s, r;
    bool exact;
    std::string want;
  };
  const Case cases[] = {
      {"a%ub%U", "%u", "\\u", true, "a\\ub%U"},
      {"a%ub%U", "%u", "\\u", false, "a\\ub\\u"},
      {"x#y#", "#", "", true, "xy"},
      {"", "#", "x", true, ""},
      {"abc", "", "x", true, "abc"},
      {"aaa", "aa", "b", true, "ba"},
      // A replacement is never scanned again.
      {"aa", "a", "aa", true, "aaaa"},
      {"ab", "b", "a", true, "aa"},
      // Second bytes never match, and a dangling lead byte is kept.
      {"\xB0#\xB0", "#", "", true, "\xB0#\xB0"},
      {"|#x|/#y#", "|#", "", true, "x|/#y#"},
      {"\\u4E2D\\U4e2d", "\\u4e2d", "\xD6\xD0", false, "\xD6\xD0\xD6\xD0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceText(c.t, c.s, c.r, c.exact), c.want)
        << "ReplaceText(" << Show(c.t) << ", " << Show(c.s) << ", " << Show(c.r) << ", " << c.exact
        << ")";
  }
}

TEST(FoldTest, TrimEndToUpperToHalfWidth) {
  struct Case {
    const char* op;
    Text got, want;
  };
  const Case cases[] = {
      {"TrimEnd mix", TrimEnd("a \xA1\xA1 \xA1\xA1"), "a"},
      {"TrimEnd tab stays", TrimEnd("a\t"), "a\t"},
      {"TrimEnd blank before tab", TrimEnd("a \t "), "a \t"},
      {"TrimEnd two spaces", TrimEnd("  "), ""},
      {"TrimEnd leading", TrimEnd("  a"), "  a"},
      // B0 A1 then A1 20: the A1 A1 in the middle straddles two characters.
      {"TrimEnd straddle", TrimEnd("\xB0\xA1\xA1 "), "\xB0\xA1\xA1 "},
      {"TrimEnd dangling", TrimEnd("a \xA1"), "a \xA1"},
      {"ToUpper", ToUpper("abz{`@AZ"), "ABZ{`@AZ"},
      {"ToUpper second byte",
       ToUpper("\xB0"
               "a"
               "a"),
       "\xB0"
       "aA"},
      {"ToUpper dangling", ToUpper("a\xB0"), "A\xB0"},
      {"HalfWidth forms", ToHalfWidth("\xA3\xB0\xA3\xC1\xA3\xE1\xA3\xA1\xA3\xFE"), "0Aa!~"},
      {"HalfWidth marks", ToHalfWidth("\xA1\xA1\xA1\xAB\xA1\xEE\xA1\xEF"), " ~**"},
      {"HalfWidth others",
       ToHalfWidth("\xD6\xD0\xA1\xA3\xA3\xFF"
                   "a"),
       "\xD6\xD0\xA1\xA3\xA3\xFF"
       "a"},
      {"HalfWidth aligned", ToHalfWidth("\xB0\xA3\xA3\xB0"),
       "\xB0\xA3"
       "0"},
      {"HalfWidth dangling", ToHalfWidth("a\xA3"), "a"},
  };
  for (const Case& c : cases) EXPECT_EQ(Show(c.got), Show(c.want)) << c.op;
}

TEST(NumberTest, TextToInt) {
  struct Case {
    std::string t;
    std::int32_t want32;
    std::int64_t want64;
  };
  const Case cases[] = {
      {"238002442", 238002442, 238002442},
      {" 12ab", 12, 12},
      {"abc", 0, 0},
      {"", 0, 0},
      {"-7", -7, -7},
      {"+7", 7, 7},
      {" \t\r\n\v\f7", 7, 7},
      {"- 7", 0, 0},
      {"+-7", 0, 0},
      {"\xA3\xB1\xA3\xB2", 12, 12},          // full-width digits
      {"\xA1\xA1\xA3\xAD\xA3\xB3", -3, -3},  // ideographic space, full-width minus
      {"1\xD6\xD0"
       "2",
       1, 1},
      {"3000000000", -1294967296, 3000000000},
      {"4294967296", 0, 4294967296},
      {"-2147483648", std::numeric_limits<std::int32_t>::min(), -2147483648},
      {"2147483648", std::numeric_limits<std::int32_t>::min(), 2147483648},
      {"9223372036854775807", -1, kMax64},
      {"9223372036854775808", 0, kMax64},
      {"-9223372036854775808", 0, kMin64},
      {"-9223372036854775809", -1, kMin64},
      {"99999999999999999999999999", -469762049, kMax64},
      {"-99999999999999999999999999", 469762049, kMin64},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToInt(c.t), c.want32) << "TextToInt(" << Show(c.t) << ")";
    EXPECT_EQ(TextToInt64(c.t), c.want64) << "TextToInt64(" << Show(c.t) << ")";
  }
}

TEST(NumberTest, TextToRealAndIntToText) {
  struct RealCase {
    std::string t;
    double want;
  };
  const RealCase reals[] = {
      {"36", 36.0},
      {" -1.5e2x", -150.0},
      {"\xA3\xB3\xA3\xB6", 36.0},
      {"abc", 0.0},
      {"", 0.0},
      {"inf", 0.0},
      {"1e", 1.0},
      {"1e999", 0.0},
  };
  for (const RealCase& c : reals) EXPECT_EQ(TextToReal(c.t), c.want) << Show(c.t);
  EXPECT_EQ(IntToText(5), "5");
  EXPECT_EQ(IntToText(-12), "-12");
  EXPECT_EQ(IntToText(kMin64), "-9223372036854775808");
}

TEST(NumberTest, RealToTextAndRoundReal) {
  struct Case {
    double x;
    const char* want;
  };
  const Case texts[] = {
      {1.0, "1"},         {3.0, "3"},
      {1.5, "1.5"},       {227.26, "227.26"},
      {226.98, "226.98"}, {-1294967296.0, "-1294967296"},
      {0.1 + 0.2, "0.3"}, {1234567890123.0, "1234567890123"},
  };
  for (const Case& c : texts) EXPECT_EQ(RealToText(c.x), c.want) << c.want;

  struct RoundCase {
    double x;
    int n;
    double want;
  };
  const RoundCase rounds[] = {
      {0.0, 2, 0.0},    {1.005, 2, 1.01},     {2.345, 2, 2.35},
      {0.125, 2, 0.13}, {-0.125, 2, -0.13},   {1023.9990234375, 2, 1024.0},
      {1.004, 2, 1.0},  {2.5, 0, 3.0},        {-2.5, 0, -3.0},
      {2.4, 0, 2.0},    {1250.0, -2, 1300.0}, {1249.0, -2, 1200.0},
      {5.0, -400, 0.0}, {5.5, 400, 5.5},
  };
  for (const RoundCase& c : rounds) {
    EXPECT_EQ(RoundReal(c.x, c.n), c.want) << "RoundReal(" << c.x << ", " << c.n << ")";
  }
  EXPECT_EQ(RealToText(RoundReal(1023.9990234375, 2)), "1024");
}

TEST(NumberTest, ChineseAmount) {
  struct Case {
    double x;
    Text want;
  };
  const Case cases[] = {
      {1, "\xD2\xBB\xD4\xAA\xD5\xFB"},                   // 一元整
      {2, "\xB6\xFE\xD4\xAA\xD5\xFB"},                   // 二元整
      {10, "\xD2\xBB\xCA\xAE\xD4\xAA\xD5\xFB"},          // 一十元整
      {16, "\xD2\xBB\xCA\xAE\xC1\xF9\xD4\xAA\xD5\xFB"},  // 一十六元整
      {20, "\xB6\xFE\xCA\xAE\xD4\xAA\xD5\xFB"},          // 二十元整
      {36, "\xC8\xFD\xCA\xAE\xC1\xF9\xD4\xAA\xD5\xFB"},  // 三十六元整
      {99, "\xBE\xC5\xCA\xAE\xBE\xC5\xD4\xAA\xD5\xFB"},  // 九十九元整
      {0, ""},
      {100, ""},
      {2.5, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Show(ChineseAmount(c.x)), Show(c.want)) << c.x;
}

TEST(DateTimeTest, DateTimeText) {
  struct Case {
    DateTime dt;
    Text want;
  };
  const Case cases[] = {
      // 2013年12月20日10时9分48秒
      {{2013, 12, 20, 10, 9, 48},
       "2013\xC4\xEA"
       "12\xD4\xC2"
       "20\xC8\xD5"
       "10\xCA\xB1"
       "9\xB7\xD6"
       "48\xC3\xEB"},
      // 2013年12月20日10时5分
      {{2013, 12, 20, 10, 5, 0},
       "2013\xC4\xEA"
       "12\xD4\xC2"
       "20\xC8\xD5"
       "10\xCA\xB1"
       "5\xB7\xD6"},
      // 2013年12月20日10时
      {{2013, 12, 20, 10, 0, 0},
       "2013\xC4\xEA"
       "12\xD4\xC2"
       "20\xC8\xD5"
       "10\xCA\xB1"},
      // 2013年12月20日
      {{2013, 12, 20, 0, 0, 0},
       "2013\xC4\xEA"
       "12\xD4\xC2"
       "20\xC8\xD5"},
      // 2013年12月20日0时0分7秒
      {{2013, 12, 20, 0, 0, 7},
       "2013\xC4\xEA"
       "12\xD4\xC2"
       "20\xC8\xD5"
       "0\xCA\xB1"
       "0\xB7\xD6"
       "7\xC3\xEB"},
      // 2013年12月20日0时30分
      {{2013, 12, 20, 0, 30, 0},
       "2013\xC4\xEA"
       "12\xD4\xC2"
       "20\xC8\xD5"
       "0\xCA\xB1"
       "30\xB7\xD6"},
      // 2024年1月5日
      {{2024, 1, 5, 0, 0, 0},
       "2024\xC4\xEA"
       "1\xD4\xC2"
       "5\xC8\xD5"},
  };
  for (const Case& c : cases) EXPECT_EQ(Show(DateTimeText(c.dt)), Show(c.want));
}

TEST(DateTimeTest, CurrentDateTimeIsLocalNow) {
  const std::time_t before = std::time(nullptr);
  const DateTime now = CurrentDateTime();
  const std::time_t after = std::time(nullptr);
  std::tm tm{};
  tm.tm_year = now.year - 1900;
  tm.tm_mon = now.month - 1;
  tm.tm_mday = now.day;
  tm.tm_hour = now.hour;
  tm.tm_min = now.minute;
  tm.tm_sec = now.second;
  tm.tm_isdst = -1;
  const std::time_t read_back = std::mktime(&tm);
  EXPECT_GE(read_back, before);
  EXPECT_LE(read_back, after);
}

TEST(TextMiscTest, CharFromCodeAndCompare) {
  struct Case {
    std::int32_t code;
    Text want;
  };
  const Case codes[] = {
      {0, ""},
      {97, "a"},
      {353, "a"},
      {161, "\xA1"},
      {-34, "\xDE"},
      {256, ""},
      {std::numeric_limits<std::int32_t>::min(), ""},
  };
  for (const Case& c : codes) EXPECT_EQ(CharFromCode(c.code), c.want) << c.code;

  EXPECT_EQ(CompareText("BDHD", "BDHD"), 0);
  EXPECT_EQ(CompareText("", ""), 0);
  EXPECT_LT(CompareText("abc", "abd"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("\xB0", "a"), 0);  // bytes compare unsigned
  EXPECT_GT(CompareText("a", ""), 0);
}

TEST(BytesTest, Table) {
  const ByteBuffer empty;
  const ByteBuffer big(2048, 7);
  const ByteBuffer ab = {0x61, 0x62};
  struct Case {
    const char* name;
    ByteBuffer got, want;
  };
  const Case cases[] = {
      {"IntToBytes 20013", IntToBytes(20013), {0x2D, 0x4E, 0x00, 0x00}},
      {"IntToBytes 1", IntToBytes(1), {0x01, 0x00, 0x00, 0x00}},
      {"IntToBytes -2", IntToBytes(-2), {0xFE, 0xFF, 0xFF, 0xFF}},
      {"BytesLeft 0", BytesLeft(big, 0), {}},
      {"BytesLeft -1", BytesLeft(big, -1), {}},
      {"BytesLeft 1", BytesLeft(ab, 1), {0x61}},
      {"BytesLeft max", BytesLeft(ab, kMax64), ab},
      {"BlankBytes 3", BlankBytes(3), {0, 0, 0}},
      {"BlankBytes 0", BlankBytes(0), {}},
      {"BlankBytes max", BlankBytes(kMax64), {}},
      {"Concat empties", ConcatBytes({&empty, &empty}), {}},
      {"Concat", ConcatBytes({&ab, &empty, nullptr, &ab}), {0x61, 0x62, 0x61, 0x62}},
      {"TextToBytes", TextToBytes("a\xB0"), {0x61, 0xB0}},
      {"TextToBytes empty", TextToBytes(""), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;

  EXPECT_EQ(BytesToText({0x61, 0x62, 0x00, 0x63}), "ab");
  EXPECT_EQ(BytesToText({0x00, 0x61}), "");
  EXPECT_EQ(BytesToText(empty), "");
  EXPECT_EQ(BytesToText(ab), "ab");
  EXPECT_EQ(BytesLength(big), 2048);
  EXPECT_EQ(BytesLength(empty), 0);
}

TEST(ListTest, SortIntListAndItems) {
  IntList list = {41, 90, 45};
  SortIntList(list, false);
  EXPECT_EQ(list, (IntList{90, 45, 41}));
  SortIntList(list, true);
  EXPECT_EQ(list, (IntList{41, 45, 90}));

  TextList texts;
  EXPECT_EQ(ListCount(texts), 0);
  ListAppend(texts, "a");
  ListAppend(texts, "b");
  EXPECT_EQ(ListCount(texts), 2);
  EXPECT_EQ(ListItem(texts, 1), "a");
  EXPECT_EQ(ListItem(texts, 2), "b");
}

}  // namespace
}  // namespace linkmill
