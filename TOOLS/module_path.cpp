#include "TOOLS/module_path.h"

#include <windows.h>

#include <cstring>

#include "TOOLS/path_text.h"
#include "TOOLS/sjis_text.h"

namespace {

// Older systems leave a full buffer unterminated.
bool ReadModuleFileName(char* path) {
  DWORD n = GetModuleFileNameA(nullptr, path, PATH_BUFFER_SIZE);
  path[PATH_BUFFER_SIZE - 1] = 0;
  return n != 0;
}

}  // namespace

bool GetModulePathWithExtension(char* path, const char* extension) {
  if (!ReadModuleFileName(path)) return false;
  if (extension) {
    SplitExtension(path);
    size_t length = std::strlen(path);
    std::strncat(path, extension, PATH_BUFFER_SIZE - 1 - length);
  }
  LowerCaseDbcs(path);
  return true;
}

bool GetModuleDirectory(char* path) {
  ReadModuleFileName(path);
  SplitFileName(path);
  return true;
}
