// The path of the executable (or of a loaded module) in the process's code
// page: exactly as the system names it when the code page can express it;
// otherwise its folder through the short alias and its own name as it is, so
// that files named after the program still carry the program's name.
#pragma once
#include <windows.h>

// path holds PATH_BUFFER_SIZE bytes. False, with an empty text, when the
// path cannot be read or expressed in the code page, or would not fit: a
// cut path names another file.
bool ReadModulePath(HMODULE module, char* path);
// path holds PATH_BUFFER_SIZE bytes. extension includes its dot, or is null.
// The whole result is lower-cased.
bool GetModulePathWithExtension(char* path, const char* extension);
// The executable's folder without a trailing backslash ("C:" in a drive root).
bool GetModuleDirectory(char* path);
