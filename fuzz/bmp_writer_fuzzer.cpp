// The BMP writer on any header and colour table: no fault, never a negative
// byte count, and a file that says its own size when the write succeeds.
#include <cstdint>
#include <cstring>

#include "convert/bmp_writer.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DibPicture* picture = new DibPicture;
  std::memset(picture, 0, sizeof *picture);
  size_t headerBytes = size < sizeof picture->header ? size : sizeof picture->header;
  std::memcpy(&picture->header, data, headerBytes);
  size_t rest = size - headerBytes;
  size_t colorBytes = rest < sizeof picture->colors ? rest : sizeof picture->colors;
  std::memcpy(picture->colors, data + headerBytes, colorBytes);

  int32_t imageSize = GetDibImageSize(picture->header);
  std::vector<unsigned char> pixels;
  if (imageSize > 0 && static_cast<size_t>(imageSize) <= FUZZ_LARGEST_IMAGE) {
    pixels.assign(data + headerBytes + colorBytes, data + size);
    pixels.resize(static_cast<size_t>(imageSize), 0);
    picture->bits = pixels.data();
  } else if (imageSize > 0) {
    delete picture;
    return 0;
  }

  char* buffer = nullptr;
  size_t length = 0;
  FILE* stream = open_memstream(&buffer, &length);
  bool written = WriteDibToStream(stream, *picture);
  std::fclose(stream);
  if (written) {
    FuzzCheck(imageSize >= 0, "no negative image size written");
    FuzzCheck(static_cast<int64_t>(length) == GetDibFileSize(picture->header), "file of its own size");
    BITMAPFILEHEADER fileHeader;
    std::memcpy(&fileHeader, buffer, sizeof fileHeader);
    FuzzCheck(fileHeader.bfSize == length, "bfSize counts every byte");
    FuzzCheck(fileHeader.bfOffBits + static_cast<size_t>(imageSize) == length, "pixels at bfOffBits");
    FuzzCheck(std::memcmp(buffer + sizeof fileHeader, &picture->header, sizeof picture->header) == 0,
              "info header byte for byte");
  } else {
    FuzzCheck(length == 0, "a refused picture writes nothing");
  }
  std::free(buffer);
  delete picture;
  return 0;
}
