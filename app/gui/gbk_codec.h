// GBK text to and from the strings of the window, without loss (see
// text/gbk_unicode.h).
#pragma once

#include <QString>
#include <QStringView>
#include <string_view>

#include "text/types.h"

namespace linkmill {

// Line breaks stay as they are ("\r\n" gives U+000D U+000A).
QString GbkToUnicode(std::string_view gbk);

// A character that GBK lacks becomes "?" (a surrogate pair becomes one "?");
// U+0000 is dropped, since Text holds no zero byte.
Text UnicodeToGbk(QStringView text);

}  // namespace linkmill
