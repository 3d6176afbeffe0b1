// Stores a DibPicture as the bytes of a BMP file. No Windows calls.
#pragma once
#include <cstdio>

#include "convert/dib_picture.h"

// "BM", the file size and the offset of the pixel rows; all else zero.
BITMAPFILEHEADER MakeBitmapFileHeader(const BITMAPINFOHEADER& header);

// File header, info header, colour table (or the three colour masks of a
// bit-field picture) and GetDibImageSize bytes of pixels. False when a write
// falls short, and, before anything is written, for a picture whose sizes are
// negative or refused or whose bit count has no colour-table size.
bool WriteDibToStream(FILE* stream, const DibPicture& picture);
