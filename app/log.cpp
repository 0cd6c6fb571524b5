#include "app/log.h"

#include "text/text.h"

namespace linkmill {

Text LogStamp() { return "[" + DateTimeText(CurrentDateTime()) + "]"; }

Text FirstLogLine() { return LogStamp() + "==>" + Text(kLogReady); }

Text LogLine(std::string_view message) { return "\r\n" + LogStamp() + "==>" + Text(message); }

}  // namespace linkmill
