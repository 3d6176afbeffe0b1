#include "TOOLS/debug_trace.h"

#include <windows.h>

#include <cstdarg>

#include "TOOLS/bounded_format.h"

const char TOOLBASE_SOURCE[] = "..\\..\\TOOLS\\toolbase";
const char TOOLSYS_SOURCE[] = "..\\..\\TOOLS\\toolsys";
const char TOOLWIND_SOURCE[] = "..\\..\\TOOLS\\toolwind";

int DebugTrace(const char* format, ...) {
  char line[TRACE_BUFFER_SIZE];
  va_list arguments;
  va_start(arguments, format);
  int n = BoundedFormatV(line, TRACE_BUFFER_SIZE, format, arguments);
  va_end(arguments);
  line[TRACE_BUFFER_SIZE - 1] = 0;
  OutputDebugStringA(line);
  return n;
}

void ReportFailedCheck(const char* source, int line, const char* condition) {
  DebugTrace("%s(%d) : %s \r\n", source, line, condition);
}
