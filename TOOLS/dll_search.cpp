#include "TOOLS/dll_search.h"

#include "TOOLS/sjis_text.h"

namespace {

// The headers hide this from a build for Windows XP; kernel32 takes it from
// Windows 8 on (and on Windows 7 and Vista with KB2533623).
const DWORD SEARCH_DEFAULT_DIRS = 0x00001000;  // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
using SetDllDirectoryProc = BOOL(WINAPI*)(LPCWSTR);
using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

template <typename Proc>
Proc GetKernelProc(const char* name) {
  return reinterpret_cast<Proc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

}  // namespace

bool ExcludeCurrentFolderFromDllSearch() {
  bool excluded = false;
  // An empty text removes the current folder from the classic order.
  if (SetDllDirectoryProc setDllDirectory = GetKernelProc<SetDllDirectoryProc>("SetDllDirectoryW"))
    excluded = setDllDirectory(L"") != FALSE;
  // Where the system has them, only the program's folder and system32 are
  // searched: no Windows folder and no PATH either.
  if (SetDefaultDllDirectoriesProc setDefault =
          GetKernelProc<SetDefaultDllDirectoriesProc>("SetDefaultDllDirectories"))
    excluded = setDefault(SEARCH_DEFAULT_DIRS) != FALSE || excluded;
  return excluded;
}

// The altered order puts the library's own folder where the program's
// folder would be, for its imports; the current folder stays out of it. The
// system leaves that order undefined for a relative path, so one is made full
// first, against the current folder as a plain load would resolve it.
HMODULE LoadLibraryWithOwnFolder(const char* path) {
  char full[PATH_BUFFER_SIZE];
  DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return nullptr;
  return LoadLibraryExA(full, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
