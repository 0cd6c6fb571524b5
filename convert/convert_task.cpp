#include "convert/convert_task.h"

#include "convert/converters.h"
#include "text/text.h"

namespace linkmill {

namespace {

constexpr int kTypeColumn = 1;
constexpr int kLinkColumn = 6;
constexpr std::string_view kConverted =
    "\xD7\xAA\xBB\xBB\xCD\xEA\xB1\xCF!!......";  // 转换完毕!!......

}  // namespace

void RunConvert(Controls& controls, const ServiceHosts& hosts) {
  // Rows added after this point (by a filter task started meanwhile) are not visited.
  const int count = controls.RowCount();
  for (int row = 0; row < count; ++row) {
    if (CompareText(controls.GetCell(row, kTypeColumn), "BDHD") == 0) {
      const Text ed2k = BdhdToEd2k(controls.GetCell(row, kLinkColumn), hosts.hash_lookup);
      controls.SetCell(row, kTypeColumn, "ED2K");
      controls.SetCell(row, kLinkColumn, ed2k);
    }
    // Read again: a row just converted above is "ED2K" now and is passed over.
    if (CompareText(controls.GetCell(row, kTypeColumn), "QVOD") == 0) {
      const Text bdhd = QvodToBdhd(controls.GetCell(row, kLinkColumn), hosts.link_query);
      controls.SetCell(row, kTypeColumn, "BDHD");
      controls.SetCell(row, kLinkColumn, bdhd);
      const Text ed2k = BdhdToEd2k(bdhd, hosts.hash_lookup);
      controls.SetCell(row, kTypeColumn, "ED2K");
      controls.SetCell(row, kLinkColumn, ed2k);
    }
  }
  controls.AppendLog(Text(kConverted));
}

}  // namespace linkmill
