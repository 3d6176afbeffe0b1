// Pixels with straight (unpremultiplied) alpha laid over an opaque colour,
// as they end up in the rows of a 24-bit picture. No Windows calls, so it
// also builds natively.
#pragma once
#include <cstddef>
#include <cstdint>

// An opaque colour, blue first as in the picture's rows.
struct OpaqueColor {
  uint8_t blue, green, red;
};

// One channel: (alpha * source + (255 - alpha) * background) / 255, rounded
// to the nearest value.
uint8_t BlendChannel(uint8_t source, uint8_t background, uint8_t alpha);

// width pixels of blue, green, red and alpha become width pixels of blue,
// green and red over background.
void CompositeBgraRow(const uint8_t* bgra, size_t width, OpaqueColor background, uint8_t* bgr);
