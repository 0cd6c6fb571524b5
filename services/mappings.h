// The two kinds of mapping the services answer from.
#pragma once

#include <string>
#include <vector>

namespace linkmill::services {

// A bdhd hash and the ed2k hash of the same file, both 32 hexadecimal digits.
struct BdhdMapping {
  std::string bdhd_hash;
  std::string ed2k_hash;
};

// A qvod hash (40 hexadecimal digits) and a bdhd link of the same file, GBK.
struct QvodMapping {
  std::string qvod_hash;
  std::string bdhd_link;
};

struct Mappings {
  std::vector<BdhdMapping> bdhd;
  std::vector<QvodMapping> qvod;
};

}  // namespace linkmill::services
