// The services' reading of the two request targets and of percent escapes:
// whatever arrives, an accepted request names a hash of the right length in
// upper-case hexadecimal, and no escape decodes to a zero byte.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "services/link_fields.h"
#include "services/request.h"

using linkmill::fuzz::Require;
namespace services = linkmill::services;

namespace {

void CheckKey(const services::LookupKey& key, std::size_t length) {
  if (!key.fault.empty()) {
    Require(key.hash.empty(), "a refused request names a hash");
    return;
  }
  Require(services::IsHexDigits(key.hash, length), "an accepted hash is not hexadecimal digits");
  Require(services::UpperHex(key.hash) == key.hash, "an accepted hash is not upper case");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view target(reinterpret_cast<const char*>(data), size);
  CheckKey(services::ParseHashLookupTarget(target), services::kBdhdHashLength);
  CheckKey(services::ParseLinkQueryTarget(target), services::kQvodHashLength);
  if (const auto decoded = services::DecodePercentEscapes(target)) {
    Require(decoded->size() <= target.size(), "decoding made the text longer");
    // "%00" is refused: the only zero bytes are those that arrived raw.
    Require(std::count(decoded->begin(), decoded->end(), '\0') ==
                std::count(target.begin(), target.end(), '\0'),
            "decoding made a zero byte");
  }
  return 0;
}
