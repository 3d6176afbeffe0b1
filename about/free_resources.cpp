#include "about/free_resources.h"

#include "TOOLS/bounded_format.h"
#include "TOOLS/scoped.h"

namespace {

using FreeResourcesProc = int(WINAPI*)(int);

// The longest line any int can give ("-2147483648" in the middle) is 41
// bytes in code page 932; the library is not ours, so its answer is not
// trusted to stay between 0 and 100.
const size_t RESOURCES_LINE_SIZE = 48;

}  // namespace

bool QueryFreeSystemResources(int* percent) {
  // By name on purpose: the program keeps the current folder out of the
  // library search from its start, so only its own folder and the system's
  // can supply the library.
  ScopedLibrary library(LoadLibraryA("rsrc32.dll"));
  if (!library) return false;
  FreeResourcesProc query = reinterpret_cast<FreeResourcesProc>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "_MyGetFreeSystemResources32@4")));
  if (!query) return false;
  if (percent) *percent = query(0);
  return true;
}

bool SetFreeResourcesText(HWND control) {
  SetWindowTextA(control, "");
  int percent = 0;
  if (!QueryFreeSystemResources(&percent)) return false;
  char line[RESOURCES_LINE_SIZE];
  BoundedFormat(line, sizeof line, "システムリソース： %d ％使用可能", percent);
  SetWindowTextA(control, line);
  return true;
}
