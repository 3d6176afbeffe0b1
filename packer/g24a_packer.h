// Makes packed pictures: the exact inverse of the program's packed reader.
// A byte-wise delta over groups of three, then LZSS with a zero-filled
// 4096-byte window written from index 4078 on, absolute 12-bit positions and
// matches of 3 to 18 bytes. No Windows calls.
#pragma once
#include <cstddef>
#include <vector>

#include "convert/dib_picture.h"

// The compressed stream of size pixel bytes. Only whole groups of three are
// carried: the last size mod 3 bytes decode as zero whatever they were.
std::vector<unsigned char> PackPixels(const unsigned char* pixels, size_t size);

// A whole packed file: magic, header, eight zero bytes and the stream of the
// GetDibImageSize(header) bytes at pixels. Empty for a negative or refused
// image size.
std::vector<unsigned char> MakePackedPicture(const BITMAPINFOHEADER& header,
                                             const unsigned char* pixels);
