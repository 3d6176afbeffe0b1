// Turns a picture the system refuses into a BMP file: a packed picture is
// read here, anything else goes to the image plug-ins and, when none reads
// it, to the system's imaging component.
#pragma once
#include "convert/dib_picture.h"

// True only when a picture was loaded, saved, and destination is then an
// existing file.
bool ConvertToBitmapFile(const char* destination, const char* source, const char* pluginFolder);

// The step at which a conversion stopped, for whoever must tell why.
enum ConvertOutcome { CONVERT_SAVED, CONVERT_NOT_LOADED, CONVERT_NOT_SAVED };
// As ConvertToBitmapFile, telling the step instead of a bool.
ConvertOutcome ConvertToBitmapFileWithOutcome(const char* destination, const char* source,
                                              const char* pluginFolder);

// The packed reader first, then the plug-ins of pluginFolder, then the
// system's imaging component. Returns the pixel buffer (malloc'ed, the
// caller frees it) with picture->header and picture->colors filled, or null.
unsigned char* LoadPicture(const char* source, DibPicture* picture, const char* pluginFolder);
