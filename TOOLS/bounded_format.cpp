#include "TOOLS/bounded_format.h"

#include <cstdio>

int BoundedFormatV(char* buffer, size_t size, const char* format, va_list arguments) {
  if (size == 0) return -1;
  int n = std::vsnprintf(buffer, size, format, arguments);
  if (n < 0 || static_cast<size_t>(n) >= size) {
    buffer[size - 1] = 0;
    return -1;
  }
  buffer[n] = 0;
  return n;
}

int BoundedFormat(char* buffer, size_t size, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int n = BoundedFormatV(buffer, size, format, arguments);
  va_end(arguments);
  return n;
}
