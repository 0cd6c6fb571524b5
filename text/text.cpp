#include "text/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <functional>
#include <limits>
#include <vector>

namespace linkmill {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Texts and buffers count their length in 32 bits; a larger count is out of range.
constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

bool IsLead(unsigned char c) { return c >= 0x80; }

unsigned char Byte(std::string_view t, std::size_t i) { return static_cast<unsigned char>(t[i]); }

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

std::int32_t ClampLength(std::size_t n) {
  return static_cast<std::int32_t>(std::min<std::size_t>(n, kMaxCount));
}

// Finds a search text at character starts, left to right, in time linear in
// the text: a prefix table finds every byte-level occurrence once (so a
// search text like "aab" in a run of "a" costs no rescanning), and a cursor
// that walks the characters tells which occurrences start a character. The
// text itself is never copied.
class Matcher {
 public:
  Matcher(std::string_view s, bool ignore_case) : s_(s), ignore_case_(ignore_case) {
    if (s_.size() > small_.size()) large_.resize(s_.size());
    std::size_t* fail = Table();
    // fail[i]: length of the longest proper border of s[0..i].
    fail[0] = 0;
    std::size_t k = 0;
    for (std::size_t i = 1; i < s_.size(); ++i) {
      while (k > 0 && Fold(Byte(s_, i)) != Fold(Byte(s_, k))) k = fail[k - 1];
      if (Fold(Byte(s_, i)) == Fold(Byte(s_, k))) ++k;
      fail[i] = k;
    }
    first_ = Fold(Byte(s_, 0));
    first_other_case_ = first_;
    if (ignore_case_ && first_ >= 'a' && first_ <= 'z') {
      first_other_case_ = static_cast<unsigned char>(first_ - ('a' - 'A'));
    }
  }

  // 0-based offset of the first occurrence that starts a character of the walk
  // beginning at byte from (which counts as a character start whatever it is),
  // or kNone. Occurrences must fit in the text whole.
  std::size_t Find(std::string_view t, std::size_t from) const {
    const std::size_t m = s_.size();
    const std::size_t n = t.size();
    if (from >= n || n - from < m) return kNone;
    const std::size_t* fail = Table();
    std::size_t cursor = from;  // next character start at or before the scan
    std::size_t k = 0;          // bytes of s matched so far
    std::size_t i = from;
    while (i < n) {
      if (k == 0) {
        i = NextFirstByte(t, i);
        if (i == kNone) return kNone;
      }
      const unsigned char x = Fold(Byte(t, i));
      while (k > 0 && x != Fold(Byte(s_, k))) k = fail[k - 1];
      if (x == Fold(Byte(s_, k))) ++k;
      ++i;
      if (k == m) {
        const std::size_t q = i - m;
        cursor = WalkTo(t, cursor, q);
        if (cursor == q) return q;
        k = fail[k - 1];
      }
    }
    return kNone;
  }

 private:
  // The first character start at or after q, walking from the character start cursor.
  static std::size_t WalkTo(std::string_view t, std::size_t cursor, std::size_t q) {
    while (cursor < q) {
      // Eight one-byte characters at once: no lead byte among them.
      std::uint64_t word = 0;
      if (q - cursor >= sizeof word) {
        std::memcpy(&word, t.data() + cursor, sizeof word);
        if ((word & 0x8080808080808080u) == 0) {
          cursor += sizeof word;
          continue;
        }
      }
      cursor += IsLead(Byte(t, cursor)) ? 2 : 1;
    }
    return cursor;
  }

  unsigned char Fold(unsigned char c) const { return ignore_case_ ? FoldAscii(c) : c; }

  std::size_t NextFirstByte(std::string_view t, std::size_t i) const {
    if (first_ == first_other_case_) {
      const void* hit = std::memchr(t.data() + i, first_, t.size() - i);
      return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - t.data()) : kNone;
    }
    for (; i < t.size(); ++i) {
      const unsigned char c = Byte(t, i);
      if (c == first_ || c == first_other_case_) return i;
    }
    return kNone;
  }

  const std::size_t* Table() const { return large_.empty() ? small_.data() : large_.data(); }
  std::size_t* Table() { return large_.empty() ? small_.data() : large_.data(); }

  std::string_view s_;
  bool ignore_case_;
  unsigned char first_ = 0;
  unsigned char first_other_case_ = 0;
  std::array<std::size_t, 64> small_;
  std::vector<std::size_t> large_;
};

// The one-byte form of a two-byte character that ToHalfWidth folds, or 0.
unsigned char HalfWidthOf(unsigned char lead, unsigned char second) {
  if (lead == 0xA3 && second >= 0xA1 && second <= 0xFE) {
    return static_cast<unsigned char>(second - 0x80);
  }
  if (lead == 0xA1) {
    switch (second) {
      case 0xA1:
        return 0x20;
      case 0xAB:
        return 0x7E;
      case 0xEE:
      case 0xEF:
        return 0x2A;
      default:
        break;
    }
  }
  return 0;
}

// Reads a text as ToHalfWidth would fold it, one folded character at a time,
// without building the folded copy. A two-byte character that does not fold
// reads as its lead byte, which no number or white space begins with.
class HalfWidthReader {
 public:
  explicit HalfWidthReader(std::string_view t) : t_(t) {}

  bool AtEnd() const {
    // A dangling lead byte is dropped by the folding.
    return i_ >= t_.size() || (i_ + 1 == t_.size() && IsLead(Byte(t_, i_)));
  }

  unsigned char Peek() const {
    const unsigned char c = Byte(t_, i_);
    if (!IsLead(c)) return c;
    const unsigned char half = HalfWidthOf(c, Byte(t_, i_ + 1));
    return half != 0 ? half : c;
  }

  void Next() { i_ += IsLead(Byte(t_, i_)) ? 2 : 1; }

 private:
  std::string_view t_;
  std::size_t i_ = 0;
};

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Steps 1 to 3 shared by TextToInt and TextToInt64: leaves the reader on the
// first digit and tells whether a minus sign was read.
bool SkipToDigits(HalfWidthReader& r) {
  while (!r.AtEnd() && IsSpace(r.Peek())) r.Next();
  bool negative = false;
  if (!r.AtEnd() && (r.Peek() == '+' || r.Peek() == '-')) {
    negative = r.Peek() == '-';
    r.Next();
  }
  return negative;
}

}  // namespace

std::int32_t TextLength(std::string_view t) { return ClampLength(t.size()); }

Text TextLeft(std::string_view t, std::int64_t n) {
  if (n <= 0) return Text();
  return Text(t.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(n, t.size()))));
}

Text TextRight(std::string_view t, std::int64_t n) {
  if (n <= 0) return Text();
  const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, t.size()));
  return Text(t.substr(t.size() - k));
}

Text TextMid(std::string_view t, std::int64_t start, std::int64_t n) {
  if (start < 1 || n <= 0 || static_cast<std::uint64_t>(start) > t.size()) return Text();
  const std::size_t from = static_cast<std::size_t>(start - 1);
  const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, t.size() - from));
  return Text(t.substr(from, k));
}

Text ConcatText(std::initializer_list<std::string_view> parts) {
  std::size_t total = 0;
  for (std::string_view p : parts) total += p.size();
  Text out;
  out.reserve(total);
  for (std::string_view p : parts) out.append(p);
  return out;
}

Text BlankText(std::int64_t n) {
  if (n < 1 || n > kMaxCount) return Text();
  return Text(static_cast<std::size_t>(n), ' ');
}

Text TrimEnd(std::string_view t) {
  std::size_t keep = 0;  // end of the last character that is not a blank
  std::size_t i = 0;
  while (i < t.size()) {
    const unsigned char c = Byte(t, i);
    if (!IsLead(c)) {
      if (c != ' ') keep = i + 1;
      ++i;
    } else if (i + 1 == t.size()) {
      keep = t.size();  // a dangling lead byte is no blank
      break;
    } else {
      if (!(c == 0xA1 && Byte(t, i + 1) == 0xA1)) keep = i + 2;
      i += 2;
    }
  }
  return Text(t.substr(0, keep));
}

std::int32_t FindText(std::string_view t, std::string_view s, std::int64_t start,
                      bool ignore_case) {
  const std::uint64_t from = start < 1 ? 0 : static_cast<std::uint64_t>(start - 1);
  if (from >= t.size()) return -1;
  if (s.empty()) return 1;
  const std::size_t hit = Matcher(s, ignore_case).Find(t, static_cast<std::size_t>(from));
  return hit == kNone ? -1 : ClampLength(hit + 1);
}

int CompareText(std::string_view a, std::string_view b) {
  const int c = a.compare(b);  // char_traits<char> compares bytes as unsigned
  return (c > 0) - (c < 0);
}

TextList SplitText(std::string_view t, std::string_view d) {
  TextList pieces;
  if (t.empty()) return pieces;
  if (d.empty()) {
    pieces.emplace_back(t);
    return pieces;
  }
  const Matcher matcher(d, false);
  std::size_t piece = 0;
  for (std::size_t hit = matcher.Find(t, 0); hit != kNone; hit = matcher.Find(t, piece)) {
    pieces.emplace_back(t.substr(piece, hit - piece));
    piece = hit + d.size();
  }
  if (piece < t.size()) pieces.emplace_back(t.substr(piece));
  return pieces;
}

Text ReplaceText(std::string_view t, std::string_view s, std::string_view r, bool exact) {
  if (t.empty() || s.empty()) return Text(t);
  const Matcher matcher(s, !exact);
  Text out;
  std::size_t done = 0;
  for (std::size_t hit = matcher.Find(t, 0); hit != kNone; hit = matcher.Find(t, done)) {
    if (out.empty()) out.reserve(t.size());
    out.append(t.substr(done, hit - done));
    out.append(r);
    done = hit + s.size();
  }
  out.append(t.substr(done));
  return out;
}

Text ToUpper(std::string_view t) {
  Text out(t);
  for (std::size_t i = 0; i < out.size(); i += IsLead(Byte(out, i)) ? 2 : 1) {
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - ('a' - 'A'));
  }
  return out;
}

Text ToHalfWidth(std::string_view t) {
  Text out;
  out.reserve(t.size());
  std::size_t i = 0;
  while (i < t.size()) {
    const unsigned char c = Byte(t, i);
    if (!IsLead(c)) {
      out.push_back(static_cast<char>(c));
      ++i;
    } else if (i + 1 == t.size()) {
      break;  // a dangling lead byte is dropped
    } else {
      const unsigned char half = HalfWidthOf(c, Byte(t, i + 1));
      if (half != 0) {
        out.push_back(static_cast<char>(half));
      } else {
        out.append(t.substr(i, 2));
      }
      i += 2;
    }
  }
  return out;
}

Text CharFromCode(std::int32_t code) {
  const auto byte = static_cast<unsigned char>(static_cast<std::uint32_t>(code) & 0xFFu);
  if (byte == 0) return Text();
  return Text(1, static_cast<char>(byte));
}

std::int32_t TextToInt(std::string_view t) {
  HalfWidthReader r(t);
  const bool negative = SkipToDigits(r);
  std::uint32_t value = 0;  // unsigned, so the wrap is defined
  for (; !r.AtEnd() && IsDigit(r.Peek()); r.Next()) {
    value = value * 10u + static_cast<std::uint32_t>(r.Peek() - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

std::int64_t TextToInt64(std::string_view t) {
  HalfWidthReader r(t);
  const bool negative = SkipToDigits(r);
  // The magnitude saturates one above INT64_MAX, which is INT64_MIN's.
  constexpr std::uint64_t kCap =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1u;
  std::uint64_t value = 0;
  for (; !r.AtEnd() && IsDigit(r.Peek()); r.Next()) {
    const auto digit = static_cast<std::uint64_t>(r.Peek() - '0');
    value = value > (kCap - digit) / 10u ? kCap : value * 10u + digit;
  }
  if (negative) {
    return value == kCap ? std::numeric_limits<std::int64_t>::min()
                         : -static_cast<std::int64_t>(value);
  }
  return value >= kCap ? std::numeric_limits<std::int64_t>::max()
                       : static_cast<std::int64_t>(value);
}

double TextToReal(std::string_view t) {
  HalfWidthReader r(t);
  while (!r.AtEnd() && IsSpace(r.Peek())) r.Next();
  // Gather the folded characters that may belong to a decimal number; the
  // parser below takes the longest prefix of them that reads as one.
  std::string number;
  bool negative = false;
  if (!r.AtEnd() && (r.Peek() == '+' || r.Peek() == '-')) {
    negative = r.Peek() == '-';
    r.Next();
  }
  for (; !r.AtEnd(); r.Next()) {
    const unsigned char c = r.Peek();
    if (!IsDigit(c) && c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-') break;
    number.push_back(static_cast<char>(c));
  }
  // Only decimal digits may begin the number: from_chars would also read
  // "inf" and "nan", which are not numbers here.
  if (number.empty() || !(IsDigit(number[0]) || number[0] == '.')) return 0.0;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  // A value beyond the range of a double reads as unreadable, like no number.
  if (ec != std::errc() || end == number.data()) return 0.0;
  return negative ? -value : value;
}

Text IntToText(std::int64_t i) { return std::to_string(i); }

Text RealToText(double x) {
  // to_chars writes like "%.13g" in the C locale, whatever locale the process runs in.
  std::array<char, 64> buf{};
  const auto [end, ec] =
      std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::general, 13);
  if (ec != std::errc()) return Text();
  return Text(buf.data(), end);
}

double RoundReal(double x, int n) {
  if (x == 0.0 || std::isnan(x)) return x;
  const double magnitude = std::fabs(x);
  const double scale = std::pow(10.0, std::fabs(static_cast<double>(n)));
  auto round_half_up = [](double y) {
    double whole = 0.0;
    const double fraction = std::modf(y + 1e-12, &whole);
    return fraction >= 0.5 ? whole + 1.0 : whole;
  };
  double result = 0.0;
  if (n > 0) {
    const double y = magnitude * scale;
    // So many decimals that the scaled value overflows: nothing to round.
    if (!std::isfinite(y)) return x;
    result = round_half_up(y) / scale;
  } else if (n == 0) {
    result = round_half_up(magnitude);
  } else {
    // Rounding to a power of ten beyond any double gives 0, not inf * 0.
    if (!std::isfinite(scale)) return std::copysign(0.0, x);
    result = round_half_up(magnitude / scale) * scale;
  }
  return std::copysign(result, x);
}

Text ChineseAmount(double x) {
  static constexpr std::string_view kDigits[] = {
      "\xC1\xE3",  // 零
      "\xD2\xBB",  // 一
      "\xB6\xFE",  // 二
      "\xC8\xFD",  // 三
      "\xCB\xC4",  // 四
      "\xCE\xE5",  // 五
      "\xC1\xF9",  // 六
      "\xC6\xDF",  // 七
      "\xB0\xCB",  // 八
      "\xBE\xC5",  // 九
  };
  constexpr std::string_view kTen = "\xCA\xAE";            // 十
  constexpr std::string_view kWhole = "\xD4\xAA\xD5\xFB";  // 元整
  // Only whole amounts from 1 to 99 are written; anything else is the empty text.
  if (!(x >= 1.0 && x <= 99.0) || x != std::floor(x)) return Text();
  const int v = static_cast<int>(x);
  Text out;
  if (v >= 10) {
    out.append(kDigits[v / 10]);
    out.append(kTen);
    if (v % 10 != 0) out.append(kDigits[v % 10]);
  } else {
    out.append(kDigits[v]);
  }
  out.append(kWhole);
  return out;
}

DateTime CurrentDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  DateTime dt;
  if (localtime_r(&now, &local) == nullptr) return dt;
  dt.year = local.tm_year + 1900;
  dt.month = local.tm_mon + 1;
  dt.day = local.tm_mday;
  dt.hour = local.tm_hour;
  dt.minute = local.tm_min;
  dt.second = std::min(local.tm_sec, 59);  // a leap second reads as 59
  return dt;
}

Text DateTimeText(const DateTime& dt) {
  constexpr std::string_view kYear = "\xC4\xEA";    // 年
  constexpr std::string_view kMonth = "\xD4\xC2";   // 月
  constexpr std::string_view kDay = "\xC8\xD5";     // 日
  constexpr std::string_view kHour = "\xCA\xB1";    // 时
  constexpr std::string_view kMinute = "\xB7\xD6";  // 分
  constexpr std::string_view kSecond = "\xC3\xEB";  // 秒
  Text out =
      ConcatText({IntToText(dt.year), kYear, IntToText(dt.month), kMonth, IntToText(dt.day), kDay});
  // The time is cut after its lowest field that is not zero.
  const int fields = dt.second != 0 ? 3 : dt.minute != 0 ? 2 : dt.hour != 0 ? 1 : 0;
  if (fields >= 1) out += ConcatText({IntToText(dt.hour), kHour});
  if (fields >= 2) out += ConcatText({IntToText(dt.minute), kMinute});
  if (fields >= 3) out += ConcatText({IntToText(dt.second), kSecond});
  return out;
}

std::int32_t BytesLength(const ByteBuffer& b) { return ClampLength(b.size()); }

ByteBuffer BlankBytes(std::int64_t n) {
  if (n <= 0 || n > kMaxCount) return ByteBuffer();
  return ByteBuffer(static_cast<std::size_t>(n), 0);
}

ByteBuffer BytesLeft(const ByteBuffer& b, std::int64_t n) {
  if (n <= 0) return ByteBuffer();
  const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, b.size()));
  return ByteBuffer(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(k));
}

ByteBuffer ConcatBytes(std::initializer_list<const ByteBuffer*> parts) {
  std::size_t total = 0;
  for (const ByteBuffer* p : parts) total += p ? p->size() : 0;
  ByteBuffer out;
  out.reserve(total);
  for (const ByteBuffer* p : parts) {
    if (p) out.insert(out.end(), p->begin(), p->end());
  }
  return out;
}

ByteBuffer TextToBytes(std::string_view t) { return ByteBuffer(t.begin(), t.end()); }

ByteBuffer IntToBytes(std::int32_t i) {
  const auto u = static_cast<std::uint32_t>(i);
  return ByteBuffer{static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                    static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
}

Text BytesToText(const ByteBuffer& b) {
  const auto zero = std::find(b.begin(), b.end(), 0);
  return Text(b.begin(), zero);
}

void SortIntList(IntList& list, bool ascending) {
  if (ascending) {
    std::sort(list.begin(), list.end());
  } else {
    std::sort(list.begin(), list.end(), std::greater<>());
  }
}

}  // namespace linkmill
