#include "TOOLS/local_memory_checks.h"

#include "TOOLS/debug_trace.h"

namespace {

bool Fail(int line, const char* condition) {
  ReportFailedCheck(TOOLSYS_SOURCE, line, condition);
  return false;
}

}  // namespace

bool IsValidLocalMemory(HLOCAL hLocal) {
  if (!hLocal) return Fail(2176, "hLocal");
  if (LocalFlags(hLocal) == LMEM_INVALID_HANDLE)
    return Fail(2177, "LMEM_INVALID_HANDLE != LocalFlags( hLocal )");
  return true;
}

bool IsValidLocalMemorySize(HLOCAL hLocal, SIZE_T nMinSize, SIZE_T nMaxSize) {
  if (!hLocal) return Fail(2197, "hLocal");
  if (!IsValidLocalMemory(hLocal)) return Fail(2198, "IsValidLocalMemory( hLocal )");
  SIZE_T size = LocalSize(hLocal);
  if (!((nMinSize <= size) && (size <= nMaxSize)))
    return Fail(2201, "(nMinSize <= size) && (size <= nMaxSize)");
  return true;
}
