#include "bench/reference_decoder.h"

#include <cstring>

void ReferenceDecode(const unsigned char* input, size_t inputSize, unsigned char* deltas,
                     unsigned char* pixels, size_t pixelSize) {
  unsigned char window[4096];
  std::memset(window, 0, sizeof window);
  unsigned w = 0;
  size_t in = 0, out = 0;
  unsigned flags = 0;
  while (out < pixelSize) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      if (in >= inputSize) break;
      flags = input[in++] | 0xFF00;
    }
    if (flags & 1) {
      if (in >= inputSize) break;
      unsigned char b = input[in++];
      window[w] = b;
      w = (w + 1) & 4095;
      deltas[out++] = b;
    } else {
      if (in + 2 > inputSize) break;
      unsigned position = (input[in] + ((input[in + 1] >> 4) << 8) + 18) & 4095;
      unsigned length = (input[in + 1] & 0x0F) + 3;
      in += 2;
      for (unsigned k = 0; k < length && out < pixelSize; ++k) {
        unsigned char b = window[(position + k) & 4095];
        window[w] = b;
        w = (w + 1) & 4095;
        deltas[out++] = b;
      }
    }
  }
  size_t groups = (out < pixelSize ? out : pixelSize) / 3;
  unsigned char last[3] = {0, 0, 0};
  for (size_t g = 0; g < groups; ++g) {
    for (int c = 0; c < 3; ++c) {
      last[c] = static_cast<unsigned char>(last[c] + deltas[3 * g + c]);
      pixels[3 * g + c] = last[c];
    }
  }
}
