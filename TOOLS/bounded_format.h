// Formatting into a fixed buffer that is always terminated. No Windows calls.
#pragma once
#include <cstdarg>
#include <cstddef>

// Characters written without the terminator; -1 when the text was cut or the
// buffer has no room at all.
int BoundedFormat(char* buffer, size_t size, const char* format, ...);
int BoundedFormatV(char* buffer, size_t size, const char* format, va_list arguments);
