// Reads the picture that the packing tool packs: a BMP file of 24 bits per
// pixel, uncompressed. No Windows calls.
#pragma once
#include <vector>

#include "convert/dib_picture.h"

// header becomes a 40-byte info header with a positive height; pixels its
// rows bottom-up, GetDibImageSize(header) bytes. Top-down files are turned.
bool ReadBitmapFile24(const std::vector<unsigned char>& file, BITMAPINFOHEADER& header,
                      std::vector<unsigned char>& pixels);
