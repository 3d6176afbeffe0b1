// One formatted line to the debugger output; nothing else ever sees it.
#pragma once
#include <cstddef>

const size_t TRACE_BUFFER_SIZE = 1024;

int DebugTrace(const char* format, ...);

// The line every failed argument check writes: "%s(%d) : %s \r\n".
void ReportFailedCheck(const char* source, int line, const char* condition);

extern const char TOOLBASE_SOURCE[];  // "..\\..\\TOOLS\\toolbase"
extern const char TOOLSYS_SOURCE[];   // "..\\..\\TOOLS\\toolsys"
extern const char TOOLWIND_SOURCE[];  // "..\\..\\TOOLS\\toolwind"
