// The convert task behind "转换": every BDHD and QVOD row becomes an ED2K row.
#pragma once

#include "app/controls.h"
#include "text/types.h"

namespace linkmill {

struct ServiceHosts {
  Text hash_lookup;  // host[:port] of the hash-lookup service
  Text link_query;   // host[:port] of the link-query service
};

void RunConvert(Controls& controls, const ServiceHosts& hosts);

}  // namespace linkmill
