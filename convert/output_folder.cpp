#include "convert/output_folder.h"

#include <shlobj.h>

#include <cstring>
#include <string>

#include "TOOLS/module_path.h"
#include "TOOLS/sjis_text.h"
#include "TOOLS/wide_text.h"

namespace {

const wchar_t USER_FOLDER_NAME[] = L"\\Velmique";
// Made and removed at once; only whether it could be made counts.
const char PROBE_EXTENSION[] = ".$$$";

bool IsRefusal(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT; }

bool ReadUserFolder(std::wstring* folder) {
  wchar_t base[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, base)))
    return false;
  *folder = std::wstring(base) + USER_FOLDER_NAME;
  return CreateDirectoryW(folder->c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool CanWriteBesideProgram() {
  char probe[PATH_BUFFER_SIZE];
  if (!GetModulePathWithExtension(probe, PROBE_EXTENSION)) return true;
  HANDLE file = CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  // A name already taken says nothing about the folder.
  return !IsRefusal(GetLastError());
}

bool GetUserOutputPathWithExtension(char* path, const char* extension) {
  char modulePath[PATH_BUFFER_SIZE];
  path[0] = 0;
  if (!GetModulePathWithExtension(modulePath, extension)) return false;
  const char* slash = FindLastBackslash(modulePath);
  const char* name = slash ? slash + 1 : modulePath;
  std::wstring folder;
  char folderText[PATH_BUFFER_SIZE];
  if (!ReadUserFolder(&folder) || !GetAnsiPathForm(folder.c_str(), folderText, sizeof folderText))
    return false;
  if (std::strlen(folderText) + 1 + std::strlen(name) >= PATH_BUFFER_SIZE) return false;
  std::strcpy(path, folderText);
  std::strcat(path, "\\");
  std::strcat(path, name);
  return true;
}

bool GetOutputPathWithExtension(char* path, const char* extension) {
  if (CanWriteBesideProgram()) return GetModulePathWithExtension(path, extension);
  return GetUserOutputPathWithExtension(path, extension);
}
