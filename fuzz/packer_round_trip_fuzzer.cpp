// Any pixels packed by the packing tool decode to themselves (but for the
// last size mod 3 bytes, which the format cannot carry).
#include <cstdint>
#include <cstring>

#include "convert/packed_picture.h"
#include "fuzz/fuzz_support.h"
#include "packer/g24a_packer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<unsigned char> stream = PackPixels(data, size);
  FuzzCheck(stream.size() <= size + (size + 7) / 8 + 1, "at most 9/8 of the input");
  std::vector<unsigned char> pixels(size + 1, 0);
  DecodePackedPixels(stream.data(), stream.size(), pixels.data(), size);
  size_t whole = size - size % 3;
  FuzzCheck(whole == 0 || std::memcmp(pixels.data(), data, whole) == 0, "round trip");
  for (size_t i = whole; i < size; ++i) FuzzCheck(pixels[i] == 0, "tail stays zero");
  return 0;
}
