#include "convert/convert_to_bitmap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "TOOLS/file_attributes.h"
#include "convert/dib_file.h"
#include "convert/packed_picture.h"
#include "convert/plugin_host.h"
#include "convert/system_picture.h"

namespace {

// Plug-ins whose names begin with "if" are asked first; the second pass asks
// every plug-in again, those included.
const char* const PLUGIN_PATTERNS[] = {"if*.spi", "*.spi"};

unsigned char* LoadPackedPicture(const char* source, BITMAPINFOHEADER& header) {
  FILE* stream = std::fopen(source, "rb");
  if (!stream) return nullptr;
  unsigned char* bits = ReadPackedPicture(stream, header);
  std::fclose(stream);
  return bits;
}

}  // namespace

unsigned char* LoadPicture(const char* source, DibPicture* picture, const char* pluginFolder) {
  unsigned char* bits = LoadPackedPicture(source, picture->header);
  for (const char* pattern : PLUGIN_PATTERNS) {
    if (bits) break;
    bits = LoadPictureWithPlugins(source, picture, pluginFolder, pattern);
  }
  // The system's own decoders come last: an installed plug-in keeps its
  // say over every format it reads.
  if (!bits) bits = LoadSystemPicture(source, &picture->header);
  return bits;
}

bool ConvertToBitmapFile(const char* destination, const char* source, const char* pluginFolder) {
  return ConvertToBitmapFileWithOutcome(destination, source, pluginFolder) == CONVERT_SAVED;
}

ConvertOutcome ConvertToBitmapFileWithOutcome(const char* destination, const char* source,
                                              const char* pluginFolder) {
  DibPicture picture;
  // The packed format brings no colour table and a plug-in may bring a short
  // one: entries nobody filled are written as zeros, never as stale memory.
  std::memset(&picture, 0, sizeof picture);
  picture.bits = LoadPicture(source, &picture, pluginFolder);
  if (!picture.bits) return CONVERT_NOT_LOADED;
  bool saved = SaveDibFile(picture, destination);
  std::free(picture.bits);
  return saved && IsFile(destination) ? CONVERT_SAVED : CONVERT_NOT_SAVED;
}
