// The whole filter task on in-memory controls: whatever the input box holds,
// the task fills numbered rows, bdhd rows first, puts the links into the input
// box and writes its three log lines.
#include <cstdint>
#include <string>

#include "app/memory_controls.h"
#include "fuzz/check.h"
#include "links/filter.h"
#include "text/text.h"

using linkmill::Text;
using linkmill::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  linkmill::MemoryControls controls(Text(reinterpret_cast<const char*>(data), size));
  linkmill::RunFilter(controls);

  const auto rows = controls.Rows();
  const auto log = controls.LogMessages();
  Require(log.size() == 3, "the filter did not write its three log lines");
  // 找到地址共 + count + 条......
  Require(log[2] == "\xD5\xD2\xB5\xBD\xB5\xD8\xD6\xB7\xB9\xB2" + std::to_string(rows.size()) +
                        "\xCC\xF5......",
          "the last log line does not count the rows");
  const Text input = controls.ReadInput();
  bool qvod_seen = false;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const linkmill::LinkRow& row = rows[r];
    Require(row[0] == std::to_string(r + 1), "a row's serial is not its index + 1");
    Require(row[1] == "BDHD" || row[1] == "QVOD", "a row has another type");
    Require(!(qvod_seen && row[1] == "BDHD"), "a bdhd row follows a qvod row");
    qvod_seen = qvod_seen || row[1] == "QVOD";
    Require(linkmill::FindText(row[6], row[1] == "BDHD" ? "bdhd://" : "qvod://") != -1,
            "a row's link does not hold its scheme");
    Require(input.find(row[6]) != Text::npos, "a row's link is not in the input box");
  }
  return 0;
}
