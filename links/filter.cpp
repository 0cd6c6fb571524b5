#include "links/filter.h"

#include "links/scan.h"
#include "text/codepage.h"
#include "text/extract.h"
#include "text/size.h"
#include "text/text.h"

namespace linkmill {

namespace {

constexpr std::string_view kFiltering =
    "\xD5\xFD\xD4\xF2\xC9\xB8\xD1\xA1\xD6\xD0......";  // 正则筛选中......
constexpr std::string_view kFiltered =
    "\xC9\xB8\xD1\xA1\xCD\xEA\xB1\xCF!!......";  // 筛选完毕!!......
constexpr std::string_view kFoundPrefix = "\xD5\xD2\xB5\xBD\xB5\xD8\xD6\xB7\xB9\xB2";  // 找到地址共
constexpr std::string_view kFoundSuffix = "\xCC\xF5......";                            // 条......

// Text from a web page often arrives with its colon and bars percent-escaped
// and with "%uXXXX" escapes of UTF-16 code units.
Text DecodeWhenEscaped(Text text) {
  if (FindText(text, "%3A") == -1 || FindText(text, "%7C") == -1) return text;
  text = ReplaceText(text, "%u", "\\u", true);
  return UnescapeUnicode(PercentDecode(text));
}

// The extension is what follows the last dot; a bdhd name without a dot has
// none, a qvod name without a dot is its own extension.
Text Extension(const Text& name, Scheme scheme) {
  const TextList pieces = SplitText(name, ".");
  const std::int32_t least = scheme == Scheme::kBdhd ? 2 : 1;
  return ListCount(pieces) >= least ? ListItem(pieces, ListCount(pieces)) : Text();
}

void AddRow(Controls& controls, const Text& line, Scheme scheme) {
  const std::string_view prefix = scheme == Scheme::kBdhd ? "bdhd://" : "qvod://";
  // The continuation of a link that ran on over a line break gives no row.
  if (FindText(line, prefix) == -1) return;
  const Text size = ExtractBetween(line, "//", "|");
  const Text hash = ExtractBetween(line, "|", "|");
  const Text name = ExtractBetween(line + "#", hash + "|", "#");
  LinkRow row;
  row[1] = scheme == Scheme::kBdhd ? "BDHD" : "QVOD";
  row[2] = name;
  row[3] = Extension(name, scheme);
  // Sizes of 2 GiB and more are common; they are read in 64 bits.
  row[4] = FormatSize(TextToInt64(size), 2, true);
  row[5] = hash;
  row[6] = line;
  controls.AppendNumberedRow(row);
}

void AddRows(Controls& controls, const Text& links, Scheme scheme) {
  for (const Text& line : SplitText(links, "\r\n")) AddRow(controls, line, scheme);
}

}  // namespace

void RunFilter(Controls& controls) {
  controls.AppendLog(Text(kFiltering));
  controls.ClearRows();
  const Text text = DecodeWhenEscaped(controls.ReadInput() + "\r\n");
  const Text bdhd = ScanLinks(text, Scheme::kBdhd);
  AddRows(controls, bdhd, Scheme::kBdhd);
  const Text qvod = ScanLinks(text, Scheme::kQvod);
  AddRows(controls, qvod, Scheme::kQvod);
  controls.WriteInput(bdhd + qvod);
  controls.AppendLog(Text(kFiltered));
  controls.AppendLog(Text(kFoundPrefix) + IntToText(controls.RowCount()) + Text(kFoundSuffix));
}

}  // namespace linkmill
