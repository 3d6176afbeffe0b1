// Reads the picture that the packing tool packs: a BMP file of 24 bits per
// pixel, uncompressed. No Windows calls.
#pragma once
#include <vector>

#include "convert/dib_picture.h"

// Why a file was not taken; the packing tool names the reason.
enum BitmapFault {
  BITMAP_READ,           // taken
  BITMAP_NOT_24_BIT,     // no BMP, or not uncompressed 24 bits per pixel
  BITMAP_NO_SIZE,        // width or height zero, or a negative width
  BITMAP_TOO_LARGE,      // its rows do not fit in 2 GB
  BITMAP_PIXELS_MISSING  // the file is shorter than its rows
};

// header becomes a 40-byte info header with a positive height; pixels its
// rows bottom-up, GetDibImageSize(header) bytes. Top-down files are turned.
// Every size is checked against the file before a byte is copied.
BitmapFault ReadBitmapFile24Fault(const std::vector<unsigned char>& file, BITMAPINFOHEADER& header,
                                  std::vector<unsigned char>& pixels);
bool ReadBitmapFile24(const std::vector<unsigned char>& file, BITMAPINFOHEADER& header,
                      std::vector<unsigned char>& pixels);
// A sentence in English for the packing tool's error line.
const char* DescribeBitmapFault(BitmapFault fault);
