// The packing tool's BMP reader on any file: a taken file gives exactly its
// rows (turned when top-down) and packs into a picture that reads back as
// the same header and pixels; a refused file gives no pixels.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "convert/packed_picture.h"
#include "fuzz/fuzz_support.h"
#include "packer/bitmap_source.h"
#include "packer/g24a_packer.h"

namespace {

// The file's own fields, read here byte by byte rather than through the
// reader's structures.
int32_t FieldAt(const std::vector<unsigned char>& file, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | file[offset + i];
  return static_cast<int32_t>(value);
}

void CheckRows(const std::vector<unsigned char>& file, const BITMAPINFOHEADER& header,
               const std::vector<unsigned char>& pixels) {
  int32_t width = FieldAt(file, 18), height = FieldAt(file, 22);
  uint32_t offBits = static_cast<uint32_t>(FieldAt(file, 10));
  FuzzCheck(width > 0 && height != 0, "a taken file has pixels");
  FuzzCheck(header.biWidth == width, "width as in the file");
  FuzzCheck(header.biHeight == (height < 0 ? -static_cast<int64_t>(height) : height), "height made positive");
  FuzzCheck(header.biSize == 40, "a 40-byte header");
  size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  size_t rows = static_cast<size_t>(header.biHeight);
  FuzzCheck(pixels.size() == stride * rows, "stride times height bytes");
  FuzzCheck(offBits + pixels.size() <= file.size(), "rows inside the file");
  for (size_t y = 0; y < rows; ++y) {
    size_t fileRow = height < 0 ? rows - 1 - y : y;
    FuzzCheck(std::memcmp(&pixels[y * stride], &file[offBits + fileRow * stride], stride) == 0,
              "each row from its place in the file");
  }
}

void CheckPackedReadBack(const BITMAPINFOHEADER& header, const std::vector<unsigned char>& pixels) {
  std::vector<unsigned char> packed = MakePackedPicture(header, pixels.data());
  FILE* stream = OpenInputStream(packed.data(), packed.size());
  FuzzCheck(stream != nullptr, "packed stream opens");
  BITMAPINFOHEADER read;
  unsigned char* bits = ReadPackedPicture(stream, read);
  std::fclose(stream);
  FuzzCheck(bits != nullptr, "the packed picture reads back");
  FuzzCheck(std::memcmp(&read, &header, sizeof header) == 0, "same header");
  size_t whole = pixels.size() - pixels.size() % 3;
  FuzzCheck(std::memcmp(bits, pixels.data(), whole) == 0, "same pixels");
  for (size_t i = whole; i < pixels.size(); ++i) FuzzCheck(bits[i] == 0, "the uncarried tail is zero");
  std::free(bits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<unsigned char> file(data, data + size);
  BITMAPINFOHEADER header;
  std::vector<unsigned char> pixels;
  BitmapFault fault = ReadBitmapFile24Fault(file, header, pixels);
  if (fault != BITMAP_READ) {
    FuzzCheck(pixels.empty(), "a refused file gives no pixels");
    FuzzCheck(std::strlen(DescribeBitmapFault(fault)) > 0, "a reason for each refusal");
    return 0;
  }
  CheckRows(file, header, pixels);
  if (pixels.size() <= FUZZ_LARGEST_IMAGE) CheckPackedReadBack(header, pixels);
  return 0;
}
