#include "convert/convert_to_bitmap.h"

// Placeholder until the conversion lands.
bool ConvertToBitmapFile(const char*, const char*, const char*) { return false; }
