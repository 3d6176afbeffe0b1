// Turns a picture the system refuses into a BMP file.
#pragma once

// True only when a picture was loaded and destination is then an existing
// file.
bool ConvertToBitmapFile(const char* destination, const char* source, const char* pluginFolder);
