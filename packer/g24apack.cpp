// g24apack picture.bmp picture.g24a
// Packs a 24-bit BMP file into the program's own packed picture format.
#include <cstdio>
#include <vector>

#include "packer/bitmap_source.h"
#include "packer/g24a_packer.h"

namespace {

bool ReadWholeFile(const char* path, std::vector<unsigned char>& bytes) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  unsigned char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

bool WriteWholeFile(const char* path, const std::vector<unsigned char>& bytes) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: g24apack picture.bmp picture.g24a\n");
    return 2;
  }
  std::vector<unsigned char> bitmap;
  if (!ReadWholeFile(argv[1], bitmap)) {
    std::fprintf(stderr, "g24apack: cannot read %s\n", argv[1]);
    return 1;
  }
  BITMAPINFOHEADER header;
  std::vector<unsigned char> pixels;
  BitmapFault fault = ReadBitmapFile24Fault(bitmap, header, pixels);
  if (fault != BITMAP_READ) {
    std::fprintf(stderr, "g24apack: %s %s\n", argv[1], DescribeBitmapFault(fault));
    return 1;
  }
  if (!WriteWholeFile(argv[2], MakePackedPicture(header, pixels.data()))) {
    std::fprintf(stderr, "g24apack: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
