#include "TOOLS/pointer_checks.h"

#include <windows.h>

#include "TOOLS/debug_trace.h"

namespace {

bool Fail(int line, const char* condition) {
  ReportFailedCheck(TOOLBASE_SOURCE, line, condition);
  return false;
}

void InvertBytes(void* ptr, size_t size) {
  volatile unsigned char* p = static_cast<volatile unsigned char*>(ptr);
  for (size_t i = 0; i < size; ++i) p[i] = static_cast<unsigned char>(255 - p[i]);
}

}  // namespace

bool IsValidProc(const void* proc) {
  if (!proc) return Fail(968, "proc");
  if (IsBadCodePtr(reinterpret_cast<FARPROC>(const_cast<void*>(proc))))
    return Fail(969, "!IsBadCodePtr( static_cast<FARPROC>( proc ) )");
  return true;
}

bool IsValidReadPtr(const void* ptr, size_t size) {
  if (!ptr) return Fail(1111, "ptr");
  if (IsBadReadPtr(ptr, size)) return Fail(1112, "!IsBadReadPtr( ptr, size )");
  return true;
}

bool IsValidWritePtr(void* ptr, size_t size) {
  if (!ptr) return Fail(1158, "ptr");
  if (IsBadWritePtr(ptr, size)) return Fail(1159, "!IsBadWritePtr( ptr, size )");
  InvertBytes(ptr, size);
  InvertBytes(ptr, size);
  return true;
}

bool IsValidReadWritePtr(void* ptr, size_t size) {
  if (!ptr) return Fail(1094, "ptr");
  if (!IsValidReadPtr(ptr, size)) return Fail(1095, "IsValidReadPtr( ptr, size )");
  if (!IsValidWritePtr(ptr, size)) return Fail(1096, "IsValidWritePtr( ptr, size )");
  return true;
}
