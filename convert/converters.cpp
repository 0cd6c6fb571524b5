#include "convert/converters.h"

#include "text/extract.h"
#include "text/text.h"
#include "web/http_get.h"

namespace linkmill {

namespace {

// A bdhd hash and an ed2k hash are both 32 bytes; nothing else is checked.
constexpr std::int32_t kHashLength = 32;

}  // namespace

Text BdhdToEd2k(std::string_view link, std::string_view hash_lookup_host) {
  const Text hash = ExtractBetween(link, "|", "|");
  const Text size = ExtractBetween(link, "//", "|");
  // The name runs from the bar behind the hash to the first "#" or the end,
  // bars included.
  const Text name = ExtractBetween(ConcatText({link, "#"}), ConcatText({hash, "|"}), "#");

  Text ed2k_hash;
  if (TextLength(hash) == kHashLength) {
    ed2k_hash = BytesToText(HttpGet(ConcatText({"http://", hash_lookup_host, "/f2e?ID=", hash})));
  }
  if (TextLength(ed2k_hash) != kHashLength) return {};
  return ConcatText({"ed2k://|file|", name, "|", size, "|", ed2k_hash, "|/"});
}

Text QvodToBdhd(std::string_view link, std::string_view link_query_host) {
  // The link goes last, so it runs to the end of the address.
  Text answer = BytesToText(
      HttpGet(ConcatText({"http://", link_query_host, "/queryfid?type=str&url=", link})));
  if (CompareText(TextLeft(answer, 7), "bdhd://") != 0) return {};
  return answer;
}

}  // namespace linkmill
