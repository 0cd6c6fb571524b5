// The text form of mappings that import reads and export writes: one mapping a
// line, three fields separated by tabs,
//   bdhd<TAB><bdhd hash, 32 hex><TAB><ed2k hash, 32 hex>
//   qvod<TAB><qvod hash, 40 hex><TAB><bdhd link>
// with blank lines and lines beginning "#" left out. A file that is valid UTF-8
// is read as UTF-8, any other as GBK; links are kept as GBK, the code page the
// client compares in. Export writes UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/mappings.h"

namespace linkmill::services {

struct LineFault {
  int line = 0;  // from 1
  std::string message;
};

struct MappingFile {
  Mappings mappings;              // hashes used as keys in upper case
  std::vector<LineFault> faults;  // one per bad line, in line order
  bool gbk = false;               // read as GBK because it is not valid UTF-8
};

MappingFile ParseMappingFile(std::string_view bytes);

// Every mapping as a line of UTF-8; nothing when a link is not valid GBK.
std::optional<std::string> FormatMappingFile(const Mappings& mappings);

}  // namespace linkmill::services
