#include "TOOLS/module_path.h"

#include <cstring>
#include <string>

#include "TOOLS/path_text.h"
#include "TOOLS/sjis_text.h"
#include "TOOLS/wide_text.h"

namespace {

// The folder through its alias and the name as it is.
bool JoinAliasedFolder(const std::wstring& full, char* path) {
  size_t slash = full.find_last_of(L'\\');
  if (slash == std::wstring::npos) return false;
  char folder[PATH_BUFFER_SIZE];
  char name[PATH_BUFFER_SIZE];
  if (!GetAnsiPathForm(full.substr(0, slash).c_str(), folder, sizeof folder)) return false;
  if (!ConvertToAnsiExactly(full.c_str() + slash, name, sizeof name)) return false;
  if (std::strlen(folder) + std::strlen(name) >= PATH_BUFFER_SIZE) return false;
  std::strcpy(path, folder);
  std::strcat(path, name);
  return true;
}

}  // namespace

bool ReadModulePath(HMODULE module, char* path) {
  path[0] = 0;
  std::wstring full = ReadModuleFileNameWide(module);
  if (full.empty()) return false;
  if (ConvertToAnsiExactly(full.c_str(), path, PATH_BUFFER_SIZE)) return true;
  if (JoinAliasedFolder(full, path)) return true;
  // A name the code page cannot hold either: the whole alias still opens
  // the file.
  return GetAnsiPathForm(full.c_str(), path, PATH_BUFFER_SIZE);
}

bool GetModulePathWithExtension(char* path, const char* extension) {
  if (!ReadModulePath(nullptr, path)) return false;
  if (extension) {
    SplitExtension(path);
    size_t length = std::strlen(path);
    std::strncat(path, extension, PATH_BUFFER_SIZE - 1 - length);
  }
  LowerCaseDbcs(path);
  return true;
}

bool GetModuleDirectory(char* path) {
  if (!ReadModulePath(nullptr, path)) return false;
  SplitFileName(path);
  return true;
}
