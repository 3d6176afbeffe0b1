// The straightforward decoder the real one is measured against: the plain
// LZSS loop into a buffer of deltas, then a separate delta pass.
#pragma once
#include <cstddef>

// deltas holds pixelSize bytes of scratch space.
void ReferenceDecode(const unsigned char* input, size_t inputSize, unsigned char* deltas,
                     unsigned char* pixels, size_t pixelSize);
