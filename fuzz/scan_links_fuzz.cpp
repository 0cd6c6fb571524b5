// ScanLinks over free text for both schemes: every result is a list of clean
// links of the scheme, each ended by a line break.
#include <cstdint>
#include <string_view>

#include "fuzz/check.h"
#include "links/scan.h"
#include "text/text.h"

using linkmill::fuzz::Require;

namespace {

void Check(std::string_view text, linkmill::Scheme scheme) {
  const bool bdhd = scheme == linkmill::Scheme::kBdhd;
  const std::string_view prefix = bdhd ? "bdhd://" : "qvod://";
  const linkmill::Text links = linkmill::ScanLinks(text, scheme);
  if (links.empty()) return;
  Require(links.starts_with(prefix), "the links do not start with the scheme's prefix");
  Require(links.ends_with("\r\n"), "the last link has no line break");
  Require(linkmill::FindText(links, "#") == -1, "a link keeps a \"#\"");
  // A link's body after "//" is longer than 40 bytes before its tail is cleaned
  // of at most "|/" and its "#"s.
  Require(links.size() > prefix.size(), "a link is no longer than its prefix");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Check(text, linkmill::Scheme::kBdhd);
  Check(text, linkmill::Scheme::kQvod);
  return 0;
}
