#include "convert/packed_picture.h"

#include <cstdlib>
#include <cstring>

#include "convert/packed_decoder.h"

namespace {

// Big enough that reading costs little, small against any picture worth
// packing.
const size_t STREAM_CHUNK_SIZE = 64 * 1024;

bool ReadPackedMagic(FILE* stream) {
  unsigned char magic[PACKED_MAGIC_SIZE];
  return std::fread(magic, 1, sizeof magic, stream) == sizeof magic &&
         std::memcmp(magic, PACKED_MAGIC, sizeof magic) == 0;
}

void SkipPackedReserved(FILE* stream) {
  unsigned char skipped[PACKED_SKIPPED_SIZE];
  (void)std::fread(skipped, 1, sizeof skipped, stream);
}

// The stream is read to its end in chunks: an LZSS stream can be longer than
// the pixels it makes (up to 9/8 of them), so stopping at the image size
// would lose the last rows of a noisy picture.
bool DecodePackedStream(FILE* stream, unsigned char* pixels, size_t pixelSize) {
  unsigned char* chunk = static_cast<unsigned char*>(std::malloc(STREAM_CHUNK_SIZE));
  if (!chunk) return false;
  PackedDecoder decoder;
  StartPackedDecoder(decoder, pixels, pixelSize);
  size_t kept = 0;
  while (!IsPackedDecoderDone(decoder)) {
    size_t wanted = STREAM_CHUNK_SIZE - kept;
    size_t got = std::fread(chunk + kept, 1, wanted, stream);
    size_t available = kept + got;
    bool last = got < wanted;
    size_t used = FeedPackedDecoder(decoder, chunk, available, last);
    kept = available - used;
    std::memmove(chunk, chunk + used, kept);
  }
  FinishPackedDecoder(decoder);
  std::free(chunk);
  return true;
}

}  // namespace

void DecodePackedPixels(const unsigned char* input, size_t inputSize, unsigned char* pixels,
                        size_t pixelSize) {
  PackedDecoder decoder;
  StartPackedDecoder(decoder, pixels, pixelSize);
  FeedPackedDecoder(decoder, input, inputSize, true);
  FinishPackedDecoder(decoder);
}

unsigned char* ReadPackedPicture(FILE* stream, BITMAPINFOHEADER& header) {
  if (!ReadPackedMagic(stream)) return nullptr;
  if (std::fread(&header, 1, sizeof header, stream) != sizeof header) return nullptr;
  int32_t size = GetDibImageSize(header);
  if (size < 0) return nullptr;
  // Zeroed at once: every byte that decoding does not reach stays zero.
  unsigned char* pixels = static_cast<unsigned char*>(std::calloc(size > 0 ? size : 1, 1));
  if (!pixels) return nullptr;
  SkipPackedReserved(stream);
  if (!DecodePackedStream(stream, pixels, static_cast<size_t>(size))) {
    std::free(pixels);
    return nullptr;
  }
  return pixels;
}
