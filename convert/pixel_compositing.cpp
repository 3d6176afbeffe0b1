#include "convert/pixel_compositing.h"

uint8_t BlendChannel(uint8_t source, uint8_t background, uint8_t alpha) {
  unsigned mixed = alpha * unsigned{source} + (255u - alpha) * unsigned{background};
  return static_cast<uint8_t>((mixed + 127u) / 255u);
}

void CompositeBgraRow(const uint8_t* bgra, size_t width, OpaqueColor background, uint8_t* bgr) {
  for (size_t x = 0; x < width; ++x, bgra += 4, bgr += 3) {
    uint8_t alpha = bgra[3];
    // Photographs are opaque throughout: their pixels are only copied.
    if (alpha == 255) {
      bgr[0] = bgra[0];
      bgr[1] = bgra[1];
      bgr[2] = bgra[2];
    } else {
      bgr[0] = BlendChannel(bgra[0], background.blue, alpha);
      bgr[1] = BlendChannel(bgra[1], background.green, alpha);
      bgr[2] = BlendChannel(bgra[2], background.red, alpha);
    }
  }
}
