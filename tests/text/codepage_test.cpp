#include "text/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/literal_text.h"
#include "support/show_bytes.h"
#include "text/radix.h"
#include "text/text.h"

namespace linkmill {
namespace {

using testing::LiteralUnescapeUnicode;

using testing::Show;

ByteBuffer Bytes(std::string_view s) { return ByteBuffer(s.begin(), s.end()); }

ByteBuffer Units(std::initializer_list<std::uint16_t> units) {
  ByteBuffer out;
  for (std::uint16_t unit : units) {
    out.push_back(static_cast<unsigned char>(unit & 0xFF));
    out.push_back(static_cast<unsigned char>(unit >> 8));
  }
  return out;
}

std::string ShowUnits(const ByteBuffer& b) {
  std::string out;
  for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
    char buf[8];
    std::snprintf(buf, sizeof buf, " %04X", b[i] | b[i + 1] << 8);
    out += buf;
  }
  return "{" + out + " }";
}

constexpr const char* kZhong = "\xD6\xD0";  // 中

TEST(Utf8ToWideTest, Table) {
  struct Case {
    std::string utf8;
    ByteBuffer want;
  };
  const Case cases[] = {
      {"", {}},
      {"Az", Units({0x41, 0x7A})},
      {std::string("a\0b", 3), Units({0x61, 0, 0x62})},
      {"\xC3\xA9", Units({0xE9})},
      {"\xE4\xB8\xAD", Units({0x4E2D})},
      {"\xE0\xA0\x80", Units({0x0800})},
      {"\xEF\xBF\xBF", Units({0xFFFF})},
      {"\xF0\x9F\x98\x80", Units({0xD83D, 0xDE00})},
      {"\xF4\x8F\xBF\xBF", Units({0xDBFF, 0xDFFF})},
      // Ill-formed input: one U+FFFD for each maximal part that went wrong.
      {"\x80", Units({0xFFFD})},
      {"\xBF\x80", Units({0xFFFD, 0xFFFD})},
      {"\xE4\xB8", Units({0xFFFD})},
      {"\xE4\xB8"
       "A",
       Units({0xFFFD, 0x41})},
      {"\xF0\x9F\x98", Units({0xFFFD})},
      {"\xF0\x9F\x98\xE4\xB8\xAD", Units({0xFFFD, 0x4E2D})},
      {"\xC0\x80", Units({0xFFFD, 0xFFFD})},                          // overlong
      {"\xC1\xBF", Units({0xFFFD, 0xFFFD})},                          // overlong
      {"\xE0\x80\x80", Units({0xFFFD, 0xFFFD, 0xFFFD})},              // overlong
      {"\xF0\x80\x80\x80", Units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},  // overlong
      {"\xED\xA0\x80", Units({0xFFFD, 0xFFFD, 0xFFFD})},              // a surrogate
      {"\xF4\x90\x80\x80", Units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},  // above U+10FFFF
      {"\xF5\x80", Units({0xFFFD, 0xFFFD})},
      {"\xFF", Units({0xFFFD})},
      {"\xD6\xD0", Units({0xFFFD, 0xFFFD})},  // GBK is not UTF-8
  };
  for (const Case& c : cases) {
    const ByteBuffer got = Utf8ToWide(Bytes(c.utf8));
    EXPECT_EQ(got, c.want) << "Utf8ToWide(" << Show(c.utf8) << ") = " << ShowUnits(got);
  }
}

// Well-formed UTF-8 decodes as iconv decodes it.
TEST(Utf8ToWideTest, AgreesWithIconvOnWellFormedText) {
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::mt19937 rng(936);
  for (int round = 0; round < 200; ++round) {
    std::string utf8;
    for (int i = 0; i < 50; ++i) {
      std::uint32_t cp = rng() % 4 == 0 ? rng() % 0x80 : rng() % 0x110000;
      if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0x4E2D;
      if (cp < 0x80) {
        utf8 += static_cast<char>(cp);
      } else if (cp < 0x800) {
        utf8 += static_cast<char>(0xC0 | cp >> 6);
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
      } else if (cp < 0x10000) {
        utf8 += static_cast<char>(0xE0 | cp >> 12);
        utf8 += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
      } else {
        utf8 += static_cast<char>(0xF0 | cp >> 18);
        utf8 += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        utf8 += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (cp & 0x3F));
      }
    }
    std::string in = utf8;
    std::vector<char> out(4 * in.size() + 4);
    char* in_at = in.data();
    char* out_at = out.data();
    std::size_t in_left = in.size();
    std::size_t out_left = out.size();
    ASSERT_EQ(iconv(cd, &in_at, &in_left, &out_at, &out_left), 0u);
    const ByteBuffer want(out.data(), out_at);
    ASSERT_EQ(Utf8ToWide(Bytes(utf8)), want) << Show(utf8);
  }
  iconv_close(cd);
}

TEST(WideToGbkTest, Table) {
  struct Case {
    const char* name;
    ByteBuffer units;
    Text want;
  };
  const Case cases[] = {
      {"empty", {}, ""},
      {"ASCII", Units({0x41, 0x5C, 0x7E}), "A\\~"},
      {"two-byte", Units({0x4E2D, 0x661E}), "\xD6\xD0\x95\x5C"},  // 中昞
      {"full-width A", Units({0xFF21}), "\xA3\xC1"},
      {"ideographic space kept", Units({0x3000, 0x20}), "\xA1\xA1 "},
      {"GBK lacks it", Units({0x41, 0xAC00, 0x42}), "A?B"},
      {"replacement character", Units({0xFFFD}), "?"},
      {"euro sign", Units({0x20AC, 0x41}), "?A"},
      {"surrogate pair", Units({0xD83D, 0xDE00, 0x41}), "?A"},
      {"lone high surrogate", Units({0x41, 0xD800, 0x42}), "AB"},
      {"lone low surrogate", Units({0xDC00, 0x41}), "A"},
      {"high surrogate at end", Units({0x41, 0xDBFF}), "A"},
      {"two high surrogates", Units({0xD800, 0xD800, 0xDC00}), "?"},
      {"combining mark not composed", Units({0x65, 0x301}), "e?"},
      {"unit 0 ends the text", Units({0x41, 0, 0x42}), "A"},
      {"odd last byte ignored", ByteBuffer{0x41, 0x00, 0x42}, "A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WideToGbk(c.units), c.want) << c.name << ": " << Show(WideToGbk(c.units));
  }
}

TEST(Utf8ToGbkTest, Table) {
  struct Case {
    std::string utf8;
    Text want;
  };
  const Case cases[] = {
      {"", ""},
      {"bdhd://1|a|", "bdhd://1|a|"},
      {"\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},  // 中文
      {"\xC3\xA9", "\xA8\xA6"},                          // é
      {"\xED\xA0\x80x", "???x"},
      {"\xF0\x9F\x98\x80", "?"},
      {std::string("a\0b", 3), "a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToGbk(Bytes(c.utf8)), c.want) << "Utf8ToGbk(" << Show(c.utf8) << ")";
  }
}

// Utf8ToGbk skips the UTF-16 text between the two steps; on any bytes it must
// give what the two steps give.
TEST(Utf8ToGbkTest, SameAsTheTwoStepsOnRandomBytes) {
  const unsigned char kBytes[] = {0x00, 0x41, 0x5C, 0x7F, 0x80, 0xA9, 0xBF, 0xC2, 0xC3, 0xE0,
                                  0xE4, 0xB8, 0xAD, 0xED, 0xA0, 0xEF, 0xF0, 0x9F, 0xF4, 0xFF};
  std::mt19937 rng(65001);
  for (int round = 0; round < 20000; ++round) {
    ByteBuffer b(rng() % 12);
    for (unsigned char& c : b) c = kBytes[rng() % std::size(kBytes)];
    ASSERT_EQ(Show(Utf8ToGbk(b)), Show(WideToGbk(Utf8ToWide(b))))
        << Show(std::string(b.begin(), b.end()));
  }
}

TEST(CodeUnitToGbkTest, Table) {
  struct Case {
    std::int32_t v;
    Text want;
  };
  const Case cases[] = {
      {65, "A"},
      {0x5C, "\\"},
      {0x09, "\t"},
      {0x4E2D, kZhong},
      {0x661E, "\x95\x5C"},
      {0xFF21, "\xA3\xC1"},
      {0, ""},
      {32, ""},
      {0x3000, ""},
      {0xD800, ""},
      {0xDBFF, ""},
      {0xDC00, ""},
      {0xDFFF, ""},
      {0xAC00, ""},  // GBK lacks it
      {0xFFFD, ""},
      {0xFFFF, ""},
      {0x20AC, ""},  // no one-byte form above 0x7F
      {0x10041, "A"},
      {-65471, "A"},  // low 16 bits 0x0041
      {-1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodeUnitToGbk(c.v), c.want) << "CodeUnitToGbk(" << c.v << ")";
  }
}

// Every result is at most one whole character: one byte below 0x80, or a lead
// byte and its second byte; never a lone lead byte that would swallow the
// next byte of the text.
TEST(CodeUnitToGbkTest, EveryUnitGivesOneWholeCharacter) {
  int two_byte = 0;
  for (std::int32_t v = 0; v < 0x10000; ++v) {
    const Text g = CodeUnitToGbk(v);
    const bool whole = g.empty() || (g.size() == 1 && static_cast<unsigned char>(g[0]) < 0x80) ||
                       (g.size() == 2 && static_cast<unsigned char>(g[0]) >= 0x81);
    ASSERT_TRUE(whole) << "CodeUnitToGbk(" << v << ") = " << Show(g);
    two_byte += g.size() == 2;
  }
  EXPECT_GT(two_byte, 20000);  // the code page is really there
}

TEST(PercentDecodeTest, Table) {
  struct Case {
    Text t, want;
  };
  const Case cases[] = {
      {"bdhd%3A%2F%2F238002442%7C016E2D91F30162F17D6AE5B19F19F09C%7C",
       "bdhd://238002442|016E2D91F30162F17D6AE5B19F19F09C|"},
      {"%E4%B8%AD", kZhong},
      {"%e4%b8%ad", kZhong},
      {"%E4%b8%Ad.rmvb", "\xD6\xD0.rmvb"},
      {"%C3%A9", "\xA8\xA6"},
      {"plain text, a+b=c", "plain text, a+b=c"},
      {"%25", "%"},
      {"%2541", "%41"},  // decoded once
      {"%00", ""},
      {"a%00b", "ab"},
      {"%E4%B8", "?"},
      {"%F0%9F%98%80", "?"},
      {kZhong, "??"},  // GBK bytes are read as UTF-8
      // Malformed escapes stay as they are.
      {"100%", "100%"},
      {"%", "%"},
      {"%4", "%4"},
      {"%zz1", "%zz1"},
      {"%4g1", "%4g1"},
      {"%%41", "%A"},
      {"50% off", "50% off"},
      {"%u4E2D", "%u4E2D"},
      {"%\xD6\xD0", "%??"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PercentDecode(c.t), c.want) << "PercentDecode(" << Show(c.t) << ")";
  }
}

TEST(UnescapeUnicodeTest, Table) {
  struct Case {
    Text t, want;
  };
  const Case cases[] = {
      {"", ""},
      {"no escapes \\ here", "no escapes \\ here"},
      {"\\u4E2D", kZhong},
      {"\\u4e2d", kZhong},
      {"\\U4E2D", kZhong},
      {"\\u0041", "A"},
      {"\\u0020", ""},
      {"\\u3000", ""},
      {"\\ud800", ""},
      {"\\uDFFF", ""},
      {"\\ud83d\\ude00", ""},  // outside the basic plane
      {"\\uac00", ""},         // GBK lacks it
      {"\\u0000", ""},
      {"x\\u0041y\\U0041z\\u0041", "xAyAzA"},
      {"\\u004a\\u004A", "JJ"},
      {"\\u\xA3\xB4\xA3\xC5", "N"},  // full-width digits ４Ｅ read as 4E
      // Digits that are not all hexadecimal delete the six bytes.
      {"\\u12G4x", "x"},
      {"C:\\users", "C:"},
      {"\\u12\xD6\xD0!", "!"},
      // Cut short by the end of the text.
      {"\\u", ""},
      {"x\\u", "x"},
      {"ab\\u12", "ab"},
      {"\\u004", ""},
      // A decoded backslash, and a deleted escape, can form new escapes, which
      // only later escapes of the input replace.
      {"\\u005cu0041", "\\u0041"},
      {"\\u005cu0041 \\u0041", "A A"},
      {"\\u\\u0041", "41"},
      {"\\\\u0000u0041", "\\u0041"},
      {"\\\\u0000u0041\\u0041", "AA"},
      // GBK second bytes: 0x5C after a lead byte is no backslash.
      {"\x95\\u0041", "\x95\\u0041"},
      {"\\u0041\x95\\u0041", "A\x95\\u0041"},
      {"\\u0041\x95", "A\x95"},
      {"\\u123\x95\\u0041", "\\u0041"},
      {"\\u123\x95\\u0041 \\u0041", "A A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnescapeUnicode(c.t), c.want) << "UnescapeUnicode(" << Show(c.t) << ")";
    EXPECT_EQ(LiteralUnescapeUnicode(c.t), c.want) << "literal, " << Show(c.t);
  }
}

// Texts built from the pieces where replacements interact: escapes, partial
// escapes, lone backslashes and u's, hexadecimal digits in both cases, escapes
// of "\" and "u", GBK characters whose second byte is 0x5C, full-width digits
// and lead bytes with nothing after them.
Text RandomEscapeText(std::mt19937& rng, int pieces) {
  static const char* const kPieces[] = {
      "\\u",      "\\U",      "\\",
      "u",        "U",        "0",
      "4",        "1",        "a",
      "A",        "c",        "C",
      "5",        "f",        "00",
      "41",       "4e2d",     "005",
      "x",        " ",        "\\u0041",
      "\\U0041",  "\\u005c",  "\\u005C",
      "\\u0075",  "\\u0055",  "\\u0000",
      "\\u0020",  "\\u4E2D",  "\\u4e2d",
      "\\ud800",  "\\u00zz",  "\x95\x5C",
      "\x95",     "\xD6\xD0", "\xA3\xB0",
      "\xA3\xB5", "\xA3\xC1", "\\u\xA3\xB5\xA3\xB5",
      "u0041",    "U005c",    "\\\\",
  };
  Text t;
  for (int i = 0; i < pieces; ++i) t += kPieces[rng() % std::size(kPieces)];
  return t;
}

TEST(UnescapeUnicodeTest, AgreesWithTheLiteralAlgorithmOnRandomTexts) {
  std::mt19937 rng(20131220);
  for (int round = 0; round < 40000; ++round) {
    const Text t = RandomEscapeText(rng, 1 + static_cast<int>(rng() % 12));
    ASSERT_EQ(Show(UnescapeUnicode(t)), Show(LiteralUnescapeUnicode(t))) << Show(t);
  }
}

// Longer texts mix many escapes that are replaced together with the few that
// must be replaced one at a time.
TEST(UnescapeUnicodeTest, AgreesWithTheLiteralAlgorithmOnLongTexts) {
  std::mt19937 rng(936);
  const char* const kSafe[] = {"\\u4e2d", "\\u6587", "\\U0041", "\\u0062",  "\\u002F",
                               "\\u007c", "\\u00zz", "bdhd",    "\xD6\xD0", " "};
  for (int round = 0; round < 300; ++round) {
    Text t;
    while (t.size() < 2000) {
      t += rng() % 20 == 0 ? RandomEscapeText(rng, 3) : kSafe[rng() % std::size(kSafe)];
    }
    ASSERT_EQ(Show(UnescapeUnicode(t)), Show(LiteralUnescapeUnicode(t))) << Show(t);
  }
}

// The code page is set up on first use; threads that all start at once must
// still see it whole.
TEST(CodePageTest, ManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> failures(8, 0);
  for (int& failed : failures) {
    threads.emplace_back([&failed] {
      for (int i = 0; i < 200; ++i) {
        failed += CodeUnitToGbk(0x4E2D) != kZhong;
        failed += Utf8ToGbk(Bytes("\xE6\x96\x87")) != "\xCE\xC4";
        failed += PercentDecode("%E4%B8%AD") != kZhong;
        failed += UnescapeUnicode("\\u6587\\u4e2d") != "\xCE\xC4\xD6\xD0";
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int failed : failures) EXPECT_EQ(failed, 0);
}

}  // namespace
}  // namespace linkmill
