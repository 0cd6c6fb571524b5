// The log line format.
#pragma once

#include <string_view>

#include "text/types.h"

namespace linkmill {

inline constexpr std::string_view kLogReady =
    "\xB3\xF5\xCA\xBC\xBB\xAF\xCD\xEA\xB1\xCF......";  // 初始化完毕......

// "[" + the local date and time in Chinese form + "]".
Text LogStamp();

// The whole log after ResetLog: stamp + "==>初始化完毕......".
Text FirstLogLine();

// What AppendLog adds: "\r\n" + stamp + "==>" + message.
Text LogLine(std::string_view message);

}  // namespace linkmill
