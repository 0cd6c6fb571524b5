// The only network access: one plain HTTP GET.
#pragma once

#include <string_view>

#include "text/types.h"

namespace linkmill {

// The body of url, or what arrived of it; the empty buffer on any failure.
// Never reports an error.
ByteBuffer HttpGet(std::string_view url);

}  // namespace linkmill
