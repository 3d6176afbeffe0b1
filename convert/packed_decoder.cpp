#include "convert/packed_decoder.h"

#include <cstdint>
#include <cstring>

namespace {

const uint32_t FLAG_MARKER = 0xFF00;
// A flag byte and a reference: when fed in pieces, less than this is kept
// for the next piece.
const size_t LONGEST_TOKEN = 3;
// A whole block: a flag byte and eight tokens of at most 2 bytes each, and
// room for eight of the longest references.
const size_t WHOLE_BLOCK_INPUT = 1 + 8 * 2;
const size_t WHOLE_BLOCK_OUTPUT = 8 * PACKED_LONGEST_MATCH;
const size_t HISTORY_FULL = PACKED_WINDOW_SIZE + PACKED_HISTORY_RUN;

static_assert(PACKED_HISTORY_SLACK >= PACKED_LONGEST_MATCH, "room to copy a whole match at once");

// How far back the window position lies from the next delta to produce: 1
// to 4096, the window's own size when the position is the one about to be
// overwritten.
inline size_t DistanceBack(size_t produced, uint32_t position) {
  return ((produced - position - 1) & PACKED_WINDOW_MASK) + 1;
}

inline uint32_t ReferencePosition(uint32_t b0, uint32_t b1) {
  return (b0 + ((b1 >> 4) << 8) + PACKED_POSITION_BIAS) & PACKED_WINDOW_MASK;
}

// Copies a match; a source closer than the match is long repeats the bytes
// it has just produced, so it goes byte by byte. A far one is copied whole,
// past its end too: those bytes are overwritten before anyone reads them.
inline void CopyMatch(unsigned char* to, size_t distance, size_t length) {
  const unsigned char* from = to - distance;
  if (distance >= PACKED_LONGEST_MATCH) {
    std::memcpy(to, from, PACKED_LONGEST_MATCH);
    return;
  }
  for (size_t k = 0; k < length; ++k) to[k] = from[k];
}

// The common case, with every bound checked once for the block instead of
// once a byte. A delta's place in the run matches its count modulo the
// window, so the distance of a reference comes from the write pointer alone
// (phase: the run's own address modulo the window), and few registers are
// needed.
inline const unsigned char* DecodeWholeBlock(const unsigned char* in, unsigned char*& to,
                                             uintptr_t phase) {
  uint32_t flag = *in++;
  if (flag == 0xFF) {
    std::memcpy(to, in, 8);
    to += 8;
    return in + 8;
  }
  unsigned char* out = to;
  // The marker bit above the eighth flag says when the block is done.
  for (flag |= 0x100; flag != 1; flag >>= 1) {
    if (flag & 1) {
      *out++ = *in++;
      continue;
    }
    uint32_t position = ReferencePosition(in[0], in[1]);
    size_t length = (in[1] & 0x0F) + PACKED_SHORTEST_MATCH;
    in += 2;
    CopyMatch(out, DistanceBack(reinterpret_cast<uintptr_t>(out) - phase, position), length);
    out += length;
  }
  to = out;
  return in;
}

// Deltas become pixels: each byte adds the pixel byte three places back.
void ApplyDeltas(PackedDecoder& decoder) {
  ptrdiff_t pending = static_cast<ptrdiff_t>(decoder.produced - decoder.applied);
  const unsigned char* delta = decoder.history + decoder.historyEnd - pending;
  unsigned char* pixel = decoder.pixels + decoder.applied;
  // The first group adds nothing: nothing stands before it.
  ptrdiff_t k = 0;
  ptrdiff_t firstGroupLeft = static_cast<ptrdiff_t>(PACKED_GROUP_SIZE) - static_cast<ptrdiff_t>(decoder.applied);
  for (; k < pending && k < firstGroupLeft; ++k) pixel[k] = delta[k];
  const ptrdiff_t back = PACKED_GROUP_SIZE;
  if (k < pending) {
    // The three bytes back stay in registers.
    unsigned char p0 = pixel[k - back], p1 = pixel[k - back + 1], p2 = pixel[k - back + 2];
    for (; k + back <= pending; k += back) {
      p0 = pixel[k] = static_cast<unsigned char>(delta[k] + p0);
      p1 = pixel[k + 1] = static_cast<unsigned char>(delta[k + 1] + p1);
      p2 = pixel[k + 2] = static_cast<unsigned char>(delta[k + 2] + p2);
    }
  }
  for (; k < pending; ++k) pixel[k] = static_cast<unsigned char>(delta[k] + pixel[k - back]);
  decoder.applied = decoder.produced;
}

// Keeps at least the latest window's worth of deltas at the front of the
// run, each at a place that still matches its count modulo the window.
void SlideHistory(PackedDecoder& decoder) {
  ApplyDeltas(decoder);
  size_t kept = PACKED_WINDOW_SIZE + (decoder.historyEnd & PACKED_WINDOW_MASK);
  std::memmove(decoder.history, decoder.history + decoder.historyEnd - kept, kept);
  decoder.historyEnd = kept;
}

}  // namespace

void StartPackedDecoder(PackedDecoder& decoder, unsigned char* pixels, size_t pixelSize) {
  std::memset(decoder.history, 0, sizeof decoder.history);
  decoder.historyEnd = PACKED_WINDOW_SIZE;
  decoder.flags = 0;
  decoder.pixels = pixels;
  decoder.pixelSize = pixelSize;
  decoder.groupLimit = pixelSize - pixelSize % PACKED_GROUP_SIZE;
  decoder.produced = 0;
  decoder.applied = 0;
  decoder.ended = false;
}

size_t FeedPackedDecoder(PackedDecoder& decoder, const unsigned char* input, size_t count,
                         bool last) {
  const unsigned char* in = input;
  const unsigned char* end = input + count;
  const size_t limit = decoder.groupLimit;
  uint32_t flags = decoder.flags;
  size_t produced = decoder.produced;
  unsigned char* to = decoder.history + decoder.historyEnd;
  const uintptr_t phase = reinterpret_cast<uintptr_t>(decoder.history) & PACKED_WINDOW_MASK;

  while (!decoder.ended) {
    if (produced >= limit) {
      decoder.ended = true;
      break;
    }
    if (to >= decoder.history + HISTORY_FULL) {
      decoder.historyEnd = static_cast<size_t>(to - decoder.history);
      decoder.produced = produced;
      SlideHistory(decoder);
      to = decoder.history + decoder.historyEnd;
    }
    size_t left = static_cast<size_t>(end - in);
    bool atBlockStart = ((flags >> 1) & 0x100) == 0;
    if (atBlockStart && left >= WHOLE_BLOCK_INPUT && limit - produced >= WHOLE_BLOCK_OUTPUT &&
        to + WHOLE_BLOCK_OUTPUT <= decoder.history + HISTORY_FULL) {
      unsigned char* start = to;
      in = DecodeWholeBlock(in, to, phase);
      produced += static_cast<size_t>(to - start);
      flags = 0;
      continue;
    }
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
      *to++ = *in++;
      ++produced;
      continue;
    }
    if (end - in < 2) {
      decoder.ended = true;
      break;
    }
    uint32_t position = ReferencePosition(in[0], in[1]);
    size_t length = (in[1] & 0x0F) + PACKED_SHORTEST_MATCH;
    in += 2;
    // Only whole groups that fit are kept; bytes past them are never used.
    if (length > limit - produced) length = limit - produced;
    CopyMatch(to, DistanceBack(produced, position), length);
    to += length;
    produced += length;
  }
  decoder.historyEnd = static_cast<size_t>(to - decoder.history);
  decoder.produced = produced;
  decoder.flags = flags;
  ApplyDeltas(decoder);
  return static_cast<size_t>(in - input);
}

bool IsPackedDecoderDone(const PackedDecoder& decoder) { return decoder.ended; }

void FinishPackedDecoder(PackedDecoder& decoder) {
  size_t whole = decoder.applied - decoder.applied % PACKED_GROUP_SIZE;
  std::memset(decoder.pixels + whole, 0, decoder.applied - whole);
  decoder.applied = whole;
  decoder.produced = whole;
  decoder.ended = true;
}
