// Turning one link into another through the two lookup services.
#pragma once

#include <string_view>

#include "text/types.h"

namespace linkmill {

// host is host[:port] of the service, as it stands after "http://".
Text BdhdToEd2k(std::string_view link, std::string_view hash_lookup_host);
Text QvodToBdhd(std::string_view link, std::string_view link_query_host);

}  // namespace linkmill
