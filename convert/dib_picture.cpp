#include "convert/dib_picture.h"

#include <cstdint>
#include <cstring>

namespace {

const int64_t FILE_AND_INFO_HEADER_SIZE = 14 + 40;

int32_t FitOrRefuse(int64_t value) {
  return (value >= INT32_MIN && value <= INT32_MAX) ? static_cast<int32_t>(value) : -1;
}

struct ColorCountEntry {
  uint16_t bitCount;
  int32_t colorCount;
};

const ColorCountEntry COLOR_COUNT_TABLE[] = {
    {1, 2}, {2, 4}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0},
};

}  // namespace

BITMAPINFOHEADER MakeDibHeader(int32_t width, int32_t height, uint16_t bitCount) {
  BITMAPINFOHEADER header;
  std::memset(&header, 0, sizeof header);
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  return header;
}

int32_t GetDibRowStride(const BITMAPINFOHEADER& header) {
  int64_t bits = static_cast<int64_t>(header.biWidth) * header.biBitCount;
  return FitOrRefuse((bits + 31) / 32 * 4);
}

int32_t GetDibImageSize(const BITMAPINFOHEADER& header) {
  int32_t stride = GetDibRowStride(header);
  if (stride < 0) return -1;
  return FitOrRefuse(static_cast<int64_t>(stride) * header.biHeight);
}

int32_t GetDibColorCount(const BITMAPINFOHEADER& header) {
  for (const ColorCountEntry& entry : COLOR_COUNT_TABLE) {
    if (entry.bitCount == header.biBitCount) return entry.colorCount;
  }
  return -1;
}

int32_t GetDibMaskCount(const BITMAPINFOHEADER& header) {
  bool masked = header.biCompression == DIB_COMPRESSION_BITFIELDS &&
                (header.biBitCount == 16 || header.biBitCount == 32);
  return masked ? DIB_MASK_COUNT : 0;
}

int32_t GetDibBitsOffset(const BITMAPINFOHEADER& header) {
  int64_t entries = static_cast<int64_t>(GetDibColorCount(header)) + GetDibMaskCount(header);
  return FitOrRefuse(FILE_AND_INFO_HEADER_SIZE + 4 * entries);
}

int32_t GetDibFileSize(const BITMAPINFOHEADER& header) {
  int32_t imageSize = GetDibImageSize(header);
  if (imageSize < 0) return -1;
  return FitOrRefuse(static_cast<int64_t>(imageSize) + GetDibBitsOffset(header));
}
