// Path operations on Shift-JIS texts: extension, file name, joining.
// No Windows calls here.
#pragma once
#include <cstddef>

const char* FindExtension(const char* path);
char* SplitExtension(char* path);
char* SplitFileName(char* path);
// result holds PATH_BUFFER_SIZE bytes. A join that would not fit with its
// terminator is refused (false, empty result) rather than cut: a cut path
// names some other file.
bool CombinePath(char* result, const char* base, const char* relative);
