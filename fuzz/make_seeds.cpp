// make_seeds folder: writes the seed corpus of every fuzz target, made by
// code: packed pictures of a few shapes, BMP writer inputs of every bit
// count, raw pixels for the round trip.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "convert/packed_picture.h"
#include "packer/g24a_packer.h"

namespace {

using Bytes = std::vector<unsigned char>;

void WriteSeed(const std::string& path, const Bytes& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

Bytes Pixels(size_t size, int kind) {
  Bytes pixels(size);
  unsigned state = 7;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    pixels[i] = static_cast<unsigned char>(kind == 0 ? 0x80 : kind == 1 ? i / 5 : state >> 16);
  }
  return pixels;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::string folder = argv[1];
  const struct {
    int32_t width, height;
    uint16_t bitCount;
  } shapes[] = {{1, 1, 24}, {3, 2, 24}, {5, 4, 24}, {7, 3, 24}, {16, 16, 24}, {33, 9, 8}, {64, 48, 24}, {9, 2, 4}};
  int n = 0;
  for (const auto& shape : shapes) {
    BITMAPINFOHEADER header = MakeDibHeader(shape.width, shape.height, shape.bitCount);
    size_t size = static_cast<size_t>(GetDibImageSize(header));
    for (int kind = 0; kind < 3; ++kind) {
      Bytes pixels = Pixels(size, kind);
      std::string name = std::to_string(n++);
      WriteSeed(folder + "/packed/" + name, MakePackedPicture(header, pixels.data()));
      WriteSeed(folder + "/round_trip/" + name, pixels);
    }
  }
  const uint16_t bitCounts[] = {0, 1, 2, 4, 8, 16, 24, 32, 3};
  for (uint16_t bitCount : bitCounts) {
    for (uint32_t compression : {0u, 3u}) {
      BITMAPINFOHEADER header = MakeDibHeader(5, bitCount == 3 ? -2 : 3, bitCount);
      header.biCompression = compression;
      const unsigned char* p = reinterpret_cast<const unsigned char*>(&header);
      Bytes input(p, p + sizeof header);
      Bytes colors = Pixels(1024, 2);
      input.insert(input.end(), colors.begin(), colors.end());
      Bytes pixels = Pixels(64, 1);
      input.insert(input.end(), pixels.begin(), pixels.end());
      WriteSeed(folder + "/writer/" + std::to_string(n++), input);
    }
  }
  return 0;
}
