#include "app/gui/gbk_codec.h"

#include "text/gbk_unicode.h"

namespace linkmill {

QString GbkToUnicode(std::string_view gbk) {
  const std::u16string units = GbkToUtf16(gbk);
  return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

Text UnicodeToGbk(QStringView text) {
  return Utf16ToGbk(std::u16string_view(text.utf16(), static_cast<std::size_t>(text.size())));
}

}  // namespace linkmill
