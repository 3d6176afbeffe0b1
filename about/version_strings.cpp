#include "about/version_strings.h"

#include <cstdlib>

#include "TOOLS/bounded_format.h"
#include "TOOLS/module_path.h"
#include "TOOLS/scoped.h"
#include "TOOLS/sjis_text.h"

void* LoadModuleVersionBlock(HMODULE module, DWORD* translation) {
  char path[PATH_BUFFER_SIZE];
  if (!ReadModulePath(module, path)) return nullptr;
  return LoadFileVersionBlock(path, translation);
}

void* LoadFileVersionBlock(const char* path, DWORD* translation) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return nullptr;
  ScopedMalloc block(std::malloc(size));
  if (!block) return nullptr;
  if (!GetFileVersionInfoA(path, 0, size, block.get())) return nullptr;
  void* list = nullptr;
  UINT listBytes = 0;
  if (!VerQueryValueA(block.get(), "\\VarFileInfo\\Translation", &list, &listBytes)) {
    return nullptr;
  }
  // An empty list has no first entry to read.
  if (!list || listBytes < sizeof(DWORD)) return nullptr;
  *translation = *static_cast<const DWORD*>(list);
  return block.release();
}

bool QueryVersionString(char* value, const void* block, DWORD translation, const char* key) {
  value[0] = 0;
  char subBlock[PATH_BUFFER_SIZE];
  if (BoundedFormat(subBlock, PATH_BUFFER_SIZE - 1, "\\StringFileInfo\\%04x%04x\\%s",
                    LOWORD(translation), HIWORD(translation), key) < 0) {
    return false;
  }
  void* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, subBlock, &text, &length) || !text) return false;
  CopyStringDbcs(value, PATH_BUFFER_SIZE, static_cast<const char*>(text));
  return true;
}
