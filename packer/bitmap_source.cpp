#include "packer/bitmap_source.h"

#include <cstdint>
#include <cstring>

namespace {

const size_t FILE_HEADER_SIZE = 14;
const uint32_t INFO_HEADER_SIZE = 40;

bool ReadHeaders(const std::vector<unsigned char>& file, BITMAPFILEHEADER& fileHeader,
                 BITMAPINFOHEADER& header) {
  if (file.size() < FILE_HEADER_SIZE + INFO_HEADER_SIZE) return false;
  std::memcpy(&fileHeader, file.data(), FILE_HEADER_SIZE);
  std::memcpy(&header, file.data() + FILE_HEADER_SIZE, INFO_HEADER_SIZE);
  return fileHeader.bfType == 0x4D42 && header.biSize >= INFO_HEADER_SIZE &&
         header.biBitCount == 24 && header.biCompression == 0 && header.biPlanes == 1;
}

// A picture without a pixel would give zero-byte rows that a top-down turn
// still walks one by one, up to two billion times: refused before that.
bool HasPixels(const BITMAPINFOHEADER& header) {
  return header.biWidth > 0 && header.biHeight != 0 && header.biHeight != INT32_MIN;
}

void TurnRows(const unsigned char* rows, int32_t height, int32_t stride, unsigned char* pixels) {
  for (int32_t y = 0; y < height; ++y) {
    std::memcpy(pixels + static_cast<size_t>(height - 1 - y) * stride,
                rows + static_cast<size_t>(y) * stride, stride);
  }
}

}  // namespace

BitmapFault ReadBitmapFile24Fault(const std::vector<unsigned char>& file, BITMAPINFOHEADER& header,
                                  std::vector<unsigned char>& pixels) {
  BITMAPFILEHEADER fileHeader;
  if (!ReadHeaders(file, fileHeader, header)) return BITMAP_NOT_24_BIT;
  if (!HasPixels(header)) return BITMAP_NO_SIZE;
  bool topDown = header.biHeight < 0;
  header.biSize = INFO_HEADER_SIZE;
  if (topDown) header.biHeight = -header.biHeight;
  int32_t size = GetDibImageSize(header);
  int32_t stride = GetDibRowStride(header);
  if (size <= 0 || stride <= 0) return BITMAP_TOO_LARGE;
  if (fileHeader.bfOffBits > file.size() ||
      file.size() - fileHeader.bfOffBits < static_cast<size_t>(size)) {
    return BITMAP_PIXELS_MISSING;
  }
  const unsigned char* rows = file.data() + fileHeader.bfOffBits;
  pixels.assign(rows, rows + size);
  if (topDown) TurnRows(rows, header.biHeight, stride, pixels.data());
  return BITMAP_READ;
}

bool ReadBitmapFile24(const std::vector<unsigned char>& file, BITMAPINFOHEADER& header,
                      std::vector<unsigned char>& pixels) {
  return ReadBitmapFile24Fault(file, header, pixels) == BITMAP_READ;
}

const char* DescribeBitmapFault(BitmapFault fault) {
  switch (fault) {
    case BITMAP_READ: return "read";
    case BITMAP_NOT_24_BIT: return "is no uncompressed 24-bit BMP file";
    case BITMAP_NO_SIZE: return "has no pixels: its width or height is zero or negative";
    case BITMAP_TOO_LARGE: return "says a size whose pixel rows exceed 2 GB";
    case BITMAP_PIXELS_MISSING: return "is shorter than the pixel rows its header announces";
  }
  return "cannot be read";
}
