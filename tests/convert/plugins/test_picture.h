// The picture a configurable test plug-in hands out, and the traces it leaves
// in its own folder. Shared by the plug-ins and the tests that check them, so
// both sides agree on every byte without copying numbers around.
#pragma once
#include <cstddef>
#include <cstdint>

// Each plug-in appends "<its file name> <call>\n" to this file beside it, so a
// test can read back which plug-ins were called, in which order.
const char PLUGIN_CALL_LOG[] = "plugin-calls.log";
// What IsSupported received as the head of the file: "<file name>.head".
const char PLUGIN_HEAD_SUFFIX[] = ".head";
// The two handles GetPicture handed out, as "<info> <pixels>" in hexadecimal:
// "<file name>.handles".
const char PLUGIN_HANDLES_SUFFIX[] = ".handles";

// Pixel byte i of a made-up picture.
inline uint8_t TestPixelByte(size_t i) { return static_cast<uint8_t>(i * 7 + 1); }
// Byte i of whatever follows the header in a made-up info block.
inline uint8_t TestInfoTailByte(size_t i) { return static_cast<uint8_t>(0x80 + i); }

// The colour masks of a bit-field picture: red, green, blue.
inline void GetTestMasks(int bitCount, uint32_t masks[3]) {
  if (bitCount == 16) {
    masks[0] = 0xF800;
    masks[1] = 0x07E0;
    masks[2] = 0x001F;
  } else {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
}
