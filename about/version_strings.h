// Strings of a module's version block, looked up under its first translation.
#pragma once
#include <windows.h>

// The block is malloc'd (free it); translation receives the first entry of
// "\VarFileInfo\Translation" (language low, code page high). Null when the
// file has no block or no translation list.
void* LoadModuleVersionBlock(HMODULE module, DWORD* translation);
void* LoadFileVersionBlock(const char* path, DWORD* translation);
// value holds PATH_BUFFER_SIZE bytes; a long value is cut between characters.
// Missing: empty value and false.
bool QueryVersionString(char* value, const void* block, DWORD translation, const char* key);
