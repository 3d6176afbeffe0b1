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

}  // namespace

bool ReadBitmapFile24(const std::vector<unsigned char>& file, BITMAPINFOHEADER& header,
                      std::vector<unsigned char>& pixels) {
  BITMAPFILEHEADER fileHeader;
  if (!ReadHeaders(file, fileHeader, header)) return false;
  bool topDown = header.biHeight < 0;
  if (topDown && header.biHeight == INT32_MIN) return false;
  header.biSize = INFO_HEADER_SIZE;
  if (topDown) header.biHeight = -header.biHeight;
  int32_t size = GetDibImageSize(header);
  int32_t stride = GetDibRowStride(header);
  if (size < 0 || stride < 0 || fileHeader.bfOffBits > file.size() ||
      file.size() - fileHeader.bfOffBits < static_cast<size_t>(size)) {
    return false;
  }
  const unsigned char* rows = file.data() + fileHeader.bfOffBits;
  pixels.assign(rows, rows + size);
  if (topDown) {
    for (int32_t y = 0; y < header.biHeight; ++y) {
      const unsigned char* from = rows + static_cast<size_t>(y) * stride;
      std::memcpy(&pixels[static_cast<size_t>(header.biHeight - 1 - y) * stride], from, stride);
    }
  }
  return true;
}
