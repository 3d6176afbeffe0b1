// The program's own picture format: the magic "g24a", a BITMAPINFOHEADER,
// eight bytes of no meaning, then the compressed pixel stream. No Windows
// calls.
#pragma once
#include <cstddef>
#include <cstdio>

#include "convert/dib_picture.h"

const unsigned char PACKED_MAGIC[4] = {'g', '2', '4', 'a'};
const size_t PACKED_MAGIC_SIZE = sizeof PACKED_MAGIC;
const size_t PACKED_SKIPPED_SIZE = 8;
const size_t PACKED_STREAM_OFFSET = PACKED_MAGIC_SIZE + sizeof(BITMAPINFOHEADER) + PACKED_SKIPPED_SIZE;

// Decodes a whole compressed stream into zero-filled pixels. Decoding ends
// when the input ends or the next group of three no longer fits.
void DecodePackedPixels(const unsigned char* input, size_t inputSize, unsigned char* pixels,
                        size_t pixelSize);

// stream stands at the start of the file. Returns a malloc'ed buffer of
// GetDibImageSize(header) bytes (at least one byte), or null when the file is
// no packed picture, its header is short or its image size is negative or
// refused, or memory runs out. A damaged or short stream is no failure: what
// it does not reach stays zero.
unsigned char* ReadPackedPicture(FILE* stream, BITMAPINFOHEADER& header);
