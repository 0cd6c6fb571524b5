#include "app/gui/gbk_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace linkmill {
namespace {

// Bytes of every kind survive GBK -> window -> GBK unchanged.
TEST(GbkCodecTest, RoundTripKeepsEveryByte) {
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
    EXPECT_EQ(UnicodeToGbk(GbkToUnicode(c.bytes)), c.bytes) << c.name;
  }
}

TEST(GbkCodecTest, EveryByteValueAndPairRoundTrips) {
  std::string all;
  for (int lead = 1; lead <= 0xFF; ++lead) {
    for (int trail = 1; trail <= 0xFF; ++trail) {
      all.push_back(static_cast<char>(lead));
      all.push_back(static_cast<char>(trail));
      all.push_back(' ');
    }
  }
  EXPECT_EQ(UnicodeToGbk(GbkToUnicode(all)), all);
}

TEST(GbkCodecTest, ShowsGbkAsItsCharacters) {
  EXPECT_EQ(GbkToUnicode("\xCE\xB4\xD6\xAA"), QStringLiteral("未知"));
  EXPECT_EQ(GbkToUnicode("\xA1\xA3"), QStringLiteral("。"));
  EXPECT_EQ(UnicodeToGbk(u"筛选"), "\xC9\xB8\xD1\xA1");
  // A byte that starts no character shows as itself, escaped.
  EXPECT_EQ(GbkToUnicode("a\xFF"), QStringLiteral("a") + QChar(0xDCFF));
}

TEST(GbkCodecTest, CharactersGbkLacksBecomeQuestionMarks) {
  const struct {
    const char* name;
    QString text;
    std::string want;
  } cases[] = {
      {"emoji, a surrogate pair", QString::fromUtf16(u"a\U0001F600b"), "a?b"},
      {"pair whose low half looks escaped", QString::fromUtf16(u"\U00010080"), "?"},
      {"lone high surrogate", QString(QChar(0xD800)) + QStringLiteral("x"), "?x"},
      {"low surrogate outside the escapes", QString(QChar(0xDC10)), "?"},
      {"hangul", QString::fromUtf16(u"\uD55C"), "?"},
      {"zero is dropped", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnicodeToGbk(c.text), c.want) << c.name;
  }
}

}  // namespace
}  // namespace linkmill
