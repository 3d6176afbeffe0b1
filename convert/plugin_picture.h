// Taking the picture out of a plug-in's two memory blocks into the
// program's own heap, before the plug-in is released.
#pragma once
#include <windows.h>

#include <cstdint>

#include "convert/dib_picture.h"
#include "convert/plugin_module.h"

// The pixel rows (malloc'ed, at least GetDibImageSize(*header) bytes, rows
// bottom-up) or null. Fills header and colors; both memory blocks are
// released either way.
unsigned char* GetPictureFromPlugin(const PluginModule& plugin, const char* source,
                                    BITMAPINFOHEADER* header, RGBQUAD* colors);
// Only a 40-byte header is taken; up to 1024 bytes after it go to colors
// (colour table or colour masks alike), the rest of colors stays untouched.
bool CopyPluginHeader(HLOCAL info, BITMAPINFOHEADER* header, RGBQUAD* colors);
// A heap copy of the whole block, or null when it holds fewer than minimum
// bytes. A negative minimum is a size that could not be worked out, and is
// refused.
void* CopyLocalMemory(HLOCAL memory, int32_t minimum);
// A picture stored top-down (negative height) becomes bottom-up with a
// positive height; false when the height cannot be turned.
bool MakeHeightPositive(BITMAPINFOHEADER* header);
void ReverseDibRows(const BITMAPINFOHEADER& header, unsigned char* bits);
