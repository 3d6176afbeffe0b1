#include "tests/convert/picture_fixtures.h"

#include <cstring>

namespace {

unsigned NextRandom(unsigned& state) {
  state = state * 1103515245u + 12345u;
  return state >> 16;
}

}  // namespace

Bytes MakePixels(PixelKind kind, size_t size, int width) {
  Bytes pixels(size);
  unsigned state = 12345;
  for (size_t i = 0; i < size; ++i) {
    size_t x = (i / 3) % width, y = (i / 3) / width;
    switch (kind) {
      case PIXELS_FLAT: pixels[i] = static_cast<unsigned char>(0x40 + i % 3 * 0x30); break;
      case PIXELS_GRADIENT: pixels[i] = static_cast<unsigned char>(x * 3 + y + i % 3 * 50); break;
      case PIXELS_NOISE: pixels[i] = static_cast<unsigned char>(NextRandom(state)); break;
      // Smooth shapes with a little sensor noise, as a photograph has.
      case PIXELS_PHOTO:
        pixels[i] = static_cast<unsigned char>((x / 4 + y / 3 + (x * y) / 512 + i % 3 * 40) +
                                               NextRandom(state) % 5);
        break;
    }
  }
  return pixels;
}

Bytes ExpectedAfterDecoding(Bytes pixels) {
  for (size_t i = pixels.size() - pixels.size() % 3; i < pixels.size(); ++i) pixels[i] = 0;
  return pixels;
}

FILE* OpenStreamWith(const Bytes& bytes) {
  FILE* stream = std::tmpfile();
  if (!stream) return nullptr;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::rewind(stream);
  return stream;
}

Bytes ReadStreamBack(FILE* stream) {
  Bytes bytes;
  std::fflush(stream);
  std::rewind(stream);
  unsigned char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  return bytes;
}

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes ReadFileBytesOf(const std::string& path) {
  Bytes bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  bytes = ReadStreamBack(file);
  std::fclose(file);
  return bytes;
}

void WriteBytesTo(const std::string& path, const Bytes& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

Bytes HeaderBytes(const BITMAPINFOHEADER& header) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(&header);
  return Bytes(p, p + sizeof header);
}
