// What a fuzz target does when the code under test disagrees with what it
// must do: say so and abort, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace linkmill::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace linkmill::fuzz
