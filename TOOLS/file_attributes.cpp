#include "TOOLS/file_attributes.h"

#include <windows.h>

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const char* path) {
  return FileExists(path) && (GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const char* path) {
  return FileExists(path) && (GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
