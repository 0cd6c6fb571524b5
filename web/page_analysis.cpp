#include "web/page_analysis.h"

#include "links/filter.h"
#include "text/extract.h"
#include "text/text.h"
#include "web/http_get.h"

namespace linkmill {

namespace {

constexpr std::string_view kAnalysed =
    "\xB7\xD6\xCE\xF6\xCD\xEA\xB1\xCF!!......";  // 分析完毕!!......
constexpr std::string_view kDeepAnalysis =
    "\xC9\xEE\xB6\xC8\xB7\xD6\xCE\xF6\xD6\xD0......";  // 深度分析中......

bool IsLinkHash(const Text& t) { return TextLength(t) == 32 || TextLength(t) == 40; }

// A text carries link hashes when its first pair of bars, raw or escaped as
// "%7C", encloses a bdhd (32 bytes) or qvod (40 bytes) hash.
bool CarriesLinkHashes(const Text& text) {
  return IsLinkHash(ExtractBetween(text, "|", "|")) ||
         IsLinkHash(ExtractBetween(text, "%7C", "%7C"));
}

void FilterText(Controls& controls, const TaskStarter& start, const Text& text) {
  controls.AppendLog(Text(kAnalysed));
  controls.WriteInput(text);
  start([&controls] { RunFilter(controls); });
}

}  // namespace

void RunPageAnalysis(Controls& controls, const TaskStarter& start) {
  // The whole input, line breaks and all, is the address.
  Text page = BytesToText(HttpGet(controls.ReadInput()));
  const Text host = ExtractBetween(controls.ReadInput(), "//", "/");

  if (CarriesLinkHashes(page)) {
    FilterText(controls, start, page);
    return;
  }

  controls.AppendLog(Text(kDeepAnalysis));
  // Without a host no script address can be built, so none is fetched.
  if (host == kUnknown) return;
  TextList scripts;
  ExtractBetween(page, "src=\"", "\"", scripts);
  for (const Text& script : scripts) {
    if (FindText(script, ".js") == -1) continue;
    if (TextLeft(script, 1) != "/") continue;
    page = BytesToText(HttpGet(ConcatText({"http://", host, script})));
    // Every passing script is filtered; one that passes does not end the search.
    if (CarriesLinkHashes(page)) FilterText(controls, start, page);
  }
}

}  // namespace linkmill
