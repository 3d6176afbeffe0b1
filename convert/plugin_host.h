// The image plug-in host: finds Susie plug-ins in the plug-in folder, asks
// each in turn whether it reads the source, and takes the picture from the
// first that delivers one.
#pragma once
#include <windows.h>

#include <cstdint>

#include "TOOLS/sjis_text.h"
#include "convert/dib_picture.h"
#include "convert/plugin_calls.h"

// One search pass.
struct PluginSearchContext {
  unsigned char* bits;  // the result, set after every plug-in that said yes
  BITMAPINFOHEADER* header;
  RGBQUAD* colors;
  char source[PATH_BUFFER_SIZE];
  unsigned char head[PLUGIN_HEAD_SIZE];
  int32_t headSize;
};

// The pixel rows (malloc'ed, owned by the caller, at least
// GetDibImageSize(picture->header) bytes, bottom-up) with picture->header and
// picture->colors filled, or null. pattern is a file pattern such as
// "if*.spi". The plug-in folder is the current directory afterwards.
unsigned char* LoadPictureWithPlugins(const char* source, DibPicture* picture,
                                      const char* pluginFolder, const char* pattern);

// Tries every entry of folder that matches pattern until a plug-in delivers.
void EnumPluginFiles(const char* pattern, const char* folder, PluginSearchContext* context);
HANDLE FindFirstFileInFolder(const char* folder, const char* pattern, WIN32_FIND_DATAA* data);
// True when the search goes on with the next file.
bool TryPlugin(const char* path, const WIN32_FIND_DATAA* data, PluginSearchContext* context);
