// Small helpers shared by the fuzz targets (native build only).
#pragma once
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Pictures bigger than this are skipped: the targets look for faults in the
// code, not for the allocator's limits.
const size_t FUZZ_LARGEST_IMAGE = 4 * 1024 * 1024;

inline void FuzzCheck(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

// A read-only stream over the fuzzer's bytes; size must not be 0, which
// fmemopen refuses.
inline FILE* OpenInputStream(const unsigned char* data, size_t size) {
  return fmemopen(const_cast<unsigned char*>(data), size, "rb");
}
