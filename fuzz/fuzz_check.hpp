// The fuzz targets' invariant check: a broken invariant aborts, which
// libFuzzer reports as a crash with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace framestow::fuzz {

[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

}  // namespace framestow::fuzz

#define CHECK(cond)                                \
  do {                                             \
    if (!(cond)) framestow::fuzz::fail(#cond);     \
  } while (0)
