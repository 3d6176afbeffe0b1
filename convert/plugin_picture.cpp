#include "convert/plugin_picture.h"

#include <climits>
#include <cstring>

#include "TOOLS/pointer_checks.h"
#include "TOOLS/scoped.h"
#include "TOOLS/sjis_text.h"
#include "convert/plugin_calls.h"

namespace {

const int32_t PLUGIN_HEADER_SIZE = sizeof(BITMAPINFOHEADER);
const SIZE_T COLOR_TABLE_BYTES = DIB_COLOR_TABLE_SIZE * sizeof(RGBQUAD);

}  // namespace

bool MakeHeightPositive(BITMAPINFOHEADER* header) {
  if (header->biHeight >= 0) return true;
  if (header->biHeight == INT32_MIN) return false;
  header->biHeight = -header->biHeight;
  return true;
}

void ReverseDibRows(const BITMAPINFOHEADER& header, unsigned char* bits) {
  int32_t stride = GetDibRowStride(header);
  if (stride <= 0) return;
  for (int32_t top = 0, bottom = header.biHeight - 1; top < bottom; ++top, --bottom) {
    unsigned char* upper = bits + static_cast<size_t>(top) * stride;
    unsigned char* lower = bits + static_cast<size_t>(bottom) * stride;
    for (int32_t i = 0; i < stride; ++i) {
      unsigned char byte = upper[i];
      upper[i] = lower[i];
      lower[i] = byte;
    }
  }
}

void* CopyLocalMemory(HLOCAL memory, int32_t minimum) {
  if (LocalFlags(memory) == LMEM_INVALID_HANDLE) return nullptr;
  if (minimum < 0) return nullptr;
  SIZE_T size = LocalSize(memory);
  if (size > static_cast<SIZE_T>(INT32_MAX) || static_cast<int32_t>(size) < minimum) return nullptr;
  ScopedLocalLock lock(memory);
  if (!lock.data() || !IsValidReadWritePtr(lock.data(), size)) return nullptr;
  return DuplicateMemory(lock.data(), size);
}

bool CopyPluginHeader(HLOCAL info, BITMAPINFOHEADER* header, RGBQUAD* colors) {
  ScopedMalloc copy(CopyLocalMemory(info, PLUGIN_HEADER_SIZE));
  if (!copy) return false;
  const unsigned char* bytes = static_cast<const unsigned char*>(copy.get());
  uint32_t headerSize;
  std::memcpy(&headerSize, bytes, sizeof headerSize);
  if (headerSize != static_cast<uint32_t>(PLUGIN_HEADER_SIZE)) return false;
  std::memcpy(header, bytes, PLUGIN_HEADER_SIZE);
  SIZE_T tail = LocalSize(info) - PLUGIN_HEADER_SIZE;
  std::memcpy(colors, bytes + PLUGIN_HEADER_SIZE, tail < COLOR_TABLE_BYTES ? tail : COLOR_TABLE_BYTES);
  return true;
}

unsigned char* GetPictureFromPlugin(const PluginModule& plugin, const char* source,
                                    BITMAPINFOHEADER* header, RGBQUAD* colors) {
  HLOCAL infoHandle = nullptr;
  HLOCAL pixelHandle = nullptr;
  if (!PluginGetPicture(plugin.getPicture, source, &infoHandle, &pixelHandle)) return nullptr;
  // Released in reverse order: the info block first.
  ScopedLocalMemory pixels(pixelHandle);
  ScopedLocalMemory info(infoHandle);
  if (!CopyPluginHeader(info.get(), header, colors)) return nullptr;
  // Nothing after the host ever sees a top-down picture: the size arithmetic
  // and the writer count rows as a positive number.
  bool topDown = header->biHeight < 0;
  if (!MakeHeightPositive(header)) return nullptr;
  unsigned char* bits =
      static_cast<unsigned char*>(CopyLocalMemory(pixels.get(), GetDibImageSize(*header)));
  if (bits && topDown) ReverseDibRows(*header, bits);
  return bits;
}
