// The packed reader on any file: no fault, and the streaming reader, the
// one-piece decoder and a decoder fed in small pieces all agree. The picture
// read is then written as a BMP file.
#include <cstdint>
#include <cstring>

#include "convert/bmp_writer.h"
#include "convert/packed_decoder.h"
#include "convert/packed_picture.h"
#include "fuzz/fuzz_support.h"

namespace {

bool ImageSizeIsFuzzable(const uint8_t* data, size_t size) {
  if (size < PACKED_MAGIC_SIZE + sizeof(BITMAPINFOHEADER)) return true;
  BITMAPINFOHEADER header;
  std::memcpy(&header, data + PACKED_MAGIC_SIZE, sizeof header);
  int32_t imageSize = GetDibImageSize(header);
  return imageSize < 0 || static_cast<size_t>(imageSize) <= FUZZ_LARGEST_IMAGE;
}

std::vector<unsigned char> DecodeInPieces(const uint8_t* input, size_t count, size_t pixelSize,
                                          size_t piece) {
  std::vector<unsigned char> pixels(pixelSize + 1, 0);
  PackedDecoder* decoder = new PackedDecoder;
  StartPackedDecoder(*decoder, pixels.data(), pixelSize);
  std::vector<unsigned char> carried;
  size_t at = 0;
  while (!IsPackedDecoderDone(*decoder)) {
    size_t take = count - at < piece ? count - at : piece;
    carried.insert(carried.end(), input + at, input + at + take);
    at += take;
    bool last = at == count;
    size_t used = FeedPackedDecoder(*decoder, carried.data(), carried.size(), last);
    FuzzCheck(last || IsPackedDecoderDone(*decoder) || carried.size() - used <= 2,
              "a piece keeps at most two bytes");
    carried.erase(carried.begin(), carried.begin() + used);
  }
  FinishPackedDecoder(*decoder);
  delete decoder;
  pixels.resize(pixelSize);
  return pixels;
}

void WriteAsBmp(const BITMAPINFOHEADER& header, unsigned char* bits) {
  DibPicture* picture = new DibPicture;
  std::memset(picture, 0, sizeof *picture);
  picture->header = header;
  picture->bits = bits;
  char* buffer = nullptr;
  size_t length = 0;
  FILE* stream = open_memstream(&buffer, &length);
  bool written = WriteDibToStream(stream, *picture);
  std::fclose(stream);
  if (written) FuzzCheck(static_cast<int64_t>(length) == GetDibFileSize(header), "BMP file of its size");
  std::free(buffer);
  delete picture;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || !ImageSizeIsFuzzable(data, size)) return 0;
  FILE* stream = OpenInputStream(data, size);
  FuzzCheck(stream != nullptr, "a stream over the input");
  BITMAPINFOHEADER header;
  unsigned char* bits = ReadPackedPicture(stream, header);
  std::fclose(stream);
  if (!bits) return 0;
  size_t pixelSize = static_cast<size_t>(GetDibImageSize(header));
  size_t streamStart = size < PACKED_STREAM_OFFSET ? size : PACKED_STREAM_OFFSET;
  const uint8_t* input = data + streamStart;
  size_t inputSize = size - streamStart;

  std::vector<unsigned char> whole(pixelSize + 1, 0);
  DecodePackedPixels(input, inputSize, whole.data(), pixelSize);
  FuzzCheck(std::memcmp(whole.data(), bits, pixelSize) == 0, "streaming reader equals one-piece decoder");
  size_t piece = 1 + (size % 7);
  std::vector<unsigned char> pieces = DecodeInPieces(input, inputSize, pixelSize, piece);
  FuzzCheck(std::memcmp(pieces.data(), bits, pixelSize) == 0, "decoding in pieces equals one piece");
  for (size_t i = pixelSize - pixelSize % 3; i < pixelSize; ++i) FuzzCheck(bits[i] == 0, "tail stays zero");

  WriteAsBmp(header, bits);
  std::free(bits);
  return 0;
}
