// A decoded picture as a device-independent bitmap, and the size arithmetic
// that the loaders and the BMP writer share. No Windows calls: the decoder
// and the writer also build natively for fuzzing.
#pragma once
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
// The same little-endian layout as the platform's records.
struct BITMAPINFOHEADER {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
struct RGBQUAD {
  uint8_t rgbBlue;
  uint8_t rgbGreen;
  uint8_t rgbRed;
  uint8_t rgbReserved;
};
#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  uint16_t bfType;
  uint32_t bfSize;
  uint16_t bfReserved1;
  uint16_t bfReserved2;
  uint32_t bfOffBits;
};
#pragma pack(pop)
#endif

static_assert(sizeof(BITMAPINFOHEADER) == 40, "info header is 40 bytes");
static_assert(sizeof(RGBQUAD) == 4, "colour entry is 4 bytes");
static_assert(sizeof(BITMAPFILEHEADER) == 14, "file header is 14 bytes");

const int DIB_COLOR_TABLE_SIZE = 256;
// biCompression of a 16- or 32-bit picture whose three colour masks follow
// the info header.
const uint32_t DIB_COMPRESSION_BITFIELDS = 3;
const int DIB_MASK_COUNT = 3;

struct DibPicture {
  BITMAPINFOHEADER header;
  // For a bit-field picture the first three entries hold its masks.
  RGBQUAD colors[DIB_COLOR_TABLE_SIZE];
  unsigned char* bits;  // malloc'ed pixel rows, at least GetDibImageSize bytes
};

// The 40-byte header of an uncompressed bottom-up picture (top-down for a
// negative height); every other field zero.
BITMAPINFOHEADER MakeDibHeader(int32_t width, int32_t height, uint16_t bitCount);

// Every size is worked out in 64 bits; a value that does not fit a signed
// 32-bit integer is refused as -1, so no caller ever sees a wrapped size.
// A negative height (rows top-down) still gives a negative image size.
int32_t GetDibRowStride(const BITMAPINFOHEADER& header);
int32_t GetDibImageSize(const BITMAPINFOHEADER& header);
// 2, 4, 16 or 256 entries for 1, 2, 4 and 8 bits; 0 for 16, 24 and 32; -1
// for any other bit count.
int32_t GetDibColorCount(const BITMAPINFOHEADER& header);
// 3 for a 16- or 32-bit picture with colour masks, else 0.
int32_t GetDibMaskCount(const BITMAPINFOHEADER& header);
// File header, info header, colour table and masks. The file size is -1
// when the image size is negative or refused.
int32_t GetDibBitsOffset(const BITMAPINFOHEADER& header);
int32_t GetDibFileSize(const BITMAPINFOHEADER& header);
