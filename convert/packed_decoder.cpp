#include "convert/packed_decoder.h"

#include <cstring>

namespace {

const uint32_t WINDOW_MASK = PACKED_WINDOW_SIZE - 1;
const uint32_t FLAG_MARKER = 0xFF00;
const uint32_t POSITION_BIAS = 18;
const uint32_t SHORTEST_MATCH = 3;
const size_t GROUP_SIZE = 3;
// A flag byte and a reference: when fed in pieces, less than this is kept
// for the next piece.
const size_t LONGEST_TOKEN = 3;

}  // namespace

void StartPackedDecoder(PackedDecoder& decoder, unsigned char* pixels, size_t pixelSize) {
  std::memset(decoder.window, 0, sizeof decoder.window);
  decoder.windowIndex = 0;
  decoder.flags = 0;
  decoder.pixels = pixels;
  decoder.pixelSize = pixelSize;
  decoder.groupLimit = pixelSize - pixelSize % GROUP_SIZE;
  decoder.written = 0;
  decoder.ended = false;
}

// Every produced byte goes into the window and, added to the byte three
// places back, straight into the pixels: the two stages never meet in a
// buffer of their own.
size_t FeedPackedDecoder(PackedDecoder& decoder, const unsigned char* input, size_t count,
                         bool last) {
  const unsigned char* in = input;
  const unsigned char* end = input + count;
  unsigned char* window = decoder.window;
  unsigned char* pixels = decoder.pixels;
  uint32_t w = decoder.windowIndex;
  uint32_t flags = decoder.flags;
  size_t o = decoder.written;
  const size_t limit = decoder.groupLimit;

  while (!decoder.ended) {
    if (o >= limit) {
      decoder.ended = true;
      break;
    }
    size_t left = static_cast<size_t>(end - in);
    if (!last && left < LONGEST_TOKEN) break;
    if (left == 0) {
      decoder.ended = true;
      break;
    }
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      flags = *in++ | FLAG_MARKER;
      if (in == end) {
        decoder.ended = true;
        break;
      }
    }
    if (flags & 1) {
      unsigned char b = *in++;
      window[w] = b;
      w = (w + 1) & WINDOW_MASK;
      pixels[o] = static_cast<unsigned char>(b + (o >= GROUP_SIZE ? pixels[o - GROUP_SIZE] : 0));
      ++o;
      continue;
    }
    if (end - in < 2) {
      decoder.ended = true;
      break;
    }
    uint32_t b0 = in[0];
    uint32_t b1 = in[1];
    in += 2;
    uint32_t position = (b0 + ((b1 >> 4) << 8) + POSITION_BIAS) & WINDOW_MASK;
    size_t length = (b1 & 0x0F) + SHORTEST_MATCH;
    if (length > limit - o) length = limit - o;
    if (o >= GROUP_SIZE) {
      for (size_t k = 0; k < length; ++k) {
        unsigned char b = window[(position + k) & WINDOW_MASK];
        window[w] = b;
        w = (w + 1) & WINDOW_MASK;
        pixels[o] = static_cast<unsigned char>(b + pixels[o - GROUP_SIZE]);
        ++o;
      }
    } else {
      for (size_t k = 0; k < length; ++k) {
        unsigned char b = window[(position + k) & WINDOW_MASK];
        window[w] = b;
        w = (w + 1) & WINDOW_MASK;
        pixels[o] = static_cast<unsigned char>(b + (o >= GROUP_SIZE ? pixels[o - GROUP_SIZE] : 0));
        ++o;
      }
    }
  }
  decoder.windowIndex = w;
  decoder.flags = flags;
  decoder.written = o;
  return static_cast<size_t>(in - input);
}

bool IsPackedDecoderDone(const PackedDecoder& decoder) { return decoder.ended; }

void FinishPackedDecoder(PackedDecoder& decoder) {
  size_t whole = decoder.written - decoder.written % GROUP_SIZE;
  std::memset(decoder.pixels + whole, 0, decoder.written - whole);
  decoder.written = whole;
  decoder.ended = true;
}
