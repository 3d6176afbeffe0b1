#include "TOOLS/path_text.h"

#include <cstring>

#include "TOOLS/sjis_text.h"

const char* FindExtension(const char* path) {
  size_t length = std::strlen(path);
  for (size_t i = length; i-- > 0;) {
    if (IsBackslashAt(path, i)) break;
    if (path[i] == '.') return path + i;
  }
  return path + length;
}

char* SplitExtension(char* path) {
  char* dot = const_cast<char*>(FindExtension(path));
  if (*dot == 0) return dot;
  *dot = 0;
  return dot + 1;
}

char* SplitFileName(char* path) {
  for (size_t i = std::strlen(path); i-- > 0;) {
    if (IsBackslashAt(path, i)) {
      path[i] = 0;
      return path + i + 1;
    }
  }
  return path;
}

namespace {

bool IsComponent(const char* name, const char* component, size_t n) {
  return n > 0 && EqualChars(name, component, n);
}

// Removes one folder level; false when there is nothing left to climb out of.
bool ClimbOneLevel(char* result) {
  if (char* trailing = const_cast<char*>(FindTrailingBackslash(result))) *trailing = 0;
  if (result[0] == 0) return false;
  if (char* last = const_cast<char*>(FindLastBackslash(result)))
    *last = 0;
  else
    result[0] = 0;
  return true;
}

bool AppendComponent(char* result, const char* component, size_t n) {
  size_t length = std::strlen(result);
  bool needsSeparator = length > 0 && !HasTrailingBackslash(result);
  size_t wanted = length + (needsSeparator ? 1 : 0) + n;
  if (wanted >= PATH_BUFFER_SIZE) return false;
  if (needsSeparator) result[length++] = '\\';
  std::memcpy(result + length, component, n);
  result[length + n] = 0;
  return true;
}

}  // namespace

bool CombinePath(char* result, const char* base, const char* relative) {
  std::memset(result, 0, PATH_BUFFER_SIZE);
  if (std::strlen(base) >= PATH_BUFFER_SIZE) return false;
  std::strcpy(result, base);
  const char* p = relative;
  for (;;) {
    size_t n = SpanExcluding("/\\", p);
    if (IsComponent(".", p, n)) {
      // stays where it is
    } else if (IsComponent("..", p, n)) {
      if (!ClimbOneLevel(result)) return false;
    } else if (!AppendComponent(result, p, n)) {
      result[0] = 0;
      return false;
    }
    if (p[n] == 0) return true;
    p += n + 1;
  }
}
