// The services' mapping-file reader: every mapping it accepts is well formed,
// every fault names a line of the file, and what export writes reads back as
// the same mappings without a fault.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "fuzz/check.h"
#include "services/link_fields.h"
#include "services/mapping_file.h"

using linkmill::fuzz::Require;
namespace services = linkmill::services;

namespace {

bool SameMappings(const services::Mappings& a, const services::Mappings& b) {
  if (a.bdhd.size() != b.bdhd.size() || a.qvod.size() != b.qvod.size()) return false;
  for (std::size_t i = 0; i < a.bdhd.size(); ++i) {
    if (a.bdhd[i].bdhd_hash != b.bdhd[i].bdhd_hash || a.bdhd[i].ed2k_hash != b.bdhd[i].ed2k_hash) {
      return false;
    }
  }
  for (std::size_t i = 0; i < a.qvod.size(); ++i) {
    if (a.qvod[i].qvod_hash != b.qvod[i].qvod_hash || a.qvod[i].bdhd_link != b.qvod[i].bdhd_link) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const services::MappingFile file = services::ParseMappingFile(bytes);

  const auto lines = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
  int previous = 0;
  for (const services::LineFault& fault : file.faults) {
    Require(fault.line > previous && fault.line <= lines, "a fault names no line of the file");
    Require(!fault.message.empty(), "a fault without a message");
    previous = fault.line;
  }
  for (const services::BdhdMapping& m : file.mappings.bdhd) {
    Require(services::IsHexDigits(m.bdhd_hash, services::kBdhdHashLength) &&
                services::UpperHex(m.bdhd_hash) == m.bdhd_hash &&
                services::IsHexDigits(m.ed2k_hash, services::kEd2kHashLength),
            "an accepted bdhd mapping is malformed");
  }
  for (const services::QvodMapping& m : file.mappings.qvod) {
    Require(services::IsHexDigits(m.qvod_hash, services::kQvodHashLength) &&
                services::UpperHex(m.qvod_hash) == m.qvod_hash &&
                services::BdhdLinkFault(m.bdhd_link).empty(),
            "an accepted qvod mapping is malformed");
  }

  const auto written = services::FormatMappingFile(file.mappings);
  Require(written.has_value(), "accepted mappings cannot be written");
  const services::MappingFile again = services::ParseMappingFile(*written);
  Require(again.faults.empty(), "written mappings read back with faults");
  Require(SameMappings(again.mappings, file.mappings), "written mappings read back otherwise");
  return 0;
}
