// The numbers of the packed pixel stream that its reader and its packer
// share. No Windows calls.
#pragma once
#include <cstddef>
#include <cstdint>

// The LZSS window, all zero at the start.
const size_t PACKED_WINDOW_SIZE = 4096;
const uint32_t PACKED_WINDOW_MASK = PACKED_WINDOW_SIZE - 1;
// The common coder writes its window from index 4078 on while the reader
// counts from 0: every stored position is 18 short of the one read.
const uint32_t PACKED_POSITION_BIAS = 18;
const size_t PACKED_SHORTEST_MATCH = 3;
const size_t PACKED_LONGEST_MATCH = 18;
// The delta runs over groups of this many bytes.
const size_t PACKED_GROUP_SIZE = 3;
