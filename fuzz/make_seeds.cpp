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

// A BMP file as the packing tool takes it, with the given size and bytes.
Bytes BitmapFile(int32_t width, int32_t height, const Bytes& pixels, uint32_t infoSize = 40) {
  BITMAPINFOHEADER header = MakeDibHeader(width, height, 24);
  header.biSize = infoSize;
  Bytes file(14 + infoSize, 0);
  uint32_t offBits = 14 + infoSize, fileSize = offBits + static_cast<uint32_t>(pixels.size());
  file[0] = 'B';
  file[1] = 'M';
  std::memcpy(&file[2], &fileSize, 4);
  std::memcpy(&file[10], &offBits, 4);
  std::memcpy(&file[14], &header, sizeof header);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

void WriteBitmapSeeds(const std::string& folder) {
  const struct {
    int32_t width, height;
    size_t pixelBytes;
    uint32_t infoSize;
  } files[] = {{5, 3, 48, 40}, {7, -3, 72, 124}, {1, 1, 4, 40}, {16, -16, 768, 40},
               {0, -2000000000, 91, 40}, {10, -3, 91, 40}};
  int n = 0;
  for (const auto& f : files) {
    WriteSeed(folder + "/bitmap/" + std::to_string(n++),
              BitmapFile(f.width, f.height, Pixels(f.pixelBytes, 2), f.infoSize));
  }
}

void WriteTextSeeds(const std::string& folder) {
  const char* const lines[] = {
      "\"C:\\Program Files\\brovane.exe\" /tile \"C:\\My Pictures\\a b.bmp\"",
      "brovane.exe /center \x95\x5C\x8E\xA6.bmp",
      "p a\\\\\\\"b \"c\"\"d\" e\\\\\"f g\" \t h\\",
      "\"\x95\x22x\" \x81 \x81\"q r\" \xE0",
      "",
      "\"unclosed name",
  };
  int n = 0;
  for (const char* line : lines)
    WriteSeed(folder + "/command_line/" + std::to_string(n++), Bytes(line, line + std::strlen(line)));
  const struct {
    unsigned char capacity;
    const char* base;
    const char* relative;
  } paths[] = {
      {10, "C:\\Program Files\\brovane", "plugins\\ifpng.spi"},
      {4, "C:\\\x95\x5C\\x", "..\\..\\.\\a/b"},
      {3, "\x95\x5C\x95\x5C.bmp", ".."},
      {40, "C:\\a.b\\c", "d.e\\"},
      {1, "", "..\\.."},
  };
  for (const auto& p : paths) {
    Bytes seed(1, p.capacity);
    seed.insert(seed.end(), p.base, p.base + std::strlen(p.base));
    seed.push_back(0);
    seed.insert(seed.end(), p.relative, p.relative + std::strlen(p.relative));
    WriteSeed(folder + "/paths/" + std::to_string(n++), seed);
  }
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
  WriteTextSeeds(folder);
  WriteBitmapSeeds(folder);
  return 0;
}
