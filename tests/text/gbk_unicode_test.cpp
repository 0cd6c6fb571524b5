#include "text/gbk_unicode.h"

#include <gtest/gtest.h>

#include <string>

namespace linkmill {
namespace {

// Bytes of every kind survive GBK -> window -> GBK unchanged.
TEST(GbkUnicodeTest, RoundTripKeepsEveryByte) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"ascii", "bdhd://1|A|b.rmvb"},
      {"chinese", "\xCE\xB4\xD6\xAA"},  // 未知
      {"crlf", "a\r\nb\r\n"},
      {"lf", "a\nb\n"},
      {"cr", "a\rb\r"},
      {"mixed breaks", "a\r\n\nb\r\r\nc\n\r"},
      {"lone lead byte at end", "ab\xCE"},
      {"lead byte before ascii",
       "\xCE"
       "A\xD6\xAA"},
      {"byte 0x80", "x\x80y"},
      {"byte 0xFF", "x\xFFy"},
      {"0xFF as second byte", "\x81\xFF"},
      {"lead byte before a break", "\xB0\r\n"},
      {"all high bytes alone", "\x80\x81 \xA0 \xFE \xFF"},
      {"unassigned pair", "\xA2\xA0\xD7\xFA"},
      {"control bytes", "\x01\x1F\x7F\t"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16ToGbk(GbkToUtf16(c.bytes)), c.bytes) << c.name;
  }
}

TEST(GbkUnicodeTest, EveryByteValueAndPairRoundTrips) {
  std::string all;
  for (int lead = 1; lead <= 0xFF; ++lead) {
    for (int trail = 1; trail <= 0xFF; ++trail) {
      all.push_back(static_cast<char>(lead));
      all.push_back(static_cast<char>(trail));
      all.push_back(' ');
    }
  }
  EXPECT_EQ(Utf16ToGbk(GbkToUtf16(all)), all);
}

TEST(GbkUnicodeTest, ShowsGbkAsItsCharacters) {
  EXPECT_EQ(GbkToUtf16("\xCE\xB4\xD6\xAA"), u"未知");
  EXPECT_EQ(GbkToUtf16("\xA1\xA3"), u"。");
  EXPECT_EQ(Utf16ToGbk(u"筛选"), "\xC9\xB8\xD1\xA1");
  // A byte that starts no character shows as itself, escaped.
  EXPECT_EQ(GbkToUtf16("a\xFF"), std::u16string(u"a\xDCFF"));
}

TEST(GbkUnicodeTest, CharactersGbkLacksBecomeQuestionMarks) {
  const struct {
    const char* name;
    std::u16string text;
    std::string want;
  } cases[] = {
      {"emoji, a surrogate pair", u"a\U0001F600b", "a?b"},
      {"pair whose low half looks escaped", u"\U00010080", "?"},
      {"lone high surrogate", std::u16string{0xD800, u'x'}, "?x"},
      {"low surrogate outside the escapes", std::u16string{0xDC10}, "?"},
      {"hangul", u"\uD55C", "?"},
      {"zero is dropped", std::u16string{u'a', 0, u'b'}, "ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16ToGbk(c.text), c.want) << c.name;
  }
}

TEST(GbkUnicodeTest, Utf8ForOutput) {
  const struct {
    const char* name;
    std::string gbk;
    std::string utf8;
  } cases[] = {
      {"ascii", "a\r\nb", "a\r\nb"},
      {"chinese", "\xCE\xB4\xD6\xAA", "\xE6\x9C\xAA\xE7\x9F\xA5"},  // 未知
      {"bytes that start no character",
       "a\xFF"
       "b\xD6",
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.name;
  }
}

}  // namespace
}  // namespace linkmill
