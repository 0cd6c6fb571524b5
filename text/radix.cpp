#include "text/radix.h"

#include <gmpxx.h>

#include "text/text.h"

namespace linkmill {

namespace {

constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// "参数错误-进制只能在2-36之间"
constexpr std::string_view kBadBase =
    "\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3-\xBD\xF8\xD6\xC6\xD6\xBB\xC4\xDC\xD4\xDA"
    "2-36\xD6\xAE\xBC\xE4";
constexpr std::string_view kBadDigitHead = "\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3-";  // 参数错误-
constexpr std::string_view kBadDigitMiddle =
    "\xB2\xBB\xCA\xC7\xD2\xBB\xB8\xF6\xD3\xD0\xD0\xA7\xB5\xC4";  // 不是一个有效的
constexpr std::string_view kBadDigitTail = "\xBD\xF8\xD6\xC6\xCA\xFD\xA3\xA1";  // 进制数！

// The Chinese numeral of a base: its currency amount without the closing "元整".
Text BaseNumeral(std::int32_t base) {
  Text amount = ChineseAmount(base);
  return TextLeft(amount, TextLength(amount) - 4);
}

}  // namespace

Text ConvertRadix(std::string_view text, std::int32_t from_base, std::int32_t to_base) {
  if (from_base < 2 || from_base > 36 || to_base < 2 || to_base > 36) {
    return Text(kBadBase);
  }
  Text t = ToUpper(ToHalfWidth(text));
  const std::string_view valid = kDigits.substr(0, static_cast<std::size_t>(from_base));
  for (char c : t) {
    if (valid.find(c) == std::string_view::npos) {
      return ConcatText({kBadDigitHead, t, kBadDigitMiddle, BaseNumeral(from_base), kBadDigitTail});
    }
  }
  if (from_base == to_base) {
    return t;
  }
  if (t.empty()) {
    return "0";
  }
  // Every byte of t is a digit of from_base, so GMP reads the whole of it.
  mpz_class value;
  mpz_set_str(value.get_mpz_t(), t.c_str(), from_base);
  // A negative base asks GMP for upper-case letters.
  return value.get_str(-to_base);
}

}  // namespace linkmill
