#include "convert/bmp_writer.h"

#include <cstring>

namespace {

const uint16_t BITMAP_FILE_TYPE = 0x4D42;  // "BM" read as little-endian

int32_t GetDibTableEntryCount(const BITMAPINFOHEADER& header) {
  return GetDibColorCount(header) + GetDibMaskCount(header);
}

// A top-down picture or a refused size must never become a byte count.
bool IsWritablePicture(const DibPicture& picture) {
  const BITMAPINFOHEADER& header = picture.header;
  int32_t imageSize = GetDibImageSize(header);
  if (imageSize < 0 || GetDibColorCount(header) < 0 || GetDibFileSize(header) < 0) return false;
  return imageSize == 0 || picture.bits != nullptr;
}

}  // namespace

BITMAPFILEHEADER MakeBitmapFileHeader(const BITMAPINFOHEADER& header) {
  BITMAPFILEHEADER fileHeader;
  std::memset(&fileHeader, 0, sizeof fileHeader);
  fileHeader.bfType = BITMAP_FILE_TYPE;
  fileHeader.bfSize = static_cast<uint32_t>(GetDibFileSize(header));
  fileHeader.bfOffBits = static_cast<uint32_t>(GetDibBitsOffset(header));
  return fileHeader;
}

bool WriteDibToStream(FILE* stream, const DibPicture& picture) {
  if (!IsWritablePicture(picture)) return false;
  const BITMAPINFOHEADER& header = picture.header;
  BITMAPFILEHEADER fileHeader = MakeBitmapFileHeader(header);
  if (std::fwrite(&fileHeader, sizeof fileHeader, 1, stream) != 1) return false;
  if (std::fwrite(&header, sizeof header, 1, stream) != 1) return false;
  size_t entries = static_cast<size_t>(GetDibTableEntryCount(header));
  if (std::fwrite(picture.colors, sizeof(RGBQUAD), entries, stream) != entries) return false;
  size_t imageSize = static_cast<size_t>(GetDibImageSize(header));
  if (imageSize == 0) return true;
  return std::fwrite(picture.bits, 1, imageSize, stream) == imageSize;
}
