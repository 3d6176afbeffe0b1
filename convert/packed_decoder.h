// The pixel stream of a packed picture: LZSS with a 4096-byte window that
// starts zero-filled, whose bytes are deltas over groups of three pixel
// bytes. The decoder takes its input in pieces, so a whole compressed stream
// never has to sit in memory beside the pixels. No Windows calls.
#pragma once
#include <cstddef>
#include <cstdint>

#include "convert/packed_format.h"

// The window is kept as a straight run of the latest deltas rather than a
// ring: a reference is then a plain copy from some distance back, and the
// deltas become pixels in one tight pass while they are still in the cache.
const size_t PACKED_HISTORY_RUN = 32 * 1024;
const size_t PACKED_HISTORY_SLACK = 32;

struct PackedDecoder {
  unsigned char history[PACKED_WINDOW_SIZE + PACKED_HISTORY_RUN + PACKED_HISTORY_SLACK];
  size_t historyEnd;  // where the next delta goes
  // The flag bits still to use, above a marker bit that says when the next
  // flag byte is due.
  uint32_t flags;
  unsigned char* pixels;
  size_t pixelSize;
  // Whole groups end here; pixels beyond it are never written.
  size_t groupLimit;
  size_t produced;  // deltas produced, at most groupLimit
  size_t applied;   // deltas already added into the pixels
  bool ended;
};

// pixels must be zero-filled: every byte that no group reaches stays zero.
void StartPackedDecoder(PackedDecoder& decoder, unsigned char* pixels, size_t pixelSize);
// Decodes from input and returns how many bytes it used. Unless last is set,
// it stops before a token whose bytes may not all be there yet and keeps its
// place for the next piece (at most 2 bytes are left unused). With last set,
// the input ends here.
size_t FeedPackedDecoder(PackedDecoder& decoder, const unsigned char* input, size_t count,
                         bool last);
// True once the pixels are full or the input has ended.
bool IsPackedDecoderDone(const PackedDecoder& decoder);
// Drops the bytes of a group that the input left unfinished.
void FinishPackedDecoder(PackedDecoder& decoder);
